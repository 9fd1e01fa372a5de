#!/usr/bin/env bash
# The shipped folder must run on a bare Windows: no MinGW runtime DLLs among the
# imports, the manifest (DPI awareness, common controls 6) and version 1.4.4 inside.
set -uo pipefail
dist=${1:?usage: check_binaries.sh DIST_DIR}
fail=0; passed=0
check() {  # check NAME CONDITION-EXIT-STATUS
  if [ "$2" -eq 0 ]; then passed=$((passed + 1)); echo "[  OK  ] $1"; else fail=$((fail + 1)); echo "[FAILED] $1"; fi
}
for f in "$dist/Tomari.exe" "$dist"/*.dll; do
  [ -f "$f" ] || continue
  imports=$(i686-w64-mingw32-objdump -p "$f" | awk '/DLL Name:/ {print tolower($3)}')
  bad=$(echo "$imports" | grep -E 'libstdc\+\+|libgcc|libwinpthread|msvcp|vcruntime' || true)
  [ -z "$bad" ]; check "$(basename "$f") imports only system DLLs ${bad:+(has: $bad)}" $?
done
exe="$dist/Tomari.exe"
[ -f "$exe" ]; check "Tomari.exe exists" $?
if [ -f "$exe" ]; then
  grep -qa 'PerMonitorV2' "$exe"; check "manifest declares per-monitor DPI awareness v2" $?
  grep -qa 'Microsoft.Windows.Common-Controls' "$exe"; check "manifest asks for common controls 6" $?
  # VERSIONINFO strings are UTF-16 LE.
  grep -qaP '1\x00\.\x004\x00\.\x004\x00' "$exe"; check "version resource says 1.4.4" $?
fi
echo "binaries: $passed passed, $fail failed"
[ "$fail" -eq 0 ]
