#!/bin/sh
# Runs one 32-bit Windows program under 64-bit Wine's WoW64 mode, in the build
# folder's own prefix, with the i386 DLLs that tools/wow64.sh put beside the
# build folder (<build root>/wow64/dlls, or QF_WOW64_DLLS). tools/test.sh boots
# the prefix with the same settings (syswow64 is filled only when WINEDLLPATH
# is set at wineboot) and keeps its wineserver running.
build=${QF_BUILD_DIR:-$PWD}
while [ ! -f "$build/CMakeCache.txt" ] && [ "$build" != / ]; do build=$(dirname "$build"); done
export WINEDLLPATH="${QF_WOW64_DLLS:-$(dirname "$build")/wow64/dlls}"
export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win64
exec "$(dirname "$0")/wine-run.sh" "$@"
