#!/usr/bin/env bash
# Times a whole drive search over a tree of about 20,000 directories without the game in it:
# our SearchDriveForGame walk against Wine's own "cmd /c dir /s /b T:\quake3.exe" on the same
# tree, with native find as the floor. Everything runs on one CPU (ZV_CPU, default 0), where
# Wine's server-heavy work is fastest and steadiest; each figure is the best of ZV_ROUNDS runs.
set -euo pipefail
source "$(dirname "$0")/../scripts/build-env.sh"
cpu=${ZV_CPU:-0}
rounds=${ZV_ROUNDS:-5}
zv_build bench_drive_search
zv_wine_up "$build/bench-wine"

# 20 x 20 x 50 leaves under 420 inner directories.
tree=$build/bench-wine/tree
rm -rf "$tree"
for a in $(seq -w 0 19); do
    for b in $(seq -w 0 19); do
        mkdir -p "$tree/a$a/b$b"
        (cd "$tree/a$a/b$b" && mkdir $(seq -f "c%02g" 0 49))
    done
done
dirs=$(($(find "$tree" -type d | wc -l) - 1))
ln -sfn "$tree" "$WINEPREFIX/dosdevices/t:"
cp "$build/bench/bench_drive_search.exe" "$WINEPREFIX/drive_c/"
out=$build/bench-wine/out.txt

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# best_of NAME COMMAND...: runs the command ZV_ROUNDS times, prints the best wall time in ms.
best_of() {
    local best= t0 t1 i
    for i in $(seq 1 "$rounds"); do
        t0=$(now_ms)
        "$@" >"$out" 2>&1 </dev/null
        t1=$(now_ms)
        if [ -z "$best" ] || [ $((t1 - t0)) -lt "$best" ]; then best=$((t1 - t0)); fi
    done
    echo "$best"
}

# Our walk, timed inside the process as well: the best of the in-process figures.
walk_best=
for i in $(seq 1 "$rounds"); do
    wine 'C:\bench_drive_search.exe' T >"$out" 2>/dev/null </dev/null
    read -r ms found < <(tr -d '\r' <"$out")
    [ "$found" = "-" ] || { echo "the tree unexpectedly holds the game: $found" >&2; exit 1; }
    ms=${ms%.*}
    if [ -z "$walk_best" ] || [ "$ms" -lt "$walk_best" ]; then walk_best=$ms; fi
done
ours=$(best_of wine 'C:\bench_drive_search.exe' T)
peer=$(best_of wine cmd /c dir /s /b 'T:\quake3.exe')
floor=$(best_of find "$tree" -name quake3.exe)
rm -f "$WINEPREFIX/dosdevices/t:"

rate() { awk -v d="$dirs" -v ms="$1" 'BEGIN { printf "%.0f", (ms > 0 ? d * 1000 / ms : 0) }'; }
echo "tree: $dirs directories, no quake3.exe; CPU $cpu; best of $rounds runs"
printf '%-40s %8s ms %10s dirs/s\n' "SearchDriveForGame (inside the process)" "$walk_best" "$(rate "$walk_best")"
printf '%-40s %8s ms %10s dirs/s\n' "bench_drive_search.exe (whole process)" "$ours" "$(rate "$ours")"
printf '%-40s %8s ms %10s dirs/s\n' "wine cmd /c dir /s /b T:\\quake3.exe" "$peer" "$(rate "$peer")"
printf '%-40s %8s ms %10s dirs/s\n' "find (native floor)" "$floor" "$(rate "$floor")"
awk -v o="$ours" -v p="$peer" -v w="$walk_best" 'BEGIN {
    printf "ratio ours/peer: %.2f whole process, %.2f walk alone (target at most 0.75)\n", o / p, w / p }'
