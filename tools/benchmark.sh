#!/bin/bash
# Benchmark (not a test): the sizes of the shipping programs and the times of
# one installation and one removal under Wine, each beside an NSIS installer
# that puts the same files and registry values in place (tools/nsis).
# The shipping i686 programs are timed too, as 32-bit processes on 64-bit
# Windows (Wine's WoW64 mode), beside the NSIS x86 installer made for that case.
# Prints one table. BENCHMARK_ROUNDS=<n> sets the rounds whose median is shown.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh
qf_need_packages $QF_PACKAGES_BUILD $QF_PACKAGES_TEST nsis
qf_build_host >/dev/null
qf_build_windows shipping >/dev/null
# The test build of tools/test.sh; only the programs and the end-to-end
# suite's two helpers are built.
qf_build_windows test --target installer uninstaller e2e_preload_keeper e2e_run_uninstall_entry >/dev/null
qf_prepare_wow64

bench="$PWD/$qf_root/benchmark"
mkdir -p "$bench"
nsis() { makensis -V1 -DPAYLOAD="$PWD/$qf_root/host/payload" "$@" tools/nsis/quarzfeld.nsi; }
nsis -DTARGET=amd64-unicode -DOUTFILE="$bench/NSIS_Quarzfeld_amd64.exe"
nsis -DTARGET=x86-unicode -DOUTFILE="$bench/NSIS_Quarzfeld_x86.exe"
nsis -DTARGET=x86-unicode -DWOW64 -DOUTFILE="$bench/NSIS_Quarzfeld_x86_wow64.exe"
# A second x86 build hands out its uninstaller (the installer of that build
# carries it finished and is larger, so it is not the one measured).
nsis -DTARGET=x86-unicode -DOUTFILE="$bench/NSIS_mit_Deinstallationsprogramm_x86.exe" \
  -DUNINSTALLER_COPY="$bench/NSIS_Deinstallation_x86.exe"

exec python3 tests/e2e/benchmark.py \
  --shipping "$qf_root/shipping/programs" --programs "$qf_root/test/programs" \
  --helpers "$qf_root/test/tests" \
  --peer "$bench/NSIS_Quarzfeld_amd64.exe" --peer-x86 "$bench/NSIS_Quarzfeld_x86.exe" \
  --peer-x86-uninstaller "$bench/NSIS_Deinstallation_x86.exe" \
  --stub /usr/share/nsis/Stubs/zlib-x86-unicode \
  --work "$bench/work" --template "$qf_root/test/tests/e2e/work/template" \
  --wow64 "$qf_root/wow64/dlls" --peer-x86-wow64 "$bench/NSIS_Quarzfeld_x86_wow64.exe" \
  --wow64-template "$qf_root/test/tests/e2e/work-wow64/template" \
  --rounds "${BENCHMARK_ROUNDS:-3}"
