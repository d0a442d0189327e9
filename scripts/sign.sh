#!/usr/bin/env bash
# Signs a release with Authenticode: ZVSetup.exe and zvuninst.exe in the release folder
# (build/dist/ZV-001 unless FOLDER is given) get a SHA-256 signature from the certificate and
# key in PFX, with an RFC 3161 timestamp when ZV_SIGN_TIMESTAMP names a server, so the
# signature outlives the certificate. Then the zip beside the folder is made again from the
# signed files, by the build's reproducible rules (scripts/make_package.py). The password of
# PFX comes from ZV_SIGN_PASSWORD and never stands on a command line.
#   ZV_SIGN_PASSWORD=... [ZV_SIGN_TIMESTAMP=http://...] bash scripts/sign.sh PFX [FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 1 ] || [ $# -gt 2 ] || [ -z "${ZV_SIGN_PASSWORD+set}" ]; then
    sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
fi
pfx=$1
folder=${2:-$root/build/dist/ZV-001}
bash "$root/scripts/bootstrap.sh"

for name in ZVSetup.exe zvuninst.exe; do
    program=$folder/$name
    # A program signed before is signed anew, not given a second signature.
    osslsigncode remove-signature -in "$program" -out "$program.unsigned" >/dev/null 2>&1 &&
        mv "$program.unsigned" "$program"
    rm -f "$program.unsigned"
    args=(sign -pkcs12 "$pfx" -readpass /dev/stdin -h sha256 -n "ZV Models for Quake3"
          -in "$program" -out "$program.signed")
    [ -n "${ZV_SIGN_TIMESTAMP:-}" ] && args+=(-ts "$ZV_SIGN_TIMESTAMP")
    if ! printf '%s' "$ZV_SIGN_PASSWORD" | osslsigncode "${args[@]}" >/dev/null; then
        rm -f "$program.signed"
        echo "sign.sh: could not sign $program" >&2
        exit 1
    fi
    mv "$program.signed" "$program"
done
python3 "$root/scripts/make_package.py" zip "$folder"
echo "signed $folder/ZVSetup.exe and $folder/zvuninst.exe; remade $folder.zip"
