#!/bin/sh
# The example product (examples/quill-notes) proves that a description and
# its files alone make a working release: its setup is built signed with a
# throw-away certificate, the signatures of the setup and the uninstaller are
# verified (and a setup altered after signing fails), the end-to-end driver
# tours it as the README's "Try it" step does (installs it, checks the machine
# against the description, keeps the installed uninstaller, whose bytes and
# signature are checked here) and removes it with its own uninstaller; last,
# a second build in other folders must give the same bytes.
#
# With --all the Windows tests are built and run against it too: they show
# the same code as the Tidy Kit build's tests, with another product's facts,
# so they run before a release rather than on every change.
#
# Usage: tools/test-product.sh [JOBS] [--all]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${1:-$(nproc)}
all=${2:-}
cd "$root" || exit 1
product=build/products/quill-notes
signing=$product/signing
e2e_out=build/e2e-products/quill-notes
status=0

# A throw-away certificate authority and a code-signing certificate it
# issued, valid for a day, as PKCS#12 (with a password) and as PEM.
make_certificates() {
    rm -rf "$signing" && mkdir -p "$signing" || return 1
    printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
        >"$signing/signer.ext"
    openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Setup Mate Test Authority" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign \
        -keyout "$signing/authority.key" -out "$signing/authority.pem" &&
        openssl req -newkey rsa:2048 -nodes -subj "/CN=Quill Notes Test Publisher" \
            -keyout "$signing/signer.key" -out "$signing/signer.csr" &&
        openssl x509 -req -in "$signing/signer.csr" -CA "$signing/authority.pem" -CAkey "$signing/authority.key" \
            -set_serial 1 -days 1 -extfile "$signing/signer.ext" -out "$signing/signer.pem" &&
        openssl pkcs12 -export -in "$signing/signer.pem" -inkey "$signing/signer.key" \
            -passout env:SETUPMATE_SIGN_PASSWORD -out "$signing/signer.p12"
}

# Passes when the program's signature verifies against the throw-away authority.
verify() {
    if osslsigncode verify -CAfile "$signing/authority.pem" -TSA-CAfile "$signing/authority.pem" -in "$1" \
        >"$1.verify.txt" 2>&1; then
        echo "PASS signature of ${1#"$root"/}"
    else
        echo "FAIL signature of ${1#"$root"/}: $1.verify.txt"
        status=1
    fi
}

export SETUPMATE_SIGN_PASSWORD=throw-away
mkdir -p "$product"
make_certificates >"$product/certificates.txt" 2>&1 || {
    cat "$product/certificates.txt" >&2
    exit 1
}
# Each run's certificate is new: the programs an earlier run signed are
# linked, and so signed, again.
for tree in win32 win64; do
    env_file=$product/$tree/generated/product.env
    [ -f "$env_file" ] || continue
    rm -f "$product/$tree/SetupMate.exe" "$product/$tree/generated/payload/$(. "$env_file" && echo "$PRODUCT_UNINSTALLER_FILE")"
done
# Relative paths, as a publisher may give them.
with_tests=
[ "$all" != --all ] || with_tests=--with-tests
SETUPMATE_SIGN_PKCS12=$signing/signer.p12 tools/build-product.sh examples/quill-notes/product.ini "$jobs" $with_tests ||
    exit 1
uninstaller=$(. "$product/win64/generated/product.env" && echo "$PRODUCT_UNINSTALLER_FILE")
for tree in win32 win64; do
    verify "$product/$tree/SetupMate.exe"
    verify "$product/$tree/generated/payload/$uninstaller"
done
altered=$product/altered-SetupMate.exe
cp "$product/SetupMate.exe" "$altered"
printf 'X' | dd of="$altered" bs=1 seek=4096 conv=notrunc 2>/dev/null
if osslsigncode verify -CAfile "$signing/authority.pem" -in "$altered" >/dev/null 2>&1; then
    echo "FAIL a setup altered after signing still verifies"
    status=1
else
    echo "PASS a setup altered after signing fails verification"
fi

if [ "$all" = --all ]; then
    ctest --test-dir "$product/win64" --output-on-failure --timeout 600 -j "${TEST_JOBS:-$jobs}" || status=1
fi
E2E_BUILD=$product/win64 tests/e2e/run.sh --out "$e2e_out" tour install_happy_path uninstall_after_install || status=1
installed=$e2e_out/tour/$uninstaller
if [ -f "$installed" ] && cmp -s "$installed" "$product/win64/generated/payload/$uninstaller"; then
    verify "$installed"
else
    echo "FAIL the installed uninstaller ($installed) is not the signed one the build packed"
    status=1
fi

# The second build signs with the PEM form of the same certificate: the same
# key and signing time give the same signature.
started=$(date +%s)
SETUPMATE_SIGN_CERT=$signing/signer.pem SETUPMATE_SIGN_KEY=$signing/signer.key SETUPMATE_SIGN_PKCS12='' \
    tools/check-reproducible.sh examples/quill-notes/product.ini "$product/win32" "$jobs" || status=1
echo "reproducible: checked in $(($(date +%s) - started)) s"
exit $status
