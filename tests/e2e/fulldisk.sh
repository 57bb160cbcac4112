#!/usr/bin/env bash
# fulldisk.sh WINE_RUN PREFIX BIN: renaming an object script on a full disk fails and
# leaves the script byte for byte as it was. Needs a small tmpfs; skipped (77) where
# mounting is not permitted.
set -uo pipefail
wine_run=$1 prefix=$2 bin=$3
disk=$(mktemp -d)
if ! mount -t tmpfs -o size=64k tmpfs "$disk" 2>/dev/null; then
  echo "skipped: mounting a small tmpfs needs root; the full-disk rename was not tried"
  rmdir "$disk"
  exit 77
fi
original=$(mktemp)
trap 'umount "$disk"; rmdir "$disk"; rm -f "$original"' EXIT

# Most of the disk: the renamed copy cannot be written beside it.
script="$disk/Full.qdl"
{
  printf '! Document name: Full\r\n'
  for i in $(seq 1400); do printf 'ADD 0, 0, %d ! line of a long script\r\n' "$i"; done
} >"$script"
cp "$script" "$original"

winpath() { echo "Z:${1//\//\\}"; }
output=$("$wine_run" "$prefix" "$bin/shellhost.exe" properties "$(winpath "$script")" \
  --dll "$(winpath "$bin/orvshell.dll")" --set 1010="Full disk" --apply 2>/dev/null | tr -d '\r')
grep -v "^  control 1015" <<<"$output"
failures=0
grep -qF 'set 1010: ok' <<<"$output" || { echo "FAIL the name could not be typed"; failures=1; }
grep -qF 'ok button: "OK"' <<<"$output" || { echo "FAIL the failed rename did not keep Cancel"; failures=1; }
cmp "$script" "$original" || { echo "FAIL the script changed"; failures=1; }
[ "$(ls -A "$disk")" = Full.qdl ] || { echo "FAIL left behind: $(ls -A "$disk")"; failures=1; }
exit $failures
