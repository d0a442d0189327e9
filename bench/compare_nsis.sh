#!/usr/bin/env bash
# ZVSetup.exe against NSIS, side by side in one run: executable size (ours; the equivalent
# NSIS installer for the same three files, whole and less its payload; an empty NSIS
# installer), time from launch to the first visible window and to the first page under Wine on
# Xvfb (median of RUNS launches each, interleaved, the same launch for all), and peak memory.
# A build configured with ZV_STARTUP_MARKS=ON (in build/marks, never the release) runs in the
# same rounds and gives the start-up steps' times, the main thread's and the backdrop thread's.
# Prints the ratios, the targets and a summary. It runs on every CPU, as on a user's machine,
# unless ZV_CPU names some.
# Usage: bash bench/compare_nsis.sh [RUNS]   (default 15)
set -euo pipefail
source "$(dirname "$0")/../scripts/build-env.sh"
runs=${1:-15}
export ZV_CPU=${ZV_CPU:-0-$(($(nproc) - 1))}
bash "$root/scripts/bootstrap.sh" nsis
zv_build all
cmake -S "$root" -B "$build/marks" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
    -DZV_STARTUP_MARKS=ON >/dev/null
cmake --build "$build/marks" -j "$(nproc)" --target ZVSetup >/dev/null
zv_wine_up "$build/bench-wine"

# Each installer in a folder of its own, ours beside its package files as a user unpacks it.
work=$WINEPREFIX/drive_c/bench
mkdir -p "$work/zv" "$work/nsis" "$work/empty" "$work/marks"
cp "$build/dist/ZV-001/"* "$work/zv/"
cp "$build/dist/ZV-001/"* "$work/marks/"
cp "$build/marks/ZVSetup.exe" "$work/marks/"
cp "$build/bench/firstwindow.exe" "$work/"
makensis -DOUT="$work/nsis/ZV001-NSIS.exe" -DSRC="$build/dist/ZV-001" "$root/bench/zv001.nsi" \
    >"$work/nsis.log"
makensis -DOUT="$work/empty/Empty-NSIS.exe" "$root/bench/empty.nsi" >"$work/empty.log"

(cd "$work" && wine explorer /desktop=bench,1024x768 'C:\bench\firstwindow.exe' "$runs" \
    'C:\bench\result.txt' 'C:\bench\zv\ZVSetup.exe' 'C:\bench\nsis\ZV001-NSIS.exe' \
    'C:\bench\empty\Empty-NSIS.exe' 'C:\bench\marks\ZVSetup.exe' >/dev/null 2>&1) || true

python3 "$root/bench/compare_nsis.py" "$work" "$runs"
