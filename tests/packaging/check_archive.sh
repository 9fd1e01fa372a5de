#!/usr/bin/env bash
# The release archive as a Windows user gets it: its file list, i686 binaries
# that need no MinGW runtime and say version 1.4.4 (check_binaries.sh), text files
# for Notepad, and Tomari.exe started from the unpacked folder under Wine:
# it writes Setting.ini there, and when that folder cannot be written, into
# %APPDATA%\Tomari instead, reading it from there on the next start.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
zip=${1:?usage: check_archive.sh ARCHIVE.zip}
fail=0; passed=0
check() {  # check NAME CONDITION-EXIT-STATUS
  if [ "$2" -eq 0 ]; then passed=$((passed + 1)); echo "[  OK  ] $1"; else fail=$((fail + 1)); echo "[FAILED] $1"; fi
}
work=$(mktemp -d)
cleanup() { chattr -i "$dir" 2>/dev/null; chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
top=$(basename "$zip" .zip)
dir="$work/$top"

expected=$(printf '%s\n' Tomari.exe TransG32.dll LICENSE.txt はじめにお読みください.txt \
  Guide/index.html Guide/skins.ja.html Guide/skins.en.html \
  $(cd "$ROOT" && find Skins -type f) | sed "s|^|$top/|" | sort)
listed=$(unzip -Z1 "$zip" | grep -v '^Guide/img/' | grep -v "^$top/Guide/img/" | sort)
[ "$listed" = "$expected" ]; check "archive holds the program folder and nothing else" $?
[ -n "$(unzip -Z1 "$zip" | grep "^$top/Guide/img/widget.png$")" ]; check "the guide's pictures come along" $?
unzip -q "$zip" -d "$work" || { echo "cannot unpack $zip"; exit 1; }

for f in Tomari.exe TransG32.dll; do
  i686-w64-mingw32-objdump -f "$dir/$f" | grep -q 'file format pei-i386'; check "$f is an i686 PE file" $?
done
bash "$ROOT/tests/packaging/check_binaries.sh" "$dir" >"$work/binaries.log"; check "shipped binaries (check_binaries.sh)" $?
grep FAILED "$work/binaries.log"
readme="$dir/はじめにお読みください.txt"
[ "$(head -c3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] &&
  [ "$(grep -c $'\r$' "$readme")" -eq "$(wc -l <"$readme")" ]
check "read-me is UTF-8 with BOM and CRLF line ends" $?

source "$ROOT/scripts/lib/wine.sh"
if wine_runs_32bit; then
  echo "note: starting the unpacked i686 files"
else
  echo "note: this kernel starts no 32-bit programs: the unpacked folder runs with the x64 build's Tomari.exe and TransG32.dll substituted"
  cp "$ROOT/build/windows-x64/Tomari/Tomari.exe" "$ROOT/build/windows-x64/Tomari/TransG32.dll" "$dir/"
fi
wine_start package
roaming=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming 2>/dev/null | grep -v /Public/ | head -n1)
appdata="${roaming:-$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming}/Tomari"
rm -rf "$appdata"
# run_until_closed: starts Tomari.exe and asks it to close, as the system does
# at log-off (WM_CLOSE to its windows), until it has ended. A first notice box
# takes the first WM_CLOSE.
run_until_closed() {
  (cd "$dir" && exec wine Tomari.exe) >/dev/null 2>&1 &
  local pid=$! i
  for i in $(seq 1 120); do
    sleep 1
    kill -0 "$pid" 2>/dev/null || break
    [ "$i" -ge 3 ] && wine taskkill /im Tomari.exe >/dev/null 2>&1
  done
  if kill -0 "$pid" 2>/dev/null; then kill "$pid"; wait "$pid"; return 1; fi
  wait "$pid"
}

run_until_closed; check "Tomari.exe starts from the unpacked folder and ends on WM_CLOSE" $?
grep -q '^Timing=' "$dir/Setting.ini" 2>/dev/null; check "Setting.ini written beside Tomari.exe" $?
[ ! -e "$appdata" ]; check "nothing written to the application-data folder" $?

# A program folder that cannot be written: root is refused only by the
# immutable flag, other users by the folder's mode.
rm -f "$dir/Setting.ini"
if [ "$(id -u)" -eq 0 ]; then chattr +i "$dir"; else chmod a-w "$dir"; fi
if touch "$dir/probe" 2>/dev/null; then
  rm -f "$dir/probe"; echo "[FAILED] cannot make the program folder read-only here"; fail=$((fail + 1))
else
  run_until_closed; check "read-only folder: Tomari.exe starts and ends" $?
  [ ! -e "$dir/Setting.ini" ]; check "read-only folder: nothing beside Tomari.exe" $?
  grep -q '^Timing=' "$appdata/Setting.ini" 2>/dev/null; check "read-only folder: settings kept in %APPDATA%\\Tomari" $?
  # The next start reads them from there: a value of ours survives its save.
  sed -i 's/^Timing=.*/Timing= 250\r/' "$appdata/Setting.ini"
  run_until_closed; check "read-only folder: a second start ends" $?
  grep -q '^Timing= 250' "$appdata/Setting.ini"; check "read-only folder: the second start read %APPDATA%\\Tomari\\Setting.ini" $?
fi
wine_stop
echo "archive: $passed passed, $fail failed"
[ "$fail" -eq 0 ]
