#!/usr/bin/env bash
# Times a whole drive search over a tree of about 20,000 directories without the game in it:
# our SearchDriveForGame walk against Wine's own "cmd /c dir /s /b T:\quake3.exe" on the same
# tree, with native find as the floor and a bare listing of every directory as the floor of one
# thread that looks into each directory once. It runs twice: on every CPU, as on a user's
# machine (the target), then with Wine and everything it runs on one CPU (ZV_CPU, default 0).
# Each figure is the best of ZV_ROUNDS runs.
set -euo pipefail
source "$(dirname "$0")/../scripts/build-env.sh"
cpu=${ZV_CPU:-0}
all=0-$(($(nproc) - 1))
rounds=${ZV_ROUNDS:-5}
zv_build bench_drive_search
ZV_CPU=$all zv_wine_up "$build/bench-wine"

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

# on_cpus LIST: this script, the wineserver and every program from now on run on those CPUs.
on_cpus() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    taskset -p -c "$1" $$ >/dev/null
    wineserver -p
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# best_of COMMAND...: the best wall time of ZV_ROUNDS runs of the command, in ms.
best_of() { zv_best_of zv_wall_ms "$@"; }

# in_process ARG...: the best of the in-process figures of ZV_ROUNDS runs of the program.
in_process() { zv_best_of in_process_once "$@"; }
in_process_once() {
    local ms rest
    wine 'C:\bench_drive_search.exe' T "$@" >"$out" 2>/dev/null </dev/null
    read -r ms rest < <(tr -d '\r' <"$out")
    if [ "${1:-}" != listings ] && [ "$rest" != "-" ]; then
        echo "the tree unexpectedly holds the game: $rest" >&2
        exit 1
    fi
    echo "$ms"
}

rate() { awk -v d="$dirs" -v ms="$1" 'BEGIN { printf "%.0f", (ms > 0 ? d * 1000 / ms : 0) }'; }
row() { printf '%-48s %8s ms %10s dirs/s\n' "$1" "$2" "$(rate "$2")"; }

# measure CPUS LABEL: the figures on those CPUs; sets ours and peer.
measure() {
    on_cpus "$1"
    local n walk
    echo "CPUs $1 ($2); best of $rounds runs"
    for n in 0 1 2; do
        walk=$(in_process walk "$n")
        row "walk with $n listers (inside the process)" "$walk"
    done
    row "one bare listing per directory (in process)" "$(in_process listings)"
    ours=$(best_of wine 'C:\bench_drive_search.exe' T)
    peer=$(best_of wine cmd /c dir /s /b 'T:\quake3.exe')
    row "bench_drive_search.exe (whole process)" "$ours"
    row "wine cmd /c dir /s /b T:\\quake3.exe" "$peer"
    awk -v o="$ours" -v p="$peer" 'BEGIN { printf "ours / dir /s: %.2f\n\n", o / p }'
}

echo "tree: $dirs directories, no quake3.exe"
row "find (native floor)" "$(best_of find "$tree" -name quake3.exe)"
echo
measure "$all" "every CPU"
all_ours=$ours all_peer=$peer
measure "$cpu" "one CPU"
rm -f "$WINEPREFIX/dosdevices/t:"
awk -v po="$ours" -v pp="$peer" 'BEGIN { printf "drive walk on one CPU: %.2f of dir /s\n", po / pp }'
zv_summary "drive walk / dir /s on every CPU" "$(awk -v o="$all_ours" -v p="$all_peer" \
    'BEGIN { print o / p }')" 0.35
