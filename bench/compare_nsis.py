#!/usr/bin/env python3
"""The table of bench/compare_nsis.sh: sizes of the three installers, less the NSIS payload,
the median launch times and peak memory that firstwindow.exe wrote to result.txt, the median
start-up steps of the build with start-up marks, and the ratios against their targets.
Usage: compare_nsis.py WORK_DIR RUNS"""
import os, re, statistics, sys

from summary import summary
work, runs = sys.argv[1], int(sys.argv[2])

def payload(log):
    text = open(os.path.join(work, log)).read()
    return int(re.search(r"Install data:\s+(\d+) /", text).group(1))

exes = [("ZVSetup.exe (ours)", "zv/ZVSetup.exe", None),
        ("NSIS, same 3 files", "nsis/ZV001-NSIS.exe", "nsis.log"),
        ("NSIS, empty", "empty/Empty-NSIS.exe", "empty.log"),
        ("ours, start-up marks", "marks/ZVSetup.exe", None)]
times = {}
for line in open(os.path.join(work, "result.txt")):
    parts = line.split()
    name = "/".join(parts[0].split("\\")[-2:])
    if parts[1] == "failed":
        continue
    times.setdefault(name, []).append((float(parts[1]), float(parts[2]), int(parts[3])))

def med(values):
    values = [v for v in values if v >= 0]
    return statistics.median(values) if values else float("nan")

print("%-22s %10s %14s %12s %12s %12s %5s" % ("installer", "size B", "less payload",
      "window ms", "page ms", "peak KB", "runs"))
rows = {}
for label, path, log in exes:
    size = os.path.getsize(os.path.join(work, path))
    bare = size - payload(log) if log else size
    t = times.get(path, [])
    window, page, peak = med([x[0] for x in t]), med([x[1] for x in t]), med([x[2] for x in t])
    rows[label] = (size, bare, window, page, peak)
    print("%-22s %10d %14d %12.1f %12.1f %12.0f %5d" % (label, size, bare, window, page, peak,
                                                        len(t)))

# The marks build appends one line a launch; the first is the uncounted warm-up launch.
steps = {}
order = []
marks = os.path.join(work, "marks", "startup_marks.txt")
lines = open(marks).read().split("\n")[1:] if os.path.exists(marks) else []
for line in lines:
    for pair in line.split():
        step, ms = pair.rsplit("=", 1)
        if step not in steps:
            order.append(step)
        steps.setdefault(step, []).append(float(ms))
# The backdrop's steps run on its own thread, beside the main thread's.
threads = [("main thread", [st for st in order if not st.startswith("backdrop-")]),
           ("backdrop thread", [st for st in order if st.startswith("backdrop-")])]
if steps:
    print("\nstart-up steps of ours (median ms since the process was created, %d launches)"
          % len(lines and [l for l in lines if l.strip()]))
    for thread, names in threads:
        print("  %s" % thread)
        previous = 0.0
        for step in names:
            at = statistics.median(steps[step])
            print("    %-18s %8.1f  (+%.1f)" % (step, at, at - previous))
            previous = at

ours, empty = rows["ZVSetup.exe (ours)"], rows["NSIS, empty"]
# The size is a guard: room for what is still to come, not a figure to bring down. The
# backdrop's image in the screen's four-byte pixels, which a repaint only copies, is allowed
# above the empty NSIS installer's peak.
targets = [("size", ours[0] / empty[0], 0.65),
           ("first page", ours[3] / empty[3], 0.90),
           ("peak memory", ours[4] / empty[4], 1.05)]
print()
for name, ratio, target in targets:
    print("%s: ours / empty NSIS = %.3f (target at most %.2f)" % (name, ratio, target))
print("first page: aim %.2f, reached %.3f" % (0.80, ours[3] / empty[3]))
print("first window: ours / empty NSIS = %.3f" % (ours[2] / empty[2]))
print(summary(targets))
