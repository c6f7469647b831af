#!/bin/bash
# Runs the ARM64 layout library in a real ARM64 process: a Debian arm64 guest
# with Wine for arm64 under qemu's software emulation, where tests/arm64's
# layout_probe loads the library from System32, calls KbdLayerDescriptor and
# dumps what it sees; the host then compares that with the layout source
# (kbddump_check). Makes the guest image first when it is missing or its
# recipe changed, in $QF_VM_CACHE (default /var/tmp/quarzfeld-vm).
#
# Usage: tools/vm-arm64/run.sh [--no-build]
#   --no-build  use the host build as it is (tools/test.sh has just built it)
# QF_ARM64_LIBRARY=<file> runs another ARM64 library than the host build's.
# Results are in <build root>/vm-arm64/share/out.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh
. tools/vm-arm64/vm.sh
qf_need_packages $QF_PACKAGES_BUILD $QF_PACKAGES_VM_ARM64
[ "${1:-}" = --no-build ] || qf_build_host
library=${QF_ARM64_LIBRARY:-$qf_root/host/payload/VezOdorQFZ27_arm64.DLL}
probe=$qf_root/host/arm64/layout_probe.exe
checker=$qf_root/host/tests/arm64/kbddump_check
for f in "$library" "$probe" "$checker"; do
  [ -f "$f" ] || { echo "missing: $f" >&2; exit 1; }
done
started=$(date +%s)
qf_arm64_ensure_image
image_ready=$(date +%s)

share="$PWD/$qf_root/vm-arm64/share"
rm -rf "$share"
mkdir -p "$share/probe"
cp "$library" "$share/probe/VezOdorQFZ27.DLL"
cp "$probe" "$share/probe/layout_probe.exe"
(cd "$share/probe" && sha256sum ./*) >"$share/probe.sha256"
cat >"$share/job.sh" <<'JOB'
set -e
cd /mnt/qf/probe && sha256sum -c --quiet ../probe.sha256
export WINEPREFIX=/var/lib/qf/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
system32="$WINEPREFIX/drive_c/windows/system32"
cp /mnt/qf/probe/VezOdorQFZ27.DLL "$system32/"
cp /mnt/qf/probe/layout_probe.exe "$WINEPREFIX/drive_c/"
uname -m
started=$(date +%s)
code=0
/usr/lib/wine/wine64 'C:\layout_probe.exe' VezOdorQFZ27.DLL 'Z:\mnt\qf\out\layout.dump' || code=$?
/usr/lib/wine/wineserver -w
echo "layout_probe ended with $code after $(( $(date +%s) - started )) s"
exit $code
JOB
status=0
qf_arm64_boot "$qf_arm64_image" "$share" "${QF_VM_TIMEOUT:-900}" || status=1
if [ $status = 0 ]; then
  cat "$share/out/job.log"
  "$checker" "$share/out/layout.dump" "$library" payload/quarzfeld.layout || status=1
fi
echo "Virtual ARM64 machine: $([ $status = 0 ] && echo passed || echo FAILED) in $(( $(date +%s) - image_ready )) s" \
  "(image ready after $(( image_ready - started )) s); results in $share/out"
exit $status
