#!/usr/bin/env bash
# Times the uninstaller's removal on a hostile 16 MB install log of about 1.3 million lines
# (bench_uninstall_log.exe), inside the process and as a whole process under Wine, on one CPU
# (ZV_CPU, default 0); each figure is the best of ZV_ROUNDS runs. The aim: well under 2 s.
set -euo pipefail
source "$(dirname "$0")/../scripts/build-env.sh"
zv_build bench_uninstall_log
zv_wine_up "$build/bench-uninstall-wine"
cp "$build/bench/bench_uninstall_log.exe" "$WINEPREFIX/drive_c/"
out=$build/bench-uninstall-wine/out.txt

# round: one run; prints the removal's time inside the process and the whole process's.
round() {
    local wall lines bytes ms state
    wall=$(zv_wall_ms wine 'C:\bench_uninstall_log.exe')
    read -r lines bytes ms state < <(tr -d '\r' <"$out")
    [ "$state" = removed ] || { echo "the package was not removed: $(cat "$out")" >&2; exit 1; }
    echo "$ms $wall"
}
read -r inside whole <<<"$(zv_best_of round)"
read -r lines bytes _ < <(tr -d '\r' <"$out")
echo "log: $lines lines, $bytes bytes; CPU ${ZV_CPU:-0}; best of ${ZV_ROUNDS:-5} runs"
printf '%-44s %8s ms\n' "RemovePackage (inside the process)" "$inside"
printf '%-44s %8s ms\n' "bench_uninstall_log.exe (whole process)" "$whole"
# The target: well under two seconds for the whole process.
zv_summary "whole process ms" "$whole" 1000
