#!/usr/bin/env bash
# Times the backdrop under Wine on a 1920 x 1080 screen: the renderer for each gradient style
# (image 1921 x 1081) beside one PatBlt of the whole image, and a full-screen repaint from the
# cached image. Builds first; prints milliseconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/bootstrap.sh"
build=$root/build
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target bench_backdrop >/dev/null

export ZV_SCREEN=1920x1080
source "$root/scripts/wine-env.sh"
trap zv_wine_stop EXIT
taskset -p -c "${ZV_CPU:-0}" $$ >/dev/null
zv_wine_start "$build/bench-wine"

work=$WINEPREFIX/drive_c/bench
mkdir -p "$work"
cp "$build/bench/bench_backdrop.exe" "$work/"
cd "$work"
rm -f result.txt
wine explorer /desktop=bench,1920x1080 'C:\bench\bench_backdrop.exe' 'C:\bench\result.txt' \
    >/dev/null 2>&1 || true
tr -d '\r' <result.txt
