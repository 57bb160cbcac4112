#!/usr/bin/env bash
# Includes run downwards only: a file under src/<layer>/ may include files of its own
# layer or of the layers below it. Prints every include that runs upwards.
cd "$(dirname "$0")/../src" || exit 2
grep -rn --include='*.cpp' --include='*.h' -E '^#include "[a-z]+/' . | awk '
  BEGIN { n = split("resources util registry preview shell plan libpart viewer handlers module", names, " ")
          for (i = 1; i <= n; i++) rank[names[i]] = i }
  { split(substr($0, 3), path, "/"); own = path[1]
    match($0, /#include "[a-z]+\//); used = substr($0, RSTART + 10, RLENGTH - 11)
    if (!(own in rank) || rank[used] > rank[own]) { print "upward: " substr($0, 3); bad = 1 } }
  END { exit bad }'
