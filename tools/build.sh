#!/bin/bash
# Builds the shipping programs (32-bit Windows) into dist/, with dist/SHA256SUMS.
# QF_EXTERNAL_PAYLOAD=<folder> embeds layout libraries, chart and icon made elsewhere.
# QF_SIGN_PKCS12=<file.p12> (password in QF_SIGN_PASSWORD or QF_SIGN_PASSWORD_FILE,
# optional QF_SIGN_TIMESTAMP_URL) signs both programs: tools/sign.sh, README.
set -euo pipefail
# Paths given relative to the caller's folder, before changing to the top folder.
for variable in QF_SIGN_PKCS12 QF_SIGN_PASSWORD_FILE; do
  if [ -n "${!variable:-}" ]; then export "$variable=$(realpath -m -- "${!variable}")"; fi
done
cd "$(dirname "$0")/.."
. tools/common.sh
qf_need_packages $QF_PACKAGES_BUILD ${QF_SIGN_PKCS12:+osslsigncode}
# dist/ holds the programs of the last build that succeeded, or none: a build
# that stops (a failed signature too) leaves no programs behind in it.
mkdir -p dist
rm -f dist/*.exe dist/SHA256SUMS
qf_build_host
# A signed build signs anew each time, with the certificate, password and
# timestamp server given now (a wrong one stops it even when nothing changed).
if [ -n "${QF_SIGN_PKCS12:-}" ]; then rm -f "$qf_root"/shipping/programs/*.exe; fi
qf_build_windows shipping
tools/publish.sh "$qf_root/shipping/programs" dist
ls -l dist/
