#!/usr/bin/env bash
# e2e.sh WINE_RUN PREFIX BIN OUT: drives bin/shellhost.exe against bin/orvshell.dll.
set -uo pipefail
wine_run=$1 prefix=$2 bin=$3 out=$4
rm -rf "$out" && mkdir -p "$out"
failures=0 passes=0
pass() { echo "ok   $1"; passes=$((passes + 1)); }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

run() { "$wine_run" "$prefix" "$@" 2>>"$out/stderr.log" | tr -d '\r'; }
host() { run "$bin/shellhost.exe" "$@"; }
winpath() { echo "Z:${1//\//\\}"; }

# check NAME OUTPUT PATTERN...: every pattern must appear in the output.
check() {
  local name=$1 output=$2; shift 2
  for pattern in "$@"; do
    if ! grep -qF -- "$pattern" <<<"$output"; then
      fail "$name: missing: $pattern"
      echo "$output" | sed 's/^/    /'
      return
    fi
  done
  pass "$name"
}

registered() { run reg query "$1" >/dev/null 2>&1 && echo yes || echo no; }

clsid='{7C5A2E1B-3F4D-4B8A-9E62-0D1F5A8C3B47}'
samples=$(winpath "$out/samples")
run "$bin/make_samples.exe" "$samples" >/dev/null

check "register" "$(host register)" "register: 0x00000000"
check "class registered" "$(run reg query "HKCR\\CLSID\\$clsid\\InprocServer32")" "orvshell.dll" "Apartment"
check "icon handler for .qpd" "$(run reg query 'HKCR\.qpd\shellex\IconHandler')" "$clsid"

check "properties of a data file (through the registration)" \
  "$(host properties "$samples\\Materials.qpd" --screenshot "$(winpath "$out/materials.png")")" \
  "AddPages: 0x00000000" 'page "Info"' \
  'control 1015 Edit visible "Layers:\r\n        Furniture 2D only\r\n        Walls load-bearing\r\nMaterials:' \
  "screenshot: ok"
check "properties of a vector font file" "$(host properties "$samples\\Outline.vec")" \
  '"\r\nMacintosh vector fonts:\r\n     Chicago Outline 1.2\r\n\r\nWindows vector fonts:\r\n     Arial Outline 2.0\r\n"'
empty=$(host properties "$samples\\Empty.qdd"; echo "status $?")
check "a data file without records gets no page" "$empty" "AddPages: 0x80004005" "pages: 0" "status 1"

check "properties of a plan" \
  "$(host properties "$samples\\Villa.pln" --screenshot "$(winpath "$out/villa.png")")" \
  'page "Info && Preview"' 'control 1002 Static visible "  4.55"' 'control 1012 Static visible "12 / 345"' \
  'page "Project Notes"' 'page "Project Info"' 'control 1009 Edit visible "Second draft\r\nfor the client"'
check "renaming a plan" "$(host properties "$samples\\Villa.pln" --set 1010="Villa Bianca" --apply)" \
  "set 1010: ok" "apply: ok" 'ok button: "Close"'
check "the new name reads back" "$(host properties "$samples\\Villa.pln")" 'control 1010 Edit visible "Villa Bianca"'
# The shell names files in UTF-16: a name the ANSI code page cannot hold is read and
# written as itself, and the file it was copied from stays as it was.
cp "$out/samples/Villa.pln" "$out/samples/Дом.pln"
check "renaming a plan named in Cyrillic" "$(host properties "$samples\\Дом.pln" --set 1010="Dom" --apply \
  --screenshot "$(winpath "$out/cyrillic.png")")" \
  'control 1010 Edit visible "Villa Bianca"' "apply: ok" 'ok button: "Close"' "screenshot: ok"
check "its new name reads back" "$(host properties "$samples\\Дом.pln")" 'control 1010 Edit visible "Dom"'
check "orvdoc.exe reads a file named in Cyrillic" "$(run "$bin/orvdoc.exe" info "$samples\\Дом.pln")" \
  "kind       plan" "name       Dom"
check "the plan it was copied from keeps its name" "$(host properties "$samples\\Villa.pln")" \
  'control 1010 Edit visible "Villa Bianca"'
check "a plan without a release or a sign-in hides their lines" "$(host properties "$samples\\Sketch.pla")" \
  'control 1008 Static visible "Macintosh"' 'control 1003 Static hidden "Release:"' \
  'control 1011 Static hidden "Sign In/Changes:"' 'control 1012 Static hidden ""' \
  'control 1013 Static hidden "Project Path:"' 'control 1014 Edit hidden ""'
check "properties of a layout book" "$(host properties "$samples\\Sheets.sfk")" \
  'page "Info"' 'control 1002 Static visible "4.1 - Windows"' 'control 1006 Static visible "Sheetfold"' 'page "Project Info"'
check "properties of a library part" \
  "$(host properties "$samples\\Door.qxm" --screenshot "$(winpath "$out/door.png")")" "pages: 4" \
  'page "Info && Preview"' 'control 1002 Static visible "13   Windows"' \
  'control 1010 Edit visible "Door 90"' 'page "2D Script"' 'page "3D Script"' \
  'control 1015 Edit visible "BLOCK 0.9, 0.1, 2.1\r\nADD 0, 0.1, 0\r\n"' 'page "Comment"'
check "renaming a library part" "$(host properties "$samples\\Door.qxm" --set 1010="Door 100" --apply)" \
  'ok button: "Close"'
check "the part's new name reads back" "$(host properties "$samples\\Door.qxm")" \
  'control 1010 Edit visible "Door 100"'
check "properties of an object script" \
  "$(host properties "$samples\\Window.qdl" --screenshot "$(winpath "$out/window.png")")" \
  'page "Script"' 'control 1010 Edit visible "Window 120"' \
  'control 1015 Edit visible "! A window of two casements\r\nBLOCK 1.2, 0.1, 1.4\r\nEND\r\n"'
check "renaming an object script" \
  "$(host properties "$samples\\Window.qdl" --set 1010="Window 150" --apply)" \
  'ok button: "Close"'
check "the script's new name reads back" "$(host properties "$samples\\Window.qdl")" \
  'control 1010 Edit visible "Window 150"' 'control 1015 Edit visible "! A window of two casements'
check "properties of a module" \
  "$(host properties "$samples\\Terrace.mod" --screenshot "$(winpath "$out/terrace.png")")" \
  'page "Info && Preview"' 'control 1002 Static visible "  6.01"' 'control 1004 Static visible "2"'
check "icon of a library part" "$(host icon "$samples\\Door.qxm" --out "$(winpath "$out/door")")" \
  "Extract: 0x00000000 large 32x32 small 16x16"
check "icon of a module" "$(host icon "$samples\\Terrace.mod" --out "$(winpath "$out/terrace")")" \
  "Extract: 0x00000000 large 32x32 small 16x16"
check "icon of a plan, from its preview" "$(host icon "$samples\\Villa.pln" --out "$(winpath "$out/villa")")" \
  "Extract: 0x00000000 large 32x32 small 16x16"
check "icon of a font file" "$(host icon "$samples\\Outline.vec" --out "$(winpath "$out/outline")")" \
  "GetIconLocation: 0x00000000 flags 0x1a" "Extract: 0x00000000 large 32x32 small 32x32"
[ -s "$out/outline-large.png" ] && pass "icon written" || fail "icon written"

check "viewing a plan" \
  "$(host view "$samples\\Villa.pln" --screenshot "$(winpath "$out/view-villa.png")")" \
  "ShowInitialize: 0x00000000" 'title: "Orvenstaal Viewer - Villa.pln"' 'status: ""' "pinned: none" \
  "screenshot: ok" "Show: 0x00000000"
check "viewing pinned" "$(host view "$samples\\Terrace.mod" --pin)" "pinned: this viewer"
check "a file dropped on the viewer is viewed in its place" \
  "$(host view "$samples\\Villa.pln" --rect 20,30,420,530 --drop "$samples\\Door.qxm")" \
  "new file: $samples\\Door.qxm at 20,30,420,530" 'title: "Orvenstaal Viewer - Door.qxm"'
unviewable=$(host view "$samples\\Empty.qdd"; echo "status $?")
check "a data file without records gets no viewer" "$unviewable" "ShowInitialize: 0x80004005" "status 1"

# The property handler: what the Details columns show and write, through a stream.
check "Details of a plan" "$(host props "$samples\\Villa.pln")" "Initialize: 0x00000000" \
  'System.Title = "Villa Bianca"' 'System.Subject = "Villa Rosa"' 'System.Author = "A. Lindqvist"' \
  'System.Keywords = "house, garden"' 'System.Comment = "Second draft\r\nfor the client"' \
  'System.Document.RevisionNumber = "C"' 'System.ApplicationName = "Orvenstaal 4.55 release 42 (Windows)"'
check "Details of a file named in Cyrillic" "$(host props "$samples\\Дом.pln")" 'System.Title = "Dom"'
check "setting a plan's title and keywords" \
  "$(host props "$samples\\Villa.pln" --set System.Title="Villa Nova" --set System.Keywords="house;roof")" \
  "set System.Title: 0x00000000" "set System.Keywords: 0x00000000" "Commit: 0x00000000"
check "the pages read them back" "$(host properties "$samples\\Villa.pln")" \
  'control 1010 Edit visible "Villa Nova"' 'control 1008 Edit visible "house; roof"'
sum=$(md5sum <"$out/samples/Villa.pln")
refused=$(host props "$samples\\Villa.pln" --set System.Comment="checked" --set System.Title="Villa →"; echo "status $?")
check "a title code page 1252 cannot hold is refused" "$refused" "set System.Title: 0x00000000" \
  "Commit: 0x80004005" "status 1"
[ "$(md5sum <"$out/samples/Villa.pln")" = "$sum" ] && pass "the refused set left the plan as it was" ||
  fail "the refused set left the plan as it was"
check "a property the document does not let be written" \
  "$(host props "$samples\\Door.qxm" --set System.Keywords="door")" "set System.Keywords: 0x80030005"
# Thumbnails as the shell asks for them: the handler found through the registration, the
# document handed over as a read-only stream, the preview never scaled up.
thumbnails='{C2BBCA67-AC29-4A7E-8BE4-04ECBB46C0B2}'
check "thumbnail handler for .pln" "$(run reg query 'HKCR\.pln\ShellEx\{e357fccd-a995-4576-b01f-234630154e96}')" \
  "$thumbnails"
check "thumbnail of a plan" \
  "$(host thumbnail "$samples\\Villa.pln" --size 256 --out "$(winpath "$out/thumbnail-villa.png")")" \
  "Initialize: 0x00000000" "GetThumbnail: 0x00000000 128x96 alpha 1" "png: ok"
check "thumbnail of a module" \
  "$(host thumbnail "$samples\\Terrace.mod" --size 256 --out "$(winpath "$out/thumbnail-terrace.png")")" \
  "GetThumbnail: 0x00000000 96x64 alpha 1" "png: ok"
check "a thumbnail scaled down to the size asked" "$(host thumbnail "$samples\\Villa.pln" --size 64)" \
  "GetThumbnail: 0x00000000 64x48 alpha 1"
nothumbnail=$(host thumbnail "$samples\\Window.qdl" --size 256; echo "status $?")
check "an object script has no thumbnail" "$nothumbnail" "Initialize: 0x00000000" \
  "GetThumbnail: 0x80004005 0x0 alpha 0" "status 1"
# The preview pane, as the shell's pane shows the documents (the plan and the script
# were renamed above).
check "preview handler for .pln" "$(run reg query 'HKCR\.pln\ShellEx\{8895b1c6-b41f-4c1c-a562-0d564250836f}')" \
  "{5868E1BB-86E9-4686-B1B0-668DDAB2653C}"
check "preview pane of a plan" \
  "$(host preview "$samples\\Villa.pln" --screenshot "$(winpath "$out/preview-villa.png")")" \
  "DoPreview: 0x00000000" "pane: 400x500 at 0,0, child of the host window" \
  'control Static visible "Document Name:"' 'control Static visible "Villa Nova"' \
  'control Static visible "4.55"' 'control Static visible "A. Lindqvist"' \
  'control Static visible "Second draft\r\nfor the client"' "screenshot: ok" "Unload: 0x00000000" \
  "pane after Unload: gone"
check "dark preview pane of a plan" \
  "$(host preview "$samples\\Villa.pln" --dark --size 320x420 \
    --screenshot "$(winpath "$out/preview-villa-dark.png")")" \
  "DoPreview: 0x00000000" "pane: 320x420 at 0,0, child of the host window" "screenshot: ok"
check "preview pane of an object script" \
  "$(host preview "$samples\\Window.qdl" --screenshot "$(winpath "$out/preview-window.png")")" \
  'control Static visible "Window 150"' \
  'control Edit visible "! Document name: Window 150\r\n! A window of two casements\r\nBLOCK 1.2, 0.1, 1.4\r\n' \
  "screenshot: ok" "pane after Unload: gone"
unpreviewable=$(host preview "$samples\\Empty.qdd"; echo "status $?")
check "a data file without records gets no preview pane" "$unpreviewable" "DoPreview: 0x80004005" "pane: none" \
  "status 1"

check "unregister" "$(host unregister)" "unregister: 0x00000000"
[ "$(registered "HKCR\\CLSID\\$clsid")" = no ] && pass "class gone" || fail "class gone"

dll=$(winpath "$bin/orvshell.dll")
run regsvr32 /s "$dll"
[ "$(registered "HKCR\\CLSID\\$clsid\\InprocServer32")" = yes ] && pass "regsvr32" || fail "regsvr32"
run regsvr32 /u /s "$dll"
[ "$(registered "HKCR\\CLSID\\$clsid")" = no ] && pass "regsvr32 /u" || fail "regsvr32 /u"

echo "e2e: $passes passed, $failures failed"
exit $((failures > 0))
