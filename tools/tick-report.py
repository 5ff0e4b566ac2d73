#!/usr/bin/env python3
"""Summarises a clock tick trace written by Tempora.exe /trace-ticks FILE.

Each line: T FIRST LAST — the tick's wall-clock time in ms since 1970 UTC,
and the first and last second (since 1970 UTC) it handled, or "-" for none.
Prints the ticks' lateness after the second boundary (median, 99th
percentile, maximum) and the seconds skipped or handled twice.
"""
import statistics
import sys


def main(path):
    late, handled = [], []
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) != 3:
                continue
            t = int(parts[0])
            late.append(t % 1000)
            if parts[1] != "-":
                handled.extend(range(int(parts[1]), int(parts[2]) + 1))
    if not handled:
        print("no ticks")
        return 1
    span = range(min(handled), max(handled) + 1)
    seen = set(handled)
    skipped = sum(1 for s in span if s not in seen)
    twice = len(handled) - len(seen)
    late.sort()
    p99 = late[min(len(late) - 1, int(len(late) * 0.99))]
    print(f"ticks {len(late)}, seconds {len(span)}, lateness ms: median "
          f"{statistics.median(late):g}, p99 {p99}, max {late[-1]}; "
          f"skipped {skipped}, handled twice {twice}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
