#!/usr/bin/env bash
# Times the backdrop under Wine on a 1920 x 1080 screen: the renderer for each gradient style
# (image 1921 x 1081) beside one PatBlt of the whole image, and a full-screen repaint from the
# cached image beside one BitBlt of a screen-sized bitmap compatible with the window, taken in
# turn in the same run with what a repaint of one pixel costs and that BitBlt sent on to the
# display. Builds first; prints milliseconds, the targets and a summary line.
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
read -r floor rows fresh repaint copy pixel shown < <(awk '
    /PatBlt of the whole image \(floor\), fastest$/ { floor = $1 }
    /rows \(style 0\), fastest$/ { rows = $1 }
    /rows \(style 0\) into a new image, fastest$/ { fresh = $1 }
    /repaint of the whole screen, fastest$/ { repaint = $1 }
    /BitBlt of a compatible screen-sized bitmap, fastest$/ { copy = $1 }
    /repaint of one pixel, fastest$/ { pixel = $1 }
    /shown on the display, fastest$/ { shown = $1 }
    END { print floor, rows, fresh, repaint, copy, pixel, shown }' result-lf.txt)
[ -n "$shown" ] || { echo "summary: figures missing: MISS"; exit 1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
echo "rows: $rows ms (target at most 3 ms), $(ratio "$rows" "$floor") x the PatBlt floor (target at most 20)"
echo "rows into a new image, as the installer's one render: $fresh ms (no target)"
echo "repaint: $repaint ms, $(ratio "$repaint" "$copy") x one full-screen BitBlt of $copy ms (target at most 1.5)"
less=$(awk -v a="$repaint" -v b="$pixel" 'BEGIN { printf "%.2f", a - b }')
echo "repaint less a one-pixel repaint ($pixel ms): $less ms, $(ratio "$less" "$shown") x that BitBlt shown on the display, $shown ms (no target)"
zv_summary "rows ms" "$rows" 3 "rows / PatBlt floor" "$(ratio "$rows" "$floor")" 20 \
    "repaint / BitBlt" "$(ratio "$repaint" "$copy")" 1.5
