"""The one summary line every benchmark ends with: each figure, its target and PASS or MISS.
Imported by the Python benchmarks; the shell ones run it with NAME VALUE TARGET triples."""
import sys


def summary(figures):
    """figures: (name, value, target) triples, each met when value <= target."""
    return "summary: " + ", ".join(
        "%s %s (target at most %g): %s" % (name, ("%.0f" if value >= 100 else "%.2f") % value,
                                            target, "PASS" if value <= target else "MISS")
        for name, value, target in figures)


if __name__ == "__main__":
    args = sys.argv[1:]
    if not args or len(args) % 3:
        print("summary: figures missing: MISS")
        sys.exit(1)
    print(summary((args[i], float(args[i + 1]), float(args[i + 2]))
                  for i in range(0, len(args), 3)))
