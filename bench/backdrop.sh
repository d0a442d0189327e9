#!/usr/bin/env bash
# Times the backdrop under Wine on a 1920 x 1080 screen: the renderer for each gradient style
# (image 1921 x 1081) beside one PatBlt of the whole image, and a full-screen repaint from the
# cached image. Builds first; prints milliseconds.
set -euo pipefail
source "$(dirname "$0")/../scripts/build-env.sh"
zv_build bench_backdrop

export ZV_SCREEN=1920x1080
zv_wine_up "$build/bench-wine"

work=$WINEPREFIX/drive_c/bench
mkdir -p "$work"
cp "$build/bench/bench_backdrop.exe" "$work/"
cd "$work"
rm -f result.txt
wine explorer /desktop=bench,1920x1080 'C:\bench\bench_backdrop.exe' 'C:\bench\result.txt' \
    >/dev/null 2>&1 || true
tr -d '\r' <result.txt
