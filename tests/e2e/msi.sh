#!/usr/bin/env bash
# msi.sh WINE_RUN BIN INSTALLER_DIR MSI USER_MSI OUT: the machine's package installed,
# upgraded and removed in a scratch prefix of its own, as msiexec does it, then regsvr32;
# the user's package, then regsvr32 for one user. Compares exports of the machine's
# classes and handler lists, and of the user's settings, between the steps.
set -uo pipefail
wine_run=$1 bin=$2 installer=$3 msi=$4 user_msi=$5 out=$6
rm -rf "$out" && mkdir -p "$out"
prefix="$out/prefix"
failures=0 passes=0
pass() { echo "ok   $1"; passes=$((passes + 1)); }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
run() { "$wine_run" "$prefix" "$@" 2>>"$out/stderr.log" | tr -d '\r'; }
winpath() { echo "Z:${1//\//\\}"; }
same() { # NAME A B: the two exports are equal
  if diff -u "$2" "$3" >"$out/diff.txt"; then pass "$1"; else fail "$1"; head -40 "$out/diff.txt" | sed 's/^/    /'; fi
}

# The keys a registration touches, as text; the installer's own bookkeeping
# (Software\Classes\Installer) is left out. 64bit.reg: the 64-bit view alone.
machine_keys() {
  for key in 'HKLM\Software\Classes' 'HKLM\Software\Microsoft\Windows\CurrentVersion\PreviewHandlers' \
             'HKLM\Software\Microsoft\Windows\CurrentVersion\PropertySystem'; do
    rm -f "$out/export.reg"
    run reg export "$key" "$(winpath "$out/export.reg")" /y >/dev/null
    [ -f "$out/export.reg" ] && iconv -f UTF-16 -t UTF-8 "$out/export.reg" | tr -d '\r'
  done | awk '/^\[/ { skip = index($0, "[HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer") == 1 } !skip' >"$out/$1.reg"
  awk '/^\[/ { skip = index(tolower($0), "\\wow6432node") > 0 } !skip' "$out/$1.reg" >"$out/$1-64bit.reg"
}
user_keys() {
  rm -f "$out/export.reg"
  run reg export 'HKCU\Software' "$(winpath "$out/export.reg")" /y >/dev/null
  iconv -f UTF-16 -t UTF-8 "$out/export.reg" | tr -d '\r' |
    awk '/^\[/ { skip = index($0, "[HKEY_CURRENT_USER\\Software\\Microsoft\\Installer") == 1 } !skip' >"$out/$1.reg"
}

# The package's tables: both servers, a registry row for every row of both plans, the
# upgrade code that lets a newer package replace an older one.
files=$(msiinfo export "$msi" File | tr -d '\r' | awk -F'\t' 'NR > 3 { print $3 " " $2 }' | sort | tr '\n' ' ')
[ "$files" = "orvshell.dll Server orvshell.dll Server32 " ] && pass "package files" || fail "package files: $files"
rows=$(cat "$installer"/registry64.wxi "$installer"/registry32.wxi | grep -c '<RegistryValue')
table=$(msiinfo export "$msi" Registry | tail -n +4 | grep -c .)
[ "$rows" -gt 200 ] && [ "$rows" = "$table" ] && pass "registry rows" || fail "registry rows: $table of $rows"
msiinfo export "$msi" Upgrade | grep -F '{8E0C5F2A-6B1D-4C47-9A3E-5D2F7B1C0E64}' >/dev/null && pass "upgrade code" \
  || fail "upgrade code"

samples="$out/samples"
run "$bin/make_samples.exe" "$(winpath "$samples")" >/dev/null
installed_dll='C:\Program Files\Orvenstaal\Shell Extension\orvshell.dll'
installed_dir="$prefix/drive_c/Program Files/Orvenstaal/Shell Extension"
installed_dir32="$prefix/drive_c/Program Files (x86)/Orvenstaal/Shell Extension"
# What every Windows has and a prefix without 32-bit Wine lacks: other preview handlers,
# other 32-bit classes, the user's classes.
run reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\PreviewHandlers' \
  /v '{00000000-0000-0000-0000-000000000001}' /d 'Another preview handler' /f >/dev/null
run reg add 'HKLM\Software\Classes\CLSID\{00000000-0000-0000-0000-000000000002}' /reg:32 /ve /d 'Another class' \
  /f >/dev/null
run reg add 'HKCU\Software\Classes' /f >/dev/null
machine_keys before

# An older package of the same product, then the current one over it.
( cd "$installer" && wixl -a x64 -D Version=0.9.0 -D Dll="$(realpath --relative-to=. "$bin/orvshell.dll")" \
    -D Dll32="$(realpath --relative-to=. "$bin/../win32/bin/orvshell.dll")" -o "$out/older.msi" orvshell.wxs
) 2>>"$out/stderr.log"
run msiexec /i "$(winpath "$out/older.msi")" /qn
run msiexec /i "$(winpath "$msi")" /qn
[ -f "$installed_dir/orvshell.dll" ] && pass "the server in Program Files" || fail "the server in Program Files"
cmp -s "$installed_dir32/orvshell.dll" "$bin/../win32/bin/orvshell.dll" && pass "the 32-bit server in Program Files (x86)" \
  || fail "the 32-bit server in Program Files (x86)"
# The 32-bit server in the 32-bit view of the registry, with the 32-bit preview surrogate.
view32=$(for key in 'HKCR\CLSID\{7C5A2E1B-3F4D-4B8A-9E62-0D1F5A8C3B47}\InprocServer32' \
                    'HKCR\CLSID\{5868E1BB-86E9-4686-B1B0-668DDAB2653C}' \
                    'HKCR\.mod\ShellEx\{e357fccd-a995-4576-b01f-234630154e96}'; do run reg query "$key" /reg:32; done)
for expected in 'C:\Program Files (x86)\Orvenstaal\Shell Extension\orvshell.dll' \
                'AppID    REG_SZ    {534a1e02-d58f-44f0-b58b-36cbed287c7c}' '{C2BBCA67-AC29-4A7E-8BE4-04ECBB46C0B2}'; do
  grep -qF -- "$expected" <<<"$view32" && pass "32-bit view: $expected" || fail "32-bit view: $expected"
done
products=$(run reg query 'HKLM\Software\Classes\Installer\Products' | grep -c '^HKEY')
[ "$products" -eq 1 ] && pass "the newer package replaced the older" || fail "the newer package replaced the older ($products products)"
machine_keys installed
grep -qF "@=\"${installed_dll//\\/\\\\}\"" "$out/installed-64bit.reg" && pass "registered from Program Files" \
  || fail "registered from Program Files"
pages=$(run "$bin/shellhost.exe" properties "$(winpath "$samples/Villa.pln")")
grep -qF 'page "Info && Preview"' <<<"$pages" && pass "pages through the installed server" \
  || { fail "pages through the installed server"; echo "$pages" | sed 's/^/    /'; }

run msiexec /x "$(winpath "$msi")" /qn
[ ! -e "$installed_dir" ] && pass "the folder removed" || fail "the folder removed"
machine_keys removed
same "uninstall leaves the machine as before" "$out/before.reg" "$out/removed.reg"

# regsvr32 writes exactly what the package writes, from the same place.
mkdir -p "$installed_dir" && cp "$bin/orvshell.dll" "$installed_dir/"
run regsvr32 /s "$installed_dll"
machine_keys regsvr32
same "regsvr32 writes what the package writes" "$out/installed-64bit.reg" "$out/regsvr32-64bit.reg"
run regsvr32 /u /s "$installed_dll"
machine_keys unregistered
same "regsvr32 /u leaves the machine as before" "$out/before.reg" "$out/unregistered.reg"

# For one user, without the machine: the user's package, then regsvr32 /n /i:user of
# the same file, which writes what the package writes; each gone again on removal.
user_keys user-before
run msiexec /i "$(winpath "$user_msi")" /qn
user_dll=$(find "$prefix/drive_c/users" -path '*/AppData/Local/Programs/Orvenstaal/Shell Extension/orvshell.dll')
[ -n "$user_dll" ] && pass "the server in the user's programs" || fail "the server in the user's programs"
machine_keys user-installed
same "the user's package leaves the machine alone" "$out/before.reg" "$out/user-installed.reg"
user_keys user-installed
run reg query 'HKCU\Software\Classes\CLSID\{7C5A2E1B-3F4D-4B8A-9E62-0D1F5A8C3B47}\InprocServer32' \
  | grep -F 'AppData\Local\Programs\Orvenstaal\Shell Extension\orvshell.dll' >/dev/null \
  && pass "the user's classes hold the server" || fail "the user's classes hold the server"
pages=$(run "$bin/shellhost.exe" properties "$(winpath "$samples/Villa.pln")" --dll "$(winpath "$user_dll")")
grep -qF 'page "Info && Preview"' <<<"$pages" && pass "pages for the user" || fail "pages for the user"
user_copy="$out/orvshell-user.dll"
cp "$user_dll" "$user_copy"
run msiexec /x "$(winpath "$user_msi")" /qn
user_keys user-removed
same "the user's package removed: the user's classes as before" "$out/user-before.reg" "$out/user-removed.reg"

mkdir -p "$(dirname "$user_dll")" && cp "$user_copy" "$user_dll"
user_dll_c=$(sed 's|/|\\|g' <<<"C:${user_dll#"$prefix/drive_c"}")
run regsvr32 /s /n /i:user "$user_dll_c"
machine_keys regsvr32-user
same "regsvr32 for one user leaves the machine alone" "$out/before.reg" "$out/regsvr32-user.reg"
user_keys regsvr32-user
same "regsvr32 for one user writes what the user's package writes" "$out/user-installed.reg" "$out/regsvr32-user.reg"
run regsvr32 /s /u /n /i:user "$user_dll_c"
user_keys regsvr32-user-removed
same "regsvr32 /u for one user: the user's classes as before" "$out/user-before.reg" "$out/regsvr32-user-removed.reg"

echo "msi: $passes passed, $failures failed"
exit $((failures > 0))
