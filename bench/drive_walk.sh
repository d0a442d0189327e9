#!/usr/bin/env bash
# Times a whole drive search over a tree of about 20,000 directories without the game in it:
# our SearchDriveForGame walk against Wine's own "cmd /c dir /s /b T:\quake3.exe" on the same
# tree, with native find as the floor and a bare listing of every directory as the floor of any
# walk that looks into each directory once. Everything runs on one CPU (ZV_CPU, default 0), where
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

# in_process ARG...: the best of the in-process figures of ZV_ROUNDS runs of the program.
in_process() {
    local best= ms rest i
    for i in $(seq 1 "$rounds"); do
        wine 'C:\bench_drive_search.exe' T "$@" >"$out" 2>/dev/null </dev/null
        read -r ms rest < <(tr -d '\r' <"$out")
        if [ $# -eq 0 ] && [ "$rest" != "-" ]; then
            echo "the tree unexpectedly holds the game: $rest" >&2
            exit 1
        fi
        ms=${ms%.*}
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}

# Our walk, timed inside the process as well; and the bare listing of every directory once.
walk_best=$(in_process)
listings=$(in_process listings)
lean=$(in_process lean-listings)
ours=$(best_of wine 'C:\bench_drive_search.exe' T)
peer=$(best_of wine cmd /c dir /s /b 'T:\quake3.exe')
floor=$(best_of find "$tree" -name quake3.exe)
rm -f "$WINEPREFIX/dosdevices/t:"

rate() { awk -v d="$dirs" -v ms="$1" 'BEGIN { printf "%.0f", (ms > 0 ? d * 1000 / ms : 0) }'; }
echo "tree: $dirs directories, no quake3.exe; CPU $cpu; best of $rounds runs"
printf '%-44s %8s ms %10s dirs/s\n' "SearchDriveForGame (inside the process)" "$walk_best" "$(rate "$walk_best")"
printf '%-44s %8s ms %10s dirs/s\n' "bench_drive_search.exe (whole process)" "$ours" "$(rate "$ours")"
printf '%-44s %8s ms %10s dirs/s\n' "one bare listing per directory (in process)" "$listings" "$(rate "$listings")"
printf '%-44s %8s ms %10s dirs/s\n' "the same, no short names, large fetches" "$lean" "$(rate "$lean")"
printf '%-44s %8s ms %10s dirs/s\n' "wine cmd /c dir /s /b T:\\quake3.exe" "$peer" "$(rate "$peer")"
printf '%-44s %8s ms %10s dirs/s\n' "find (native floor)" "$floor" "$(rate "$floor")"
awk -v o="$ours" -v p="$peer" -v w="$walk_best" -v l="$listings" 'BEGIN {
    printf "ratio ours/peer: %.2f whole process (target at most 0.50), %.2f walk alone\n", o / p, w / p
    printf "walk / bare listings: %.2f (1.00 is one listing per directory and nothing else)\n", w / l
    printf "summary: drive walk %.2f of dir /s: %s\n", o / p, (o / p <= 0.5 ? "PASS" : "MISS") }'
