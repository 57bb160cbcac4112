#!/usr/bin/env bash
# Includes run downwards only: a file under src/<layer>/ may include files of its own
# layer or of the layers below it. Prints every include that runs upwards.
set -u
cd "$(dirname "$0")/../src" || exit 2
layers=(resources util registry preview shell plan libpart viewer handlers module)
rank() { local i; for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && echo "$i" && return; done; echo -1; }
status=0
while IFS=: read -r file _ include; do
  own=$(rank "${file%%/*}")
  used=$(rank "$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$include")")
  if [ "$own" -lt 0 ] || [ "$used" -gt "$own" ]; then
    echo "upward: $file: $include"
    status=1
  fi
done < <(grep -rn --include='*.cpp' --include='*.h' -E '^#include "[a-z]+/' .  | sed 's#^\./##')
exit $status
