#!/usr/bin/env bash
# Times the backdrop under Wine on a 1920 x 1080 screen: the renderer for each gradient style
# (image 1921 x 1081) beside one PatBlt of the whole image, and a full-screen repaint from the
# cached image beside one BitBlt of a screen-sized bitmap compatible with the window, measured
# in the same run. Builds first; prints milliseconds, the targets and a summary line.
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
tr -d '\r' <result.txt >result-lf.txt
cat result-lf.txt
# The targets, on the fastest of 50 renders and of 100 repaints and copies.
read -r floor rows repaint copy < <(awk '
    / fastest$/ && /PatBlt/ { floor = $1 }
    / fastest$/ && /rows/ { rows = $1 }
    / fastest$/ && /repaint/ { repaint = $1 }
    / fastest$/ && /BitBlt/ { copy = $1 }
    END { print floor, rows, repaint, copy }' result-lf.txt)
[ -n "$copy" ] || { echo "summary: figures missing: MISS"; exit 1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
echo "rows: $rows ms (target at most 3 ms), $(ratio "$rows" "$floor") x the PatBlt floor (target at most 20)"
echo "repaint: $repaint ms, $(ratio "$repaint" "$copy") x one full-screen BitBlt of $copy ms (target at most 1.5)"
zv_summary "rows ms" "$rows" 3 "rows / PatBlt floor" "$(ratio "$rows" "$floor")" 20 \
    "repaint / BitBlt" "$(ratio "$repaint" "$copy")" 1.5
