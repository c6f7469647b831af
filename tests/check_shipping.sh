#!/bin/bash
# Checks the shipping build's program files: every .exe in <shipping build>/programs
# (what tools/build.sh copies into dist/) must be a 32-bit (PE32, i386) Windows
# GUI program without a time stamp in its PE header that imports from Windows'
# own libraries only, never from the compiler's runtime libraries.
# Usage: check_shipping.sh <shipping build folder>
set -u
dir=${1:-}
objdump=${QF_OBJDUMP:-i686-w64-mingw32-objdump}

# Windows' own libraries that a program of this project may import from.
allowed='kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 msvcrt comctl32 comdlg32
  shlwapi version winspool ntdll uxtheme'

if [ -z "$dir" ] || [ ! -d "$dir" ]; then
    echo "FAIL: no shipping build folder (got '${dir}'); tools/test.sh passes -DQF_SHIPPING_DIR" >&2
    exit 1
fi
command -v "$objdump" >/dev/null || { echo "FAIL: $objdump is missing" >&2; exit 1; }

programs=()
shopt -s nullglob
for exe in "$dir"/programs/*.exe; do programs+=("$exe"); done
[ ${#programs[@]} -gt 0 ] || { echo "FAIL: no programs in $dir/programs" >&2; exit 1; }

failed=0
fail() {
    echo "FAIL: $1: $2" >&2
    failed=1
    this_failed=1
}

for exe in "${programs[@]}"; do
    name=${exe#"$dir"/}
    this_failed=0
    headers=$("$objdump" -p "$exe" 2>&1) || { fail "$name" "not a PE file: $headers"; continue; }
    grep -q 'file format pei-i386' <<<"$headers" || fail "$name" "not an i386 program"
    grep -qE '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<<"$headers" || fail "$name" "not PE32"
    grep -qE '^Subsystem[[:space:]]+00000002[[:space:]]' <<<"$headers" ||
        fail "$name" "not a GUI program: $(grep '^Subsystem' <<<"$headers")"
    stamp=$(od -An -tx4 -j "$(($(od -An -tu4 -j 60 -N4 "$exe") + 8))" -N4 "$exe" | tr -d ' ')
    [ "$stamp" = 00000000 ] || fail "$name" "time stamp in the PE header: 0x$stamp"
    imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
    [ -n "$imports" ] || fail "$name" "imports nothing"
    for dll in $imports; do
        base=${dll%.dll}
        grep -qw -- "$base" <<<"$allowed" || fail "$name" "imports from $dll"
    done
    [ "$this_failed" = 0 ] && echo "ok: $name ($(stat -c %s "$exe") bytes; imports: $(echo $imports))"
done
exit $failed
