#!/usr/bin/env bash
# ZVSetup.exe against NSIS, side by side in one run: executable size (ours; the equivalent
# NSIS installer for the same three files, whole and less its payload; an empty NSIS
# installer), time from launch to the first visible window and to the first page under Wine on
# Xvfb (median of RUNS launches each, interleaved, the same launch for all), and peak memory.
# Usage: bash bench/compare_nsis.sh [RUNS]   (default 7)
set -euo pipefail
source "$(dirname "$0")/../scripts/build-env.sh"
runs=${1:-7}
if ! command -v makensis >/dev/null; then
    SUDO=
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get install -y -q --no-install-recommends nsis >/dev/null 2>&1 ||
        { $SUDO apt-get update -q >/dev/null && $SUDO apt-get install -y -q --no-install-recommends nsis >/dev/null; }
fi
zv_build all
zv_wine_up "$build/bench-wine"

# Each installer in a folder of its own, ours beside its package files as a user unpacks it.
work=$WINEPREFIX/drive_c/bench
mkdir -p "$work/zv" "$work/nsis" "$work/empty"
cp "$build/dist/ZV-001/"* "$work/zv/"
cp "$build/bench/firstwindow.exe" "$work/"
makensis -DOUT="$work/nsis/ZV001-NSIS.exe" -DSRC="$build/dist/ZV-001" "$root/bench/zv001.nsi" \
    >"$work/nsis.log"
makensis -DOUT="$work/empty/Empty-NSIS.exe" "$root/bench/empty.nsi" >"$work/empty.log"

(cd "$work" && wine explorer /desktop=bench,1024x768 'C:\bench\firstwindow.exe' "$runs" \
    'C:\bench\result.txt' 'C:\bench\zv\ZVSetup.exe' 'C:\bench\nsis\ZV001-NSIS.exe' \
    'C:\bench\empty\Empty-NSIS.exe' >/dev/null 2>&1) || true

python3 "$root/bench/compare_nsis.py" "$work" "$runs"
