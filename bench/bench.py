#!/usr/bin/env python3
"""Times korvane (and korvane-check) on large part libraries against the
floor: one `wc -l` over the same inputs.

For each table size N it writes a working directory holding a size table of
N rows (CR LF line ends), an xy file of 100 placements whose codes are
spread over the table (with --last: all in its last ten rows), settings and
the example board's template fragments. korvane reads the table once; the
floor is `wc -l` reading every input once (table, xy file, settings,
fragments). All run in turns, several times; the figures are medians of
wall-clock time and of CPU time (user and system, which suffers less from
other loads on the machine). korvane's peak resident memory comes from
`/usr/bin/time -f %M` on one more run.

With --check it times korvane-check in the same turns (it must find
nothing); with --baseline another korvane build (an older one, say).
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PLACEMENTS = 100
LIBRARY_ROWS = (1000, 10000, 50000, 200000)
PACKAGES = ("R0402", "C0603", "R0805", "C1206", "L0603", "D0805")
SETTINGS = b"code = 2\r\nx = 3\r\ny = 4\r\na = 5\r\nend\r\n"
FRAGMENTS = ("dxf11.txt", "dxf12.txt", "dxf13.txt")
INPUTS = ["size.txt", "xy.txt", "lumbrex.ini"] + list(FRAGMENTS)


def row_code(i):
    """A part code shaped like a real library entry, unique per row."""
    package = PACKAGES[i % len(PACKAGES)]
    return "%s-%dN%d" % (package, i // 10, i % 10)


def size_table(rows):
    lines = ["No\tCode\tLength\tWidth"]
    for i in range(1, rows + 1):
        lines.append("%d\t%s\t%.1f\t%.1f" % (i, row_code(i), 1.0 + i % 7 * 0.3,
                                             0.5 + i % 5 * 0.1))
    return ("\r\n".join(lines) + "\r\n").encode()


def xy_file(rows, last):
    """100 placements, each naming a row spread over the table, or one of
    its last ten rows."""
    lines = ["Ref\tCode\tX\tY\tAngle"]
    for p in range(PLACEMENTS):
        row = rows - p % 10 if last else 1 + p * (rows - 1) // PLACEMENTS
        code = row_code(row)
        if p % 2:
            code = code.lower()  # lookups ignore letter case
        lines.append("P%d\t%s\t%d.5\t%d.25\t%d" % (p, code, p % 10 * 10,
                                                   p // 10 * 10, p * 15 % 360))
    return ("\r\n".join(lines) + "\r\n").encode()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def prepare(root, rows, last):
    """Writes the working directory for one table size; returns its path."""
    folder = os.path.join(root, "n%d" % rows)
    os.makedirs(folder)
    write(os.path.join(folder, "size.txt"), size_table(rows))
    write(os.path.join(folder, "xy.txt"), xy_file(rows, last))
    write(os.path.join(folder, "lumbrex.ini"), SETTINGS)
    for name in FRAGMENTS:
        shutil.copy(os.path.join(HERE, "..", "examples", "board", name),
                    folder)
    return folder


def run_once(command, folder):
    """Runs a command in `folder`; returns its wall-clock and CPU seconds
    (user and system)."""
    start = time.perf_counter()
    child = subprocess.Popen(command, cwd=folder, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("%s failed in %s" % (command[0], folder))
    return seconds, usage.ru_utime + usage.ru_stime


def peak_memory(command, folder):
    """Peak resident memory of `command` in KiB, from GNU time."""
    report = os.path.join(folder, "peak.txt")
    run_once(["/usr/bin/time", "-f", "%M", "-o", report] + command, folder)
    with open(report) as f:
        return int(f.read().split()[-1])


def measure(commands, folder, repetitions):
    """Median wall-clock and CPU seconds of each command, run in turns."""
    times = {name: [] for name in commands}
    for command in commands.values():
        run_once(command, folder)  # warm the page cache
    for _ in range(repetitions):
        for name, command in commands.items():
            times[name].append(run_once(command, folder))
    return {name: tuple(statistics.median(run[i] for run in runs)
                        for i in (0, 1))
            for name, runs in times.items()}


def machine():
    model, cores = "unknown CPU", os.cpu_count()
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    return "%s, %d cores" % (model, cores)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("korvane", help="the korvane program to time")
    parser.add_argument("--check", metavar="KORVANE_CHECK",
                        help="also time this korvane-check")
    parser.add_argument("--baseline", metavar="KORVANE",
                        help="also time another korvane build")
    parser.add_argument("--rows", type=int, nargs="+", default=LIBRARY_ROWS)
    parser.add_argument("--repetitions", type=int, default=21)
    parser.add_argument("--last", action="store_true",
                        help="the codes in the table's last rows")
    args = parser.parse_args()
    commands = {"korvane": [os.path.abspath(args.korvane), "bench", "xy.txt"]}
    for name, program in (("check", args.check),
                          ("baseline", args.baseline)):
        if program:
            commands[name] = [os.path.abspath(program), "bench", "xy.txt"]
    commands["floor"] = ["wc", "-l"] + INPUTS
    root = tempfile.mkdtemp(prefix="korvane-bench-")
    try:
        print("machine: %s" % machine())
        print("median of %d runs; codes %s; floor: one wc -l over the "
              "inputs; ratio: to the floor, wall-clock (CPU)" %
              (args.repetitions, "in the last rows" if args.last else
               "spread over the table"))
        names = [n for n in commands if n != "floor"]
        print("%7s %8s %9s %8s" % ("rows", "table MB", "floor ms", "peak KiB") +
              "".join(" | %-8s ms  ratio     " % n for n in names))
        for rows in args.rows:
            folder = prepare(root, rows, args.last)
            medians = measure(commands, folder, args.repetitions)
            floor = medians["floor"]
            size = os.path.getsize(os.path.join(folder, "size.txt"))
            line = "%7d %8.2f %9.2f %8d" % (
                rows, size / 1e6, floor[0] * 1e3,
                peak_memory(commands["korvane"], folder))
            for name in names:
                wall, cpu = medians[name]
                line += " | %8.2f %5.2f (%4.2f)" % (
                    wall * 1e3, wall / floor[0], cpu / floor[1])
            print(line, flush=True)
            shutil.rmtree(folder)
    finally:
        shutil.rmtree(root)


if __name__ == "__main__":
    main()
