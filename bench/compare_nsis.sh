#!/usr/bin/env bash
# ZVSetup.exe against NSIS, side by side in one run: executable size (ours; the equivalent
# NSIS installer for the same three files, whole and less its payload; an empty NSIS
# installer), time from launch to the first visible window and to the first page under Wine on
# Xvfb (median of RUNS launches each, interleaved, the same launch for all), and peak memory.
# Usage: bash bench/compare_nsis.sh [RUNS]   (default 7)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
bash "$root/scripts/bootstrap.sh"
if ! command -v makensis >/dev/null; then
    SUDO=
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get install -y -q --no-install-recommends nsis >/dev/null 2>&1 ||
        { $SUDO apt-get update -q >/dev/null && $SUDO apt-get install -y -q --no-install-recommends nsis >/dev/null; }
fi
build=$root/build
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

source "$root/scripts/wine-env.sh"
trap zv_wine_stop EXIT
taskset -p -c "${ZV_CPU:-0}" $$ >/dev/null
zv_wine_start "$build/bench-wine"

# Each installer in a folder of its own, ours beside its package files as a user unpacks it.
work=$WINEPREFIX/drive_c/bench
mkdir -p "$work/zv" "$work/nsis" "$work/empty"
cp "$build/dist/ZV-001/"* "$work/zv/"
cp "$build/bench/firstwindow.exe" "$work/"
makensis -DOUT="$work/nsis/ZV001-NSIS.exe" -DSRC="$build/dist/ZV-001" "$root/bench/zv001.nsi" \
    >"$work/nsis.log"
makensis -DOUT="$work/empty/Empty-NSIS.exe" "$root/bench/empty.nsi" >"$work/empty.log"

(cd "$work" && wine explorer /desktop=bench,1024x768 'C:\bench\firstwindow.exe' "$runs" \
    'C:\bench\result.txt' 'C:\bench\zv\ZVSetup.exe' 'C:\bench\nsis\ZV001-NSIS.exe' \
    'C:\bench\empty\Empty-NSIS.exe' >/dev/null 2>&1) || true

python3 - "$work" "$runs" <<'PY'
import os, re, statistics, sys
work, runs = sys.argv[1], int(sys.argv[2])

def payload(log):
    text = open(os.path.join(work, log)).read()
    return int(re.search(r"Install data:\s+(\d+) /", text).group(1))

exes = [("ZVSetup.exe (ours)", "zv/ZVSetup.exe", None),
        ("NSIS, same 3 files", "nsis/ZV001-NSIS.exe", "nsis.log"),
        ("NSIS, empty", "empty/Empty-NSIS.exe", "empty.log")]
times = {}
for line in open(os.path.join(work, "result.txt")):
    parts = line.split()
    name = parts[0].split("\\")[-1]
    if parts[1] == "failed":
        continue
    times.setdefault(name, []).append((float(parts[1]), float(parts[2]), int(parts[3])))

def med(values):
    values = [v for v in values if v >= 0]
    return statistics.median(values) if values else float("nan")

print("%-20s %10s %14s %12s %12s %12s %5s" % ("installer", "size B", "less payload", "window ms",
      "page ms", "peak KB", "runs"))
rows = {}
for label, path, log in exes:
    size = os.path.getsize(os.path.join(work, path))
    bare = size - payload(log) if log else size
    t = times.get(path.split("/")[-1], [])
    window, page, peak = med([x[0] for x in t]), med([x[1] for x in t]), med([x[2] for x in t])
    rows[label] = (size, bare, window, page, peak)
    print("%-20s %10d %14d %12.1f %12.1f %12.0f %5d" % (label, size, bare, window, page, peak, len(t)))
ours, empty = rows["ZVSetup.exe (ours)"], rows["NSIS, empty"]
print("size: ours / empty NSIS = %.2f (target <= 0.50)" % (ours[0] / empty[0]))
print("first page: ours / empty NSIS = %.2f (target <= 0.80)" % (ours[3] / empty[3]))
print("first window: ours / empty NSIS = %.2f" % (ours[2] / empty[2]))
PY
