#!/usr/bin/env python3
"""The table of bench/compare_nsis.sh: sizes of the three installers, less the NSIS payload,
and the median launch times and peak memory that firstwindow.exe wrote to result.txt.
Usage: compare_nsis.py WORK_DIR RUNS"""
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
