"""Reads "copy_ms install_ms empty_install_ms" lines; prints the medians, the ratio of the
installation to a CopyFileA of the pack followed by FlushFileBuffers against its target, and what an installation costs besides the
copy (the progress dialog's start and close, the log and the registry), measured with an
empty pack."""
import statistics
import sys

from summary import summary

TARGET = 1.1
rounds = [line.split() for line in sys.stdin if line.strip()]
failed = [r for r in rounds if len(r) != 3]
if not rounds or failed:
    print("install benchmark: %d rounds, %d failed" % (len(rounds), len(failed)))
    sys.exit(1)
copy, install, empty = (statistics.median(float(r[i]) for r in rounds) for i in range(3))
print("rounds: %d, medians in ms" % len(rounds))
print("CopyFileA + FlushFileBuffers      %8.1f" % copy)
print("installation of the pack         %8.1f" % install)
print("installation of an empty pack    %8.1f" % empty)
print("installation less that, per copy %8.2f" % ((install - empty) / copy))
print(summary([("install / durable copy", install / copy, TARGET)]))
