#!/bin/sh
# Signs a program in place with osslsigncode (SHA-256), as the build does
# once the program is linked. The signing time is the release time given, so
# that the same build signed again gives the same bytes; with a time-stamping
# server's URL the server's countersignature is added (and the bytes then
# differ from build to build). The certificate's password, if it has one,
# comes from SETUPMATE_SIGN_PASSWORD and goes to osslsigncode on its input,
# never on a command line.
#
# Usage: tools/sign.sh PROGRAM DESCRIPTION TIME TIMESTAMP_URL CERTIFICATE_OPTIONS...
#   DESCRIPTION          the name Windows' elevation prompt shows for the program
#   CERTIFICATE_OPTIONS  -pkcs12 FILE, or -certs FILE -key FILE
# A program that cannot be signed is deleted, so that the next build links
# and signs it again rather than taking it unsigned.
set -eu
if [ $# -lt 6 ]; then
    echo "usage: tools/sign.sh PROGRAM DESCRIPTION TIME TIMESTAMP_URL CERTIFICATE_OPTIONS..." >&2
    exit 2
fi
program=$1
description=$2
time=$3
url=$4
shift 4
if [ -n "$url" ]; then
    set -- "$@" -ts "$url"
fi
signed=$program.signed
if printf '%s' "${SETUPMATE_SIGN_PASSWORD:-}" |
    osslsigncode sign "$@" -readpass /dev/stdin -h sha256 -n "$description" -time "$time" \
        -in "$program" -out "$signed" >"$signed.log" 2>&1 &&
    mv "$signed" "$program"; then
    rm -f "$signed.log"
    exit 0
fi
cat "$signed.log" >&2
echo "sign: $program could not be signed (above: osslsigncode's reasons); it is deleted" >&2
rm -f "$program" "$signed" "$signed.log"
exit 1
