#!/bin/bash
# Runs every test: the host checks of the payload, the shipping build's files,
# and the GoogleTest suites of the x86-64 build under 64-bit Wine on Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh
qf_need_packages $QF_PACKAGES_BUILD $QF_PACKAGES_TEST
start=$(date +%s)
qf_build_host
qf_build_windows shipping
qf_build_windows test

trap 'qf_stop_wine; qf_stop_xvfb' EXIT
qf_start_xvfb
qf_start_wine "$qf_root/test"

status=0
ctest --test-dir "$qf_root/host" --output-on-failure </dev/null || status=1
ctest --test-dir "$qf_root/test" --output-on-failure </dev/null || status=1

# The shipping programs on a virtual 32-bit Windows (tools/vm/run.sh).
# QF_SKIP_VM=1 skips it in quick local runs, never in CI.
if [ "${QF_SKIP_VM:-}" = 1 ] && [ "${CI:-}" != true ]; then
  echo "Virtual 32-bit Windows skipped (QF_SKIP_VM=1)"
else
  tools/vm/run.sh --no-build </dev/null || status=1
fi
echo "Test run took $(( $(date +%s) - start )) s"
exit $status
