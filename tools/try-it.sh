#!/bin/bash
# Try the installer by hand: builds the x86-64 programs, makes a throwaway Wine
# machine seeded like a German Windows and runs the installer with its real
# windows: on your display when DISPLAY reaches one (you answer the boxes),
# otherwise on a private Xvfb, answering Yes and OK, with a screenshot of every
# box. Then prints what changed in the registry and the files.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh
qf_need_packages $QF_PACKAGES_BUILD $QF_PACKAGES_TEST
qf_build_host >/dev/null
# The test build of tools/test.sh, so that both share one build folder; only
# the programs are built.
qf_build_windows test --target installer uninstaller >/dev/null

# The end-to-end suite's booted template, when it is there and current, saves a boot.
exec python3 tests/e2e/try_it.py --programs "$qf_root/test/programs" --work "$qf_root/try-it" \
  --template "$qf_root/test/tests/e2e/work/template"
