#!/usr/bin/env bash
# Times one installation of a 300 MB pack (copied once under a temporary name, flushed, then
# renamed into its slot) against one CopyFileA of the same file followed by FlushFileBuffers of
# the copy, as durable as the installation, in turns, in a private prefix. Prints the medians,
# their ratio and the target. ZV_MEGABYTES and ZV_ROUNDS change the pack's size and the number
# of turns.
set -euo pipefail
source "$(dirname "$0")/../scripts/build-env.sh"
zv_build bench_install_copy
zv_wine_up "$build/bench-install-wine"

work=$WINEPREFIX/drive_c/bench
mkdir -p "$work"
cp "$build/bench/bench_install_copy.exe" "$work/"
cd "$work"
wine 'C:\bench\bench_install_copy.exe' "${ZV_MEGABYTES:-300}" "${ZV_ROUNDS:-9}" 2>/dev/null |
    tr -d '\r' | python3 "$root/bench/install_copy.py"
