#!/bin/bash
# Builds the shipping programs (32-bit Windows) into dist/.
# QF_EXTERNAL_PAYLOAD=<folder> embeds layout libraries, chart and icon made elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh
qf_need_packages $QF_PACKAGES_BUILD
qf_build_host
qf_build_windows shipping
mkdir -p dist
cp "$qf_root"/shipping/programs/*.exe dist/
ls -l dist/
