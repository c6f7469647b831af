#!/bin/bash
# Runs every test: the host checks of the payload, the shipping build's files,
# and the GoogleTest suites of the x86-64 build under 64-bit Wine on Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh
qf_need_packages $QF_PACKAGES_BUILD $QF_PACKAGES_TEST
qf_need_packages $QF_PACKAGES_SIGN
# The tests build unsigned; the signing test makes its own certificate.
unset QF_SIGN_PKCS12 QF_SIGN_PASSWORD QF_SIGN_PASSWORD_FILE QF_SIGN_TIMESTAMP_URL
start=$(date +%s)
qf_build_host
qf_build_windows shipping
qf_build_windows test
# Wine's i386 DLLs for the WoW64 runs of the shipping programs, and the
# suites built for i686 that run as 32-bit processes under WoW64.
qf_prepare_wow64
qf_build_windows test-i686

trap 'qf_stop_wine; qf_stop_xvfb' EXIT
qf_start_xvfb
qf_start_wine "$qf_root/test"

status=0
ctest --test-dir "$qf_root/host" --output-on-failure </dev/null || status=1
ctest --test-dir "$qf_root/test" --output-on-failure </dev/null || status=1
# The i686 suites under WoW64, where is_wow64 is true and redirection switches
# for real, in a prefix of their own booted with Wine's i386 DLLs.
qf_stop_wine
(qf_wow64_env && qf_start_wine "$qf_root/test-i686" &&
  ctest --test-dir "$qf_root/test-i686" --output-on-failure </dev/null; rc=$?; qf_stop_wine; exit $rc) ||
  status=1
# Signed shipping programs and the checksums, in a build folder of their own.
tests/check_signing.sh "$qf_root" </dev/null || status=1

# The shipping programs on a virtual 32-bit Windows (tools/vm/run.sh).
# QF_SKIP_VM=1 skips it in quick local runs, never in CI.
if [ "${QF_SKIP_VM:-}" = 1 ] && [ "${CI:-}" != true ]; then
  echo "Virtual 32-bit Windows skipped (QF_SKIP_VM=1)"
else
  tools/vm/run.sh --no-build </dev/null || status=1
fi
# The ARM64 layout library in an ARM64 process (tools/vm-arm64/run.sh); skipped with it.
if [ "${QF_SKIP_VM:-}" = 1 ] && [ "${CI:-}" != true ]; then
  echo "Virtual ARM64 machine skipped (QF_SKIP_VM=1)"
else
  tools/vm-arm64/run.sh --no-build </dev/null || status=1
fi
echo "Test run took $(( $(date +%s) - start )) s"
exit $status
