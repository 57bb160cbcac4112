#!/usr/bin/env bash
# Runs every libFuzzer target for SECONDS each (default 600), from the seeds the test
# builders write, keeping each target's corpus in build/fuzz/corpus/TARGET so that the
# next run goes on from it; an input that fails lands in build/fuzz/crash-TARGET-*.
# Each input may take what a preview may cost the shell: a few seconds, and one
# allocation of a 64 MB picture (the process's memory also holds the sanitizers'
# quarantine, some 400 MB after a while).
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
fuzz=build/fuzz
mkdir -p build
if ! { cmake --preset fuzz && cmake --build --preset fuzz; } >build/fuzz.log 2>&1; then
  tail -n 60 build/fuzz.log
  echo "== build fuzz FAILED (full log: build/fuzz.log)"
  exit 1
fi
"$fuzz/tests/fuzz/make_fuzz_seeds" "$fuzz/seeds" || exit 1

status=0
for target in gif_decoder lzw_definition preview_picture plan_file project_data sfold_file \
    lib_part_file qdl_file modul_file; do
  mkdir -p "$fuzz/corpus/$target"
  if ! "$fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 \
      -malloc_limit_mb=96 -artifact_prefix="$fuzz/crash-$target-" \
      "$fuzz/corpus/$target" "$fuzz/seeds/$target" >"$fuzz/$target.log" 2>&1; then
    tail -n 40 "$fuzz/$target.log"
    echo "== fuzz $target FAILED (full log: $fuzz/$target.log)"
    status=1
  fi
done
exit $status
