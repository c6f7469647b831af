#!/bin/bash
# Signs one Windows program in place with an Authenticode signature (SHA-256),
# through Debian's osslsigncode. The shipping build runs it right after linking
# each program (cmake/windows.cmake, qf_sign), so the uninstaller is signed
# before the installer embeds it.
#
# Usage: sign.sh <program> <PKCS#12 file> [<RFC 3161 timestamp server URL>]
# The certificate's password comes from the environment, never from the
# command line: QF_SIGN_PASSWORD (the password itself) or QF_SIGN_PASSWORD_FILE
# (a file whose first line is the password); exactly one of them.
#
# The signed program is written beside the program and renamed over it. When
# anything fails (bad certificate, wrong password, timestamp server not
# reached), the program is deleted, so that no unsigned or half-signed file is
# left for the build to pass on, and the next build links and signs it again.
set -uo pipefail
program=${1:-}
pkcs12=${2:-}
timestamp_url=${3:-}
name=$(basename -- "$program")
part="$program.signing"

fail() {
    echo "sign.sh: $name NOT signed: $1" >&2
    rm -f -- "$part" "$program"
    exit 1
}

[ -n "$program" ] && [ -n "$pkcs12" ] || fail "usage: sign.sh <program> <PKCS#12 file> [<timestamp URL>]"
[ -f "$program" ] || fail "no such program: $program"
command -v osslsigncode >/dev/null || fail "osslsigncode is missing (apt-get install osslsigncode)"
[ -f "$pkcs12" ] && [ -r "$pkcs12" ] || fail "cannot read the certificate QF_SIGN_PKCS12=$pkcs12"
if [ -n "${QF_SIGN_PASSWORD+set}" ] && [ -n "${QF_SIGN_PASSWORD_FILE+set}" ]; then
    fail "both QF_SIGN_PASSWORD and QF_SIGN_PASSWORD_FILE are set; set one of them"
elif [ -n "${QF_SIGN_PASSWORD_FILE+set}" ]; then
    [ -f "$QF_SIGN_PASSWORD_FILE" ] && [ -r "$QF_SIGN_PASSWORD_FILE" ] ||
        fail "cannot read the password file QF_SIGN_PASSWORD_FILE=$QF_SIGN_PASSWORD_FILE"
    password_source=$QF_SIGN_PASSWORD_FILE
elif [ -n "${QF_SIGN_PASSWORD+set}" ]; then
    password_source=-   # standard input, fed by printf (a shell builtin: not in ps)
else
    fail "the certificate needs its password in QF_SIGN_PASSWORD or QF_SIGN_PASSWORD_FILE"
fi

arguments=(sign -pkcs12 "$pkcs12" -readpass "$password_source" -h sha256 -in "$program" -out "$part")
[ -n "$timestamp_url" ] && arguments+=(-ts "$timestamp_url")

rm -f -- "$part"
if [ "$password_source" = - ]; then
    printf '%s' "$QF_SIGN_PASSWORD" | timeout 300 osslsigncode "${arguments[@]}" >"$part.log" 2>&1
else
    timeout 300 osslsigncode "${arguments[@]}" </dev/null >"$part.log" 2>&1
fi
status=$?
log=$(cat -- "$part.log" 2>/dev/null)
rm -f -- "$part.log"
if [ $status -ne 0 ] || [ ! -s "$part" ]; then
    echo "$log" >&2
    reason="osslsigncode failed (status $status)"
    case $log in
        *"Wrong password"*) reason="wrong password for $pkcs12" ;;
        *"Failed to extract PKCS#12"* | *"Failed to read key or certificates"*)
            reason="not a usable PKCS#12 certificate: $pkcs12" ;;
        *"timestamping failed"* | *"HTTP failure"*)
            reason="the timestamp server $timestamp_url did not answer with a timestamp" ;;
    esac
    [ $status -eq 124 ] && reason="osslsigncode gave no answer within 300 s (timestamp server $timestamp_url?)"
    fail "$reason"
fi
mv -f -- "$part" "$program" || fail "cannot replace $program"
echo "sign.sh: signed $name${timestamp_url:+ (timestamp from $timestamp_url)}"
