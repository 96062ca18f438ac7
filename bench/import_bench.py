#!/usr/bin/env python3
"""Times korvane-import on two large jobs.

- Codes: an export of 20,000 placements with 20,000 distinct codes beside a
  size table of 200,000 rows, which korvane-import reads once to name the
  codes it lacks.
- Split: `--split` of a 10,000-row export into 100 pieces, every piece
  written whole and flushed to the disk, against GNU `split -l 100` on the
  same file (which flushes nothing); a size table holds every code. The two
  take turns, each run in a new folder, and nothing is removed until the
  end: on ext4 without a journal, new files made soon after others were
  removed made a run of `split` take up to four times as long here.
- Board (with --kicad-bench): `--split` of the 2.4 MB KiCad board that
  bench/kicad_bench.cc generates, size.txt made from its bodies.
- Eagle boards (with --eagle-bench): `--split` of a 2 MB and a 20 MB
  Eagle board that bench/eagle_bench.cc generates, size.txt made.
- Library: an export of 100 codes spread over KiCad's installed library,
  no size.txt: each code sized from its footprint file.

Figures are medians of wall-clock time over several runs.

usage: import_bench.py KORVANE_IMPORT [--repetitions R] [--kicad-bench PATH]
       [--eagle-bench PATH] [--library FOLDER]
"""

import argparse
import glob
import os
import shutil
import subprocess
import statistics
import tempfile

from bench import (FRAGMENTS, HERE, machine, row_code, run_once, size_table,
                   write)


def export(count, stride):
    lines = ["Designator,Footprint,Mid X,Mid Y,Rotation,Layer"]
    for i in range(count):
        lines.append("R%d,%s,%d.5,%d.25,%d,Top" % (
            i, row_code(i * stride + 3), i % 100, i // 100, i * 15 % 360))
    return ("\n".join(lines) + "\n").encode()


def timed(command, folder, repetitions, clean):
    """Median wall-clock milliseconds of `command`, `clean` run between."""
    times = []
    for _ in range(repetitions + 1):
        clean(folder)
        times.append(run_once(command, folder)[0])
    return statistics.median(times[1:]) * 1e3


def remove(folder, pattern):
    for path in glob.glob(os.path.join(folder, pattern)):
        os.remove(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("importer", help="the korvane-import program")
    parser.add_argument("--repetitions", type=int, default=11)
    parser.add_argument("--kicad-bench", help="bench/kicad_bench, built")
    parser.add_argument("--eagle-bench", help="bench/eagle_bench, built")
    parser.add_argument("--library", default="/usr/share/kicad/footprints")
    args = parser.parse_args()
    importer = os.path.abspath(args.importer)
    root = tempfile.mkdtemp(prefix="korvane-import-bench-")
    try:
        print("machine: %s; median of %d runs" % (machine(), args.repetitions))
        # First, before any job here removes a file.
        mine, floor = time_split(importer, root, args.repetitions)
        print("--split of 10,000 rows: %.1f ms; split -l 100: %.1f ms; "
              "ratio %.2f" % (mine, floor, mine / floor))
        folder = os.path.join(root, "codes")
        os.makedirs(folder)
        write(os.path.join(folder, "size.txt"), size_table(200000))
        write(os.path.join(folder, "e.csv"), export(20000, 10))
        ms = timed([importer, "--split", "e.csv", "b.txt"], folder,
                   args.repetitions, lambda f: remove(f, "b-*.txt"))
        print("20,000 distinct codes, 200,000-row table: %.1f ms" % ms)
        if args.kicad_bench:
            time_board(importer, [args.kicad_bench], "b.kicad_pcb", root,
                       args.repetitions)
        for megabytes in ["2", "20"] if args.eagle_bench else []:
            time_board(importer, [args.eagle_bench, megabytes], "b.brd", root,
                       args.repetitions)
        time_library(importer, args.library, root, args.repetitions)
    finally:
        shutil.rmtree(root)


def time_split(importer, root, repetitions):
    """Median milliseconds of korvane-import's --split and of split -l 100,
    run in turns, each in a folder of its own."""
    source = os.path.join(root, "split")
    os.makedirs(source)
    write(os.path.join(source, "e.csv"), export(10000, 1))
    write(os.path.join(source, "size.txt"), size_table(10003))
    # A working directory has its fragments: korvane-import writes none.
    for name in FRAGMENTS:
        shutil.copy(os.path.join(HERE, "..", "examples", "board", name), source)
    commands = [[importer, "--split", "e.csv", "s.txt"],
                ["split", "-l", "100", "e.csv", "x"]]
    times = [[], []]
    for n in range((repetitions + 1) * 2):
        folder = os.path.join(source, str(n))
        os.makedirs(folder)
        for name in ("e.csv", "size.txt") + FRAGMENTS:
            os.link(os.path.join(source, name), os.path.join(folder, name))
        times[n % 2].append(run_once(commands[n % 2], folder)[0])
    return [statistics.median(t[1:]) * 1e3 for t in times]


def time_board(importer, bench, name, root, repetitions):
    """`bench` (a program and its size argument) writes the board `name`."""
    folder = tempfile.mkdtemp(prefix="board-", dir=root)
    board = os.path.join(folder, name)
    subprocess.run([os.path.abspath(bench[0]), "--write-board", board] +
                   bench[1:], check=True)
    ms = timed([importer, "--split", name, "b.txt"], folder,
               repetitions, lambda f: remove(f, "[bs]*.txt"))
    print("board of %.2f MB, --split, size.txt made: %.1f ms" %
          (os.path.getsize(board) / 1e6, ms))


def time_library(importer, library, root, repetitions):
    names = sorted(glob.glob(os.path.join(library, "*.pretty", "*.kicad_mod")))
    if not names:
        print("library: no footprints in %s" % library)
        return
    codes = [os.path.basename(names[i * len(names) // 100])[:-10]
             for i in range(100)]
    folder = os.path.join(root, "library")
    os.makedirs(folder)
    write(os.path.join(folder, "e.csv"), ("Ref,Package,PosX,PosY,Rot\n" + "".join(
        'U%d,"%s",%d,0,0\n' % (i, code, i) for i, code in enumerate(codes))
        ).encode())
    ms = timed([importer, "e.csv", "b.txt"], folder, repetitions,
               lambda f: remove(f, "size.txt"))
    print("100 codes sized from %d footprints: %.1f ms" % (len(names), ms))


if __name__ == "__main__":
    main()
