#!/usr/bin/env bash
# Builds the server, registers it in a private Wine prefix, writes sample documents
# and opens their Properties pages, icons and Quick View windows through shellhost.
# With a display the sheets and viewers appear on it (close each to go on); without
# one they are drawn under Xvfb and screenshots go to build/win64/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== building"
{ cmake --preset win64 && cmake --build --preset win64 --target orvshell shellhost make_samples; } >build-demo.log 2>&1 || { tail -40 build-demo.log; exit 1; }
rm -f build-demo.log

bin="$PWD/build/win64/bin"
out="$PWD/build/win64/demo"
export WINEPREFIX="$PWD/build/win64/demo-prefix"
rm -rf "$out" && mkdir -p "$out"
trap 'wineserver -k 2>/dev/null || true' EXIT

if [ -z "${DISPLAY:-}" ]; then
  echo "== no display: running under Xvfb, screenshots in $out"
  DEMO_UNDER_XVFB=1 exec xvfb-run -a "$0" "$@"
fi

winpath() { echo "Z:${1//\//\\}"; }
host() { cmake/wine-run.sh "$WINEPREFIX" "$bin/shellhost.exe" "$@" 2>/dev/null | tr -d '\r'; }

samples="$out/samples"
cmake/wine-run.sh "$WINEPREFIX" "$bin/make_samples.exe" "$(winpath "$samples")" >/dev/null
host register

wait=""
[ -n "${DEMO_UNDER_XVFB:-}" ] || wait="--wait"
for document in "$samples"/*; do
  name=$(basename "$document")
  echo
  echo "== Properties of $name"
  host properties "$(winpath "$document")" --screenshot "$(winpath "$out/$name.png")" $wait || true
  echo "== Icon of $name"
  host icon "$(winpath "$document")" --out "$(winpath "$out/$name-icon")" || true
done
# One Quick View window per document family.
for name in Villa.pln Door.qxm Window.qdl Terrace.mod Sheets.sfk Materials.qpd Outline.vec; do
  echo
  echo "== Quick View of $name"
  host view "$(winpath "$samples/$name")" --screenshot "$(winpath "$out/$name-view.png")" $wait || true
done
# The Details columns' properties of each family, then a title and keywords written
# into a copy as Explorer's Details pane writes them.
for name in Villa.pln Door.qxm Window.qdl Terrace.mod Sheets.sfk Materials.qpd; do
  echo
  echo "== Details of $name"
  host props "$(winpath "$samples/$name")" || true
done
cp "$samples/Villa.pln" "$out/Villa-details.pln"
echo
echo "== Details written into a copy of Villa.pln"
host props "$(winpath "$out/Villa-details.pln")" --set System.Title="Villa Nova" --set System.Keywords="house; roof" || true
host props "$(winpath "$out/Villa-details.pln")" || true
# The thumbnails Explorer shows at its largest icon size.
for document in "$samples"/*; do
  name=$(basename "$document")
  echo
  echo "== Thumbnail of $name"
  host thumbnail "$(winpath "$document")" --size 256 --out "$(winpath "$out/$name-thumbnail.png")" || true
done
# The preview pane of each sample, and a plan's in dark colours.
for document in "$samples"/*; do
  name=$(basename "$document")
  echo
  echo "== Preview pane of $name"
  host preview "$(winpath "$document")" --screenshot "$(winpath "$out/$name-preview.png")" $wait || true
done
echo
echo "== Dark preview pane of Villa.pln"
host preview "$(winpath "$samples/Villa.pln")" --dark --screenshot "$(winpath "$out/Villa.pln-preview-dark.png")" \
  $wait || true
host unregister
echo
echo "== screenshots and icons: $out"
