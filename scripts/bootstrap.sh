#!/usr/bin/env bash
# Installs, without questions and only what is missing, everything a fresh Debian
# machine needs to build the installer and run it and its tests under Wine.
set -euo pipefail

packages=(cmake make g++-mingw-w64-i686 wine wine32:i386 xvfb xauth fonts-wine
          x11-apps imagemagick python3 zip unzip clang-format locales
          openarena osslsigncode openssl)
# and whatever the caller names besides (scripts/fuzz.sh: clang and its fuzzer runtime).
packages+=("$@")

# Wine started with LC_ALL=ja_JP.UTF-8 runs a program in code page 932, for the tests of
# double-byte paths.
japanese() {
    locale -a 2>/dev/null | grep -qi '^ja_JP.utf-\?8$' && return 0
    local SUDO=
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
}

missing=()
have_i386=$(dpkg --print-foreign-architectures | grep -qx i386 && echo yes || echo no)
if [ "$have_i386" = no ]; then
    missing=("${packages[@]}")
else
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
fi
if [ ${#missing[@]} -eq 0 ]; then
    japanese
    exit 0
fi

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
[ "$have_i386" = yes ] || $SUDO dpkg --add-architecture i386
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
japanese
