#!/bin/bash
# Runs the shipping i686 programs (the files of dist/, unchanged) on a virtual
# 32-bit Windows: a Debian guest with 32-bit Wine under qemu, which runs
# tests/vm/lifecycle.py and powers off. Makes the guest image first when it is
# missing or its recipe changed (about 5 minutes), in $QF_VM_CACHE
# (default /var/tmp/quarzfeld-vm), which survives the removal of build/.
#
# Usage: tools/vm/run.sh [--no-build]
#   --no-build  use the shipping build as it is (tools/test.sh has just built it)
# Results, and for a failed scenario its traces and screenshots, are in
# <build root>/vm/share/out.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh
. tools/vm/vm.sh
qf_need_packages $QF_PACKAGES_BUILD $QF_PACKAGES_VM
if [ "${1:-}" != --no-build ]; then
  qf_build_host
  qf_build_windows shipping
fi
started=$(date +%s)
qf_vm_ensure_image
image_ready=$(date +%s)

share="$PWD/$qf_root/vm/share"
rm -rf "$share"
mkdir -p "$share/programs" "$share/helpers" "$share/e2e" "$share/vm"
cp "$qf_root/shipping/programs/Install_VezOdorQFZ27.exe" \
  "$qf_root/shipping/programs/Uninstall_VezOdorQFZ27.exe" "$share/programs/"
cp "$qf_root"/shipping/vm-helpers/*.exe "$share/helpers/"
cp tests/e2e/*.py "$share/e2e/"
cp tests/vm/*.py "$share/vm/"
(cd "$share/programs" && sha256sum ./*.exe) >"$share/programs.sha256"
cat >"$share/job.sh" <<'JOB'
cd /mnt/qf/programs && sha256sum -c --quiet ../programs.sha256 || exit 1
python3 -u /mnt/qf/vm/lifecycle.py --programs /mnt/qf/programs --helpers /mnt/qf/helpers \
  --work /var/lib/qf/work --out /mnt/qf/out
JOB
status=0
qf_vm_boot "$qf_vm_image" "$share" "${QF_VM_TIMEOUT:-1500}" || status=1
[ $status = 0 ] && cat "$share/out/job.log"
echo "Virtual 32-bit Windows: $([ $status = 0 ] && echo passed || echo FAILED) in $(( $(date +%s) - image_ready )) s" \
  "(image ready after $(( image_ready - started )) s); results in $share/out"
exit $status
