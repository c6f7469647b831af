#!/bin/bash
# Signed and unsigned shipping programs, and the checksums of a delivery folder.
# Makes a throwaway certificate authority and code-signing certificate, builds
# the shipping programs signed in a folder of their own (<build root>/signing;
# the payload comes from the host build), and checks:
#   - both programs verify against that authority (osslsigncode verify);
#   - the installer's DATEI6 is the signed uninstaller, byte for byte;
#   - the programs of the normal, unsigned shipping build carry no signature;
#   - SHA256SUMS of the delivery folder passes `sha256sum -c`;
#   - a wrong password and an unreachable timestamp server stop the build
#     with a message and leave no program (signed or not) behind.
# Usage (from the top folder, after the host and shipping builds):
#   tests/check_signing.sh <build root>
set -uo pipefail
root=$(realpath -m -- "${1:?usage: check_signing.sh <build root>}")
work=$root/signing
keys=$work/keys
build=$work/shipping
programs=$build/programs
installer=Install_VezOdorQFZ27.exe
uninstaller=Uninstall_VezOdorQFZ27.exe
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
ok() { echo "ok: $*"; }

rm -rf -- "$keys" "$work/dist"
mkdir -p -- "$keys"
{
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quarzfeld Test CA" \
        -addext "basicConstraints=critical,CA:true" -addext "keyUsage=critical,keyCertSign,cRLSign" \
        -keyout "$keys/ca.key" -out "$keys/ca.pem" &&
    openssl req -newkey rsa:2048 -nodes -subj "/CN=Quarzfeld Test Signer" \
        -keyout "$keys/signer.key" -out "$keys/signer.csr" &&
    printf '%s\n' "basicConstraints=critical,CA:false" "keyUsage=critical,digitalSignature" \
        "extendedKeyUsage=codeSigning" >"$keys/signer.ext" &&
    openssl x509 -req -days 2 -in "$keys/signer.csr" -CA "$keys/ca.pem" -CAkey "$keys/ca.key" \
        -CAcreateserial -extfile "$keys/signer.ext" -out "$keys/signer.pem" &&
    printf '%s\n' 'Pass wort' >"$keys/password" &&
    openssl pkcs12 -export -inkey "$keys/signer.key" -in "$keys/signer.pem" \
        -passout "file:$keys/password" -out "$keys/signer.p12"
} >"$keys/openssl.log" 2>&1 || { cat "$keys/openssl.log" >&2; echo "FAIL: openssl" >&2; exit 1; }

# The shipping build as tools/build.sh runs it, with the signing environment.
unset QF_SIGN_PASSWORD QF_SIGN_PASSWORD_FILE QF_SIGN_TIMESTAMP_URL
export QF_SIGN_PKCS12=$keys/signer.p12
build_signed() {
    cmake --preset shipping -B "$build" -DQF_PAYLOAD_DIR="$root/host/payload" >/dev/null &&
        cmake --build "$build" --target installer
}

# Signed, with the password from a file.
if QF_SIGN_PASSWORD_FILE=$keys/password build_signed >"$work/build.log" 2>&1; then
    for name in $uninstaller $installer; do
        if osslsigncode verify -CAfile "$keys/ca.pem" -in "$programs/$name" >"$work/verify.log" 2>&1 &&
            grep -q 'Message digest algorithm *: SHA256' "$work/verify.log"; then
            ok "$name is signed (SHA-256) and verifies against the test authority"
        else
            cat "$work/verify.log" >&2
            fail "$name does not verify"
        fi
    done
    if "$(dirname "$0")/../tools/publish.sh" "$programs" "$work/dist" &&
        (cd "$work/dist" && sha256sum --quiet -c SHA256SUMS) && [ "$(wc -l <"$work/dist/SHA256SUMS")" = 2 ]; then
        ok "SHA256SUMS names both programs and sha256sum -c passes"
    else
        fail "SHA256SUMS of the delivery folder"
    fi
else
    cat "$work/build.log" >&2
    fail "the signed build failed"
fi

# DATEI6 of the signed installer is the signed uninstaller; the normal
# shipping build's programs carry no signature (certificate table empty).
python3 - "$programs" "$root/shipping/programs" "$(dirname "$0")/e2e" <<'PYTHON' || failed=1
import os, struct, sys
sys.path.insert(0, sys.argv[3])
import pe_resources

def certificate_table(filename):
    with open(filename, 'rb') as f:
        image = f.read()
    pe = struct.unpack_from('<I', image, 0x3c)[0]
    optional = pe + 24
    magic = struct.unpack_from('<H', image, optional)[0]
    directories = optional + (96 if magic == 0x10b else 112)
    return struct.unpack_from('<II', image, directories + 4 * 8)

signed, unsigned = sys.argv[1], sys.argv[2]
status = 0
datei6 = pe_resources.payload(os.path.join(signed, 'Install_VezOdorQFZ27.exe')).get(6)
with open(os.path.join(signed, 'Uninstall_VezOdorQFZ27.exe'), 'rb') as f:
    uninstaller = f.read()
if datei6 == uninstaller and certificate_table(os.path.join(signed, 'Uninstall_VezOdorQFZ27.exe'))[1]:
    print('ok: DATEI6 of the signed installer is the signed uninstaller (%d bytes)' % len(datei6))
else:
    print('FAIL: DATEI6 of the signed installer differs from the signed uninstaller', file=sys.stderr)
    status = 1
for name in ('Install_VezOdorQFZ27.exe', 'Uninstall_VezOdorQFZ27.exe'):
    table = certificate_table(os.path.join(unsigned, name))
    if table == (0, 0):
        print('ok: the unsigned build\'s %s carries no signature' % name)
    else:
        print('FAIL: the unsigned build\'s %s has a certificate table %r' % (name, table), file=sys.stderr)
        status = 1
sys.exit(status)
PYTHON

# expect_stop <what> <text in the message>: the build fails, says why, and
# leaves neither program nor temporary file in the programs folder.
expect_stop() {
    local what=$1 text=$2
    rm -f -- "$programs/$uninstaller"   # the next build links and signs it again
    if build_signed >"$work/build.log" 2>&1; then
        fail "$what: the build did not stop"
    elif ! grep -q "sign.sh: $uninstaller NOT signed: .*$text" "$work/build.log"; then
        cat "$work/build.log" >&2
        fail "$what: no clear message"
    elif [ -e "$programs/$uninstaller" ] || compgen -G "$programs/*.signing*" >/dev/null; then
        ls -l "$programs" >&2
        fail "$what: a program or temporary file was left behind"
    else
        ok "$what stops the build: $(grep -o "NOT signed: .*" "$work/build.log" | head -1)"
    fi
}
QF_SIGN_PASSWORD='falsch' expect_stop "a wrong password" "wrong password"
QF_SIGN_PASSWORD_FILE=$keys/password QF_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/ \
    expect_stop "an unreachable timestamp server" "timestamp server http://127.0.0.1:9/"
exit $failed
