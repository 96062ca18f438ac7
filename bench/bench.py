#!/usr/bin/env python3
"""Times korvane's size lookups on large part libraries against the floor.

For each table size N it writes a working directory holding a size table of
N rows (CR LF line ends) and an xy file of 100 placements whose codes sit in
the table's last rows, so that every lookup reads almost the whole table.
The floor is `wc -l` reading the same bytes korvane reads: one file holding
the table 100 times over. For reference, `cat` copies that file to
/dev/null (reading alone). All run in turns, several times; the figures are
medians of wall-clock time and of CPU time (user and system, which suffers
less from other loads on the machine). korvane's peak resident memory comes
from `/usr/bin/time -f %M` on one more run.

With --baseline it also times another korvane build (an older one, say) in
the same turns. With --callgrind N it counts instructions with valgrind's
callgrind tool for korvane and for the floor at table size N.
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

PLACEMENTS = 100
LIBRARY_ROWS = (1000, 10000, 50000, 200000)
PACKAGES = ("R0402", "C0603", "R0805", "C1206", "L0603", "D0805")
SETTINGS = b"code = 2\r\nx = 3\r\ny = 4\r\na = 5\r\nend\r\n"


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


def xy_file(rows):
    """100 placements, each naming one of the table's last ten codes."""
    lines = ["Ref\tCode\tX\tY\tAngle"]
    for p in range(PLACEMENTS):
        code = row_code(rows - p % 10)
        if p % 2:
            code = code.lower()  # lookups ignore letter case
        lines.append("P%d\t%s\t%d.5\t%d.25\t%d" % (p, code, p % 10 * 10,
                                                   p // 10 * 10, p * 15 % 360))
    return ("\r\n".join(lines) + "\r\n").encode()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def prepare(root, rows):
    """Writes the working directory for one table size; returns its path."""
    folder = os.path.join(root, "n%d" % rows)
    os.makedirs(folder)
    table = size_table(rows)
    write(os.path.join(folder, "size.txt"), table)
    write(os.path.join(folder, "xy.txt"), xy_file(rows))
    write(os.path.join(folder, "lumbrex.ini"), SETTINGS)
    write(os.path.join(folder, "dxf11.txt"), b"  0\r\nSECTION\r\n")
    write(os.path.join(folder, "dxf12.txt"), b"  0\r\nENTITIES\r\n")
    write(os.path.join(folder, "dxf13.txt"), b"  0\r\nEOF\r\n")
    with open(os.path.join(folder, "floor.txt"), "wb") as f:
        for _ in range(PLACEMENTS):
            f.write(table)
    return folder


def run_once(command, folder):
    """Runs a command in `folder`; returns its wall-clock and CPU seconds
    (user and system)."""
    start = time.perf_counter()
    child = subprocess.Popen(command, cwd=folder, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit("%s failed in %s with status %d" %
                 (command[0], folder, child.returncode))
    return seconds, usage.ru_utime + usage.ru_stime


def peak_memory(command, folder):
    """Peak resident memory of `command` in KiB, from GNU time."""
    report = os.path.join(folder, "peak.txt")
    run_once(["/usr/bin/time", "-f", "%M", "-o", report] + command, folder)
    with open(report) as f:
        return int(f.read().split()[-1])


def check_drawing(folder):
    """Returns the drawing, which must hold four lines per placement."""
    with open(os.path.join(folder, "bench.dxf"), "rb") as f:
        drawing = f.read()
    if drawing.count(b"\r\nLINE\r\n") != 4 * PLACEMENTS:
        sys.exit("unexpected drawing in %s" % folder)
    return drawing


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


def instructions(command, folder):
    """Instructions executed by `command`, counted by callgrind."""
    out = os.path.join(folder, "callgrind.out")
    result = subprocess.run(["valgrind", "--tool=callgrind",
                             "--callgrind-out-file=" + out] + command,
                            cwd=folder, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True, check=True)
    match = re.search(r"Collected : (\d+)", result.stderr)
    return int(match.group(1))


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
    parser.add_argument("--rows", type=int, nargs="+", default=LIBRARY_ROWS,
                        help="table sizes (default: %(default)s)")
    parser.add_argument("--repetitions", type=int, default=11)
    parser.add_argument("--baseline", metavar="KORVANE",
                        help="another korvane build to time alongside")
    parser.add_argument("--callgrind", type=int, metavar="N",
                        help="also count instructions at table size N")
    args = parser.parse_args()
    korvane = [os.path.abspath(args.korvane), "bench", "xy.txt"]
    commands = {"korvane": korvane}
    if args.baseline:
        commands["baseline"] = [os.path.abspath(args.baseline), "bench",
                                "xy.txt"]
    commands["floor"] = ["wc", "-l", "floor.txt"]
    commands["cat"] = ["cat", "floor.txt"]

    root = tempfile.mkdtemp(prefix="korvane-bench-")
    try:
        print("machine: %s" % machine())
        print("median of %d runs; floor: wc -l over the table 100 times; "
              "cat: the same file to /dev/null; cpu: user + system" %
              args.repetitions)
        heading = "%7s %8s | %10s %8s %5s | %7s %7s %5s | %8s" % (
            "rows", "table MB", "korvane ms", "floor ms", "ratio",
            "korvane", "floor", "ratio", "peak KiB")
        if args.baseline:
            heading += " | %11s %5s" % ("baseline ms", "ratio")
        print(heading + " | %6s" % "cat ms")
        print("%7s %8s | %26s | %21s |" % ("", "", "wall-clock",
                                           "cpu ms"))
        for rows in args.rows:
            folder = prepare(root, rows)
            medians = measure(commands, folder, args.repetitions)
            run_once(korvane, folder)
            drawing = check_drawing(folder)
            peak = peak_memory(korvane, folder)
            size = os.path.getsize(os.path.join(folder, "size.txt"))
            mine, floor = medians["korvane"], medians["floor"]
            line = "%7d %8.2f | %10.1f %8.1f %5.2f | %7.1f %7.1f %5.2f | %8d" % (
                rows, size / 1e6, mine[0] * 1e3, floor[0] * 1e3,
                mine[0] / floor[0], mine[1] * 1e3, floor[1] * 1e3,
                mine[1] / floor[1], peak)
            if args.baseline:
                run_once(commands["baseline"], folder)
                if check_drawing(folder) != drawing:
                    sys.exit("the baseline drew another drawing")
                line += " | %11.1f %5.2f" % (
                    medians["baseline"][0] * 1e3,
                    medians["baseline"][0] / floor[0])
            print(line + " | %6.1f" % (medians["cat"][0] * 1e3), flush=True)
            if rows != args.callgrind:
                shutil.rmtree(folder)
        if args.callgrind:
            folder = os.path.join(root, "n%d" % args.callgrind)
            if not os.path.isdir(folder):
                folder = prepare(root, args.callgrind)
            size = os.path.getsize(os.path.join(folder, "floor.txt"))
            print("callgrind at %d rows (%.1f MB read):" %
                  (args.callgrind, size / 1e6))
            for name, command in commands.items():
                if name == "cat":
                    continue
                count = instructions(command, folder)
                print("  %-8s %13d instructions, %6.2f a byte" %
                      (name, count, count / size), flush=True)
    finally:
        shutil.rmtree(root)


if __name__ == "__main__":
    main()
