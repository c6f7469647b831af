# The suites built for i686, run as 32-bit processes on 64-bit Windows: 64-bit
# Wine in its WoW64 mode with the i386 DLLs of tools/wow64.sh.
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-i686.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run-wow64.sh)
