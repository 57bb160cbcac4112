#!/usr/bin/env bash
# Sets up the machine, builds both configurations and runs every test: the portable
# core natively under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# Windows programs under Wine inside a virtual X display.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh || exit 1

winprefix="$PWD/build/win64/wineprefix"
stop_wine() {
  if [ -d "$winprefix" ]; then WINEPREFIX="$winprefix" wineserver -k 2>/dev/null || true; fi
}
trap stop_wine EXIT

status=0
build() {
  local preset=$1 log="build/$1.log"
  mkdir -p build
  echo "== build $preset"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "== build $preset FAILED (full log: $log)"
    return 1
  fi
}

if build native; then
  echo "== test native"
  ctest --preset native || status=1
else
  status=1
fi

# Short libFuzzer runs over the portable core (scripts/fuzz.sh builds them), so that a
# regression in untrusted-input handling shows here.
echo "== fuzz (short runs)"
scripts/fuzz.sh 10 || status=1

if build win64; then
  echo "== test win64 (Wine)"
  xvfb-run -a ctest --preset win64 || status=1
else
  status=1
fi

exit $status
