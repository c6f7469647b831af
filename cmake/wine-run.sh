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
# A German Windows, as the tests seed it: Wine takes the user's locale from
# LC_ALL (also where the C library has no de_DE) and writes that locale's
# layout into the user's Preload "1" whenever a process starts or first uses
# the window system. German makes that 00000407, the value the seeded lists
# begin with, instead of a rewrite to 00000409 at a moment of Wine's choosing.
export LC_ALL=de_DE.UTF-8
mkdir -p "$HOME"
exec /usr/lib/wine/wine64 "$@"
