#!/usr/bin/env python3
"""Times korvane-check against one `wc -l` over the same inputs.

For each table size N it writes the working directory bench.py writes (a
size table of N rows, CR LF line ends, and 100 placements whose codes sit in
the table's last rows) with the example board's template fragments, so that
the check has nothing to report. korvane-check reads the table once; the
floor is `wc -l` over every input it reads (table, xy file, settings,
fragments). Both run in turns; the figures are medians of wall-clock time
and of CPU time (user and system). A check that finds anything (status
other than 0) stops the benchmark.

usage: check_bench.py KORVANE_CHECK [--rows N...] [--repetitions R]
"""

import argparse
import os
import shutil
import tempfile

import bench

HERE = os.path.dirname(os.path.abspath(__file__))
FRAGMENTS = ("dxf11.txt", "dxf12.txt", "dxf13.txt")
INPUTS = ["size.txt", "xy.txt", "lumbrex.ini"] + list(FRAGMENTS)


def prepare(root, rows):
    folder = bench.prepare(root, rows)
    os.remove(os.path.join(folder, "floor.txt"))
    for name in FRAGMENTS:
        shutil.copy(os.path.join(HERE, "..", "examples", "board", name),
                    folder)
    return folder


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("check", help="the korvane-check program to time")
    parser.add_argument("--rows", type=int, nargs="+",
                        default=bench.LIBRARY_ROWS)
    parser.add_argument("--repetitions", type=int, default=21)
    args = parser.parse_args()
    commands = {"check": [os.path.abspath(args.check), "bench", "xy.txt"],
                "floor": ["wc", "-l"] + INPUTS}
    root = tempfile.mkdtemp(prefix="korvane-check-bench-")
    try:
        print("machine: %s" % bench.machine())
        print("median of %d runs; floor: one wc -l over the inputs; "
              "cpu: user + system" % args.repetitions)
        print("%7s %8s | %8s %8s %5s | %8s %8s %5s" % (
            "rows", "table MB", "check ms", "floor ms", "ratio", "check",
            "floor", "ratio"))
        print("%7s %8s | %24s | %18s cpu ms" % ("", "", "wall-clock", ""))
        for rows in args.rows:
            folder = prepare(root, rows)
            medians = bench.measure(commands, folder, args.repetitions)
            mine, floor = medians["check"], medians["floor"]
            size = os.path.getsize(os.path.join(folder, "size.txt"))
            print("%7d %8.2f | %8.2f %8.2f %5.2f | %8.2f %8.2f %5.2f" % (
                rows, size / 1e6, mine[0] * 1e3, floor[0] * 1e3,
                mine[0] / floor[0], mine[1] * 1e3, floor[1] * 1e3,
                mine[1] / floor[1]), flush=True)
            shutil.rmtree(folder)
    finally:
        shutil.rmtree(root)


if __name__ == "__main__":
    main()
