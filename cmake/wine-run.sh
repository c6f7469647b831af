#!/bin/sh
# Runs one Windows program under 64-bit Wine in the build folder's own throwaway
# prefix. tools/test.sh boots the prefix and keeps a wineserver running, so a
# run here costs a fraction of a second.
build=${QF_BUILD_DIR:-$PWD}
while [ ! -f "$build/CMakeCache.txt" ] && [ "$build" != / ]; do build=$(dirname "$build"); done
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
export HOME="${QF_WINE_HOME:-$build/winehome}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-winemenubuilder.exe=d;winedbg.exe=d;mscoree=d;mshtml=d}"
mkdir -p "$HOME"
exec /usr/lib/wine/wine64 "$@"
