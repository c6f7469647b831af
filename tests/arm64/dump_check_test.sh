#!/bin/sh
# kbddump_check's own test: a dump made by the host's loader at a new base
# passes; one where the loader skipped a relocation, and one where the module
# stayed at its preferred base, are refused for that reason.
# Usage: dump_check_test.sh <kbddump_check> <ARM64 library> <layout source> <work folder>
set -u
check=$1 library=$2 source=$3 work=$4
mkdir -p "$work"
status=0
"$check" --load "$library" 0x7FF612340000 "$work/moved.dump" &&
  "$check" "$work/moved.dump" "$library" "$source" || { echo "FAIL: a correctly loaded module is refused"; status=1; }
"$check" --load "$library" 0x7FF612340000 3 "$work/skipped.dump" || status=1
if "$check" "$work/skipped.dump" "$library" "$source" >"$work/skipped.out"; then
  echo "FAIL: a module with a relocation left out passes"; status=1
elif ! grep -q 'differs from the relocated file' "$work/skipped.out"; then
  cat "$work/skipped.out"; echo "FAIL: the missing relocation is not named"; status=1
fi
"$check" --load "$library" preferred "$work/unmoved.dump" || status=1
if "$check" "$work/unmoved.dump" "$library" "$source" >"$work/unmoved.out"; then
  echo "FAIL: a module left at its preferred base passes"; status=1
elif ! grep -q 'was not moved' "$work/unmoved.out"; then
  cat "$work/unmoved.out"; echo "FAIL: the unmoved module is not named"; status=1
fi
[ $status = 0 ] && echo "kbddump_check: all three dumps judged right"
exit $status
