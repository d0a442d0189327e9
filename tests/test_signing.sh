#!/usr/bin/env bash
# One round trip of scripts/sign.sh: a throwaway code-signing certificate made with openssl
# signs a copy of the release; both programs verify with SHA-256 against that certificate as
# the only trusted root, and not against another one; the zip beside the copy holds the signed
# programs; the build's own release stays as built; and the signed copy installs and
# uninstalls under Wine (the first case of tests/test_install_uninstall.cpp).
# Usage: test_signing.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
source=$2
source "$source/tests/checks.sh"
work=$build/test-signing
release=$build/dist/ZV-001
rm -rf "$work"
mkdir -p "$work/dist"
built=$(cat "$release"/*.exe "$release.zip" | sha256sum)

certificate() {
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/$1.key" -out "$work/$1.pem" -days 2 \
        -subj "/CN=$2" -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
        >/dev/null 2>&1
}
if ! certificate signer "ZV Test Signing" || ! certificate other "Someone Else" ||
    ! openssl pkcs12 -export -out "$work/signer.pfx" -inkey "$work/signer.key" \
        -in "$work/signer.pem" -passout pass:zv-test >/dev/null 2>&1; then
    bad "openssl could not make the throwaway certificates"
    tally
    exit
fi
cp -r "$release" "$work/dist/"
if ZV_SIGN_PASSWORD=zv-test bash "$source/scripts/sign.sh" "$work/signer.pfx" \
    "$work/dist/ZV-001" >/dev/null; then
    ok "sign.sh signed the copy"
else
    bad "sign.sh failed"
fi

signed=$work/dist/ZV-001
for name in ZVSetup.exe zvuninst.exe; do
    report=$(osslsigncode verify -CAfile "$work/signer.pem" -in "$signed/$name" 2>&1)
    if [ $? -eq 0 ] && grep -q 'Message digest algorithm *: SHA256' <<<"$report"; then
        ok "$name verifies with SHA-256 against the throwaway certificate"
    else
        bad "$name does not verify: $report"
    fi
    if osslsigncode verify -CAfile "$work/other.pem" -in "$signed/$name" >/dev/null 2>&1; then
        bad "$name verifies against a certificate that did not sign it"
    else
        ok "$name does not verify against another certificate"
    fi
    if unzip -p "$work/dist/ZV-001.zip" "ZV-001/$name" | cmp -s - "$signed/$name" &&
        ! cmp -s "$signed/$name" "$release/$name"; then
        ok "the zip holds the signed $name"
    else
        bad "the zip does not hold the signed $name"
    fi
done
if [ "$(cat "$release"/*.exe "$release.zip" | sha256sum)" = "$built" ]; then
    ok "the build's own release is unchanged"
else
    bad "signing a copy changed the build's release"
fi

files=$signed/ZVSetup.exe:$signed/ZV-001.txt:$signed/zvuninst.exe:$signed/PakZV01.pk3
if ZV_TEST_DRIVES="d g" ZV_TEST_FILES=$files \
    bash "$source/scripts/wine-test.sh" "$build/tests/test_install_uninstall.exe" one; then
    ok "the signed copy installs and uninstalls under Wine"
else
    bad "the signed copy did not install and uninstall under Wine"
fi
tally
