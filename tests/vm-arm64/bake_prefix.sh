#!/bin/sh
# Runs inside the virtual ARM64 machine while its image is made: boots the
# Wine prefix that every later run starts from (under emulation this takes
# minutes, so it is done once).
# Usage (in the guest): bake_prefix.sh <prefix folder>
set -e
export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
started=$(date +%s)
/usr/lib/wine/wine64 wineboot -i
/usr/lib/wine/wineserver -w
test -f "$WINEPREFIX/system.reg"
test -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll"
echo "prefix booted in $(( $(date +%s) - started )) s"
ls "$WINEPREFIX/drive_c/windows/system32" | wc -l
