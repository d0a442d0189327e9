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
awk '
    / fastest$/ && /PatBlt/ { floor = $1 }
    / fastest$/ && /rows/ { rows = $1 }
    / fastest$/ && /repaint/ { repaint = $1 }
    / fastest$/ && /BitBlt/ { copy = $1 }
    END {
        if (floor == "" || rows == "" || repaint == "" || copy == "") {
            print "summary: figures missing: MISS"; exit 1
        }
        ratio = rows / floor
        printf "rows: %.2f ms (target at most 3 ms), %.1f x the PatBlt floor (target at most 20)\n", rows, ratio
        printf "repaint: %.2f ms, %.2f x one full-screen BitBlt of %.2f ms (target at most 1.5)\n",
            repaint, repaint / copy, copy
        printf "summary: rows %.2f ms %s, rows %.1f x floor %s, repaint %.2f x BitBlt %s\n",
            rows, (rows <= 3 ? "PASS" : "MISS"), ratio, (ratio <= 20 ? "PASS" : "MISS"),
            repaint / copy, (repaint / copy <= 1.5 ? "PASS" : "MISS")
    }' result-lf.txt
