#!/usr/bin/env python3
"""End-to-end cases for korvane-check: one line per finding it must make,
each asserting the FILE:LINE prefix (and the start of the message) and the
exit status; then, for generated working directories, that the sizes its
--list gives are those of the outlines in korvane's own drawing.

usage: check_e2e.py [--as-nobody] KORVANE_CHECK KORVANE [EMULATOR...]
The optional emulator (wine, say) goes in front of both programs.
--as-nobody runs the cases that need root alone, or ends with 77 (skip).
"""

import math
import os
import random
import re
import sys
import tempfile

from e2e import (SETTINGS, SIZES, Link, as_nobody, lay_out, nobody_table,
                 outlines, run_table, run_with, xy)

DXF11 = (b"  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n"
         b"  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nLAYER\n 70\n     2\n")
DXF12 = b"  0\nENDTAB\n  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n"
DXF13 = b"  0\nENDSEC\n  0\nEOF\n"
ROW = b"1\tR12\t100\t50\t0"


def files(*rows, **extra):
    """A clean working directory whose b.txt holds `rows` (ROW when none);
    `extra` adds or, as None, removes files (size_txt is "size.txt")."""
    base = {"lumbrex.ini": SETTINGS, "size.txt": SIZES, "dxf11.txt": DXF11,
            "dxf12.txt": DXF12, "dxf13.txt": DXF13,
            "b.txt": xy(*(rows or [ROW]))}
    for key, value in extra.items():
        base[key.replace("_", ".")] = value
    return {k: v for k, v in base.items() if v is not None}


B = ["plate1", "b.txt"]
LONG = b"Q" * 40
HUNDRED_FIFTY = [b"%d\tR12\t1\t1\t0" % i for i in range(150)]
MARK = b"\xef\xbb\xbf"


def utf16(text):
    """`text` as Notepad saves "Unicode": UTF-16 with a byte order mark."""
    return b"\xff\xfe" + text.decode("latin-1").encode("utf-16-le")


def headed(heading, *rows):
    """An xy file whose X column (3) is headed `heading`."""
    return xy(*rows).replace(b"x", heading, 1)


# (name, arguments, files, status, expected lines: each the start of one
#  output line, in order)
CASES = [
    ("nothing to report", B, files(b"1\tr12\t12.5mm\t-3 mil\t90 deg"), 0, []),
    ("version query", ["sys", "ver"], files(), 0, []),
    ("usage", ["plate1"], files(), 2, [],
     ["korvane-check: give the layer name and the xy file",
      "usage: korvane-check"]),
    ("an unknown option", ["--lsit"] + B, files(), 2, [],
     ["korvane-check: unknown option --lsit", "usage: korvane-check"]),
    # lumbrex.ini
    ("settings missing", B, files(b"7", lumbrex_ini=None,
                                  size_txt=b"h\n1\t7\t1\t1\n"), 1,
     ["lumbrex.ini: missing"]),
    ("misspelt key", B, files(lumbrex_ini=b"cod = 7\n" + SETTINGS), 1,
     ["lumbrex.ini:1: 'cod' is not a setting"]),
    ("value not a number", B, files(b"1", lumbrex_ini=b"x = three\ny=1\na=1\n"
                                    b"code=1\n", size_txt=b"h\n1\t1\t1\t1\n"),
     1, ["lumbrex.ini:1: 'x = three' is not a column number"]),
    ("value 0 or less", B, files(b"1", lumbrex_ini=b"x=1\ny = -2\na=1\n"
                                 b"code=1\n", size_txt=b"h\n1\t1\t1\t1\n"),
     1, ["lumbrex.ini:2: 'y = -2': a column of 0 or less"]),
    ("column past the widest line", B,
     files(lumbrex_ini=SETTINGS.replace(b"a = 5", b"a = 9")), 1,
     ["lumbrex.ini:3: a = 9, but no drawn line", "b.txt:2: no angle"]),
    ("keys not all set", B, files(b"1", lumbrex_ini=b"x = 1\ncode = 1\n",
                                  size_txt=b"h\n1\t1\t1\t1\n"), 1,
     ["lumbrex.ini: y, a not set"]),
    ("a setting after the end marker", B,
     files(lumbrex_ini=SETTINGS + b"x = 4\n"), 1,
     ["lumbrex.ini:6: this line follows the end marker"]),
    # template fragments
    ("fragment missing", B, files(dxf12_txt=None), 1,
     ["dxf12.txt: missing"]),
    ("last line without a line end", B, files(dxf13_txt=DXF13[:-1]), 1,
     ["dxf13.txt:4: the last line has no line end"]),
    ("a table left open", B, files(dxf12_txt=DXF12[12:]), 1,
     ["dxf12.txt:2: ENDSEC while the table LAYER"]),
    ("a value where a group code belongs", B,
     files(dxf13_txt=b"  0\nENDSEC\nEOF\n"), 1,
     ["dxf13.txt:3: 'EOF' stands where a group code belongs"]),
    ("outlines outside the entities", B,
     files(dxf12_txt=DXF12[:22], dxf13_txt=DXF12[22:] + DXF13), 1,
     ["dxf12.txt:4: after this line korvane writes its LINE entities"]),
    ("no EOF", B, files(dxf13_txt=b"  0\nENDSEC\n"), 1,
     ["dxf13.txt:2: the drawing does not end with EOF"]),
    ("a version later than R12", B,
     files(dxf11_txt=DXF11.replace(b"AC1009", b"AC1015")), 1,
     ["dxf11.txt:8: the header declares DXF version AC1015"]),
    # size.txt
    ("size table missing", B, files(size_txt=None), 1,
     ["size.txt: missing"]),
    ("rows below an empty line", B,
     files(b"1\tR15\t1\t1\t0", size_txt=b"h\n1\tR12\t10\t4\n\n2\tR15\t2\t8\n"),
     1, ["size.txt:3: an empty line ends the table; korvane never reads the "
         "1 row after it, among them 'R15' (size.txt:4)",
         "b.txt:2: part code 'R15' is not in size.txt; it is drawn as a "
         "point, since no size was found before it; size.txt:4 holds"]),
    ("a length that is no number", B,
     files(size_txt=b"h\n1\tR12\tten\t4\n"), 1,
     ["size.txt:2: the length 'ten' is not a number"]),
    ("a width of 0 and a negative length", B,
     files(size_txt=b"h\n1\tR12\t-1\t0\n"), 1,
     ["size.txt:2: the length -1 is not above 0",
      "size.txt:2: the width 0 is not above 0"]),
    ("a code given again with another size", B,
     files(size_txt=SIZES + b"3\tr12\t1\t1\n4\tR12\t10\t4\n"), 1,
     ["size.txt:4: 'r12' is given again, 1 by 1"]),
    # the xy file
    ("code missing: the size carries over", B,
     files(ROW, b"2\tXX\t1\t1\t0"), 1,
     ["b.txt:3: part code 'XX' is not in size.txt; it is drawn 10 by 4, "
      "the size of 'R12' (size.txt:2)"]),
    ("code missing: a point", B, files(b"2\tXX\t1\t1\t0"), 1,
     ["b.txt:2: part code 'XX' is not in size.txt; it is drawn as a point"]),
    ("a code that differs only in spaces", B,
     files(ROW, b"2\tR15 \t1\t1\t0"), 1,
     ["b.txt:3: part code 'R15 ' is not in size.txt; it is drawn 10 by 4, "
      "the size of 'R12' (size.txt:2); 'R15' (size.txt:3) differs"]),
    ("a code that matches only through its cut", B,
     files(b"1\t" + LONG + b"\t1\t1\t0",
           size_txt=b"h\n1\t" + LONG[:31].lower() + b"\t1\t1\n"), 1,
     ["b.txt:2: part code 'QQQQ"]),
    ("a long code matched whole", B,
     files(b"1\t" + LONG + b"\t1\t1\t0",
           size_txt=b"h\n1\t" + LONG[:31] + b"\t1\t1\n2\t" + LONG +
           b"\t1\t1\n"), 0, []),
    ("X not a number", B, files(b"1\tR12\tabc\t50\t0"), 1,
     ["b.txt:2: X 'abc' is not a number; korvane reads 0"]),
    ("Y partly a number", B, files(b"1\tR12\t1\t12,5\t0"), 1,
     ["b.txt:2: Y '12,5' is only partly a number; korvane reads 12"]),
    ("an angle with a word after it", B, files(b"1\tR12\t1\t1\t90 left"), 1,
     ["b.txt:2: angle '90 left' is only partly a number"]),
    ("an empty line ends the list", B, files(ROW, b"", ROW, ROW), 1,
     ["b.txt:3: an empty line ends the list; korvane does not draw the "
      "2 lines"]),
    ("past the 100th placement", B, files(*HUNDRED_FIFTY), 1,
     ["b.txt:102: korvane draws 100 placements at most; this line and "
      "49 lines"]),
    ("--all lists every placement, none past the 100th",
     ["--list", "--all"] + B, files(*HUNDRED_FIFTY), 0,
     ["line"] + [f"{n:4d}  R12" for n in range(2, 152)]),
    ("a number cut at 31 characters", B, files(b"1\tR12\t" + b"1" * 40 +
                                               b"\t1\t0"), 1,
     ["b.txt:2: X '1111"]),
    ("a line cut at 2048 characters", B,
     files(ROW + b"\t" + b"z" * 3000), 1,
     ["b.txt:2: the line is longer than 2048 characters"]),
    ("a heading that reads like a placement", B,
     {**files(), "b.txt": ROW + b"\n" + ROW + b"\n"}, 1,
     ["b.txt:1: this line reads like a placement (code 'R12')"]),
    # how the files are saved
    ("byte order marks at the starts", B, {**files(), "b.txt": MARK + xy(ROW),
      "size.txt": MARK + SIZES, "lumbrex.ini": MARK + SETTINGS}, 0, []),
    ("settings in UTF-16", B, files(b"7", lumbrex_ini=utf16(SETTINGS),
                                    size_txt=b"h\n1\t7\t1\t1\n"), 1,
     ["lumbrex.ini: saved as UTF-16 (Notepad's \"Unicode\"): korvane takes"]),
    ("sizes in UTF-16", B, files(size_txt=utf16(SIZES)), 1,
     ["size.txt: saved as UTF-16"]),
    ("sizes with commas", B, files(ROW, ROW, size_txt=SIZES.replace(
        b"\t", b",")), 1, ["size.txt:2: the fields are separated by commas, "
                           "not TABs; korvane sees each such row as one field "
                           "and finds no part code (field 2) in it, so no "
                           "placement finds its size there"]),
    ("xy file in UTF-16", B, files(size_txt=SIZES, b_txt=utf16(xy(ROW))), 1,
     ["b.txt: saved as UTF-16 (Notepad's \"Unicode\"): korvane takes the NUL "
      "byte beside each letter for the end of the line's text, and draws "
      "nothing"]),
    ("xy file with semicolons", B, files(ROW.replace(b"\t", b";")), 1,
     ["b.txt:2: the fields are separated by semicolons, not TABs"]),
    ("a Ctrl-Z before the end", B, files(ROW, ROW + b"\x1a", ROW, ROW), 1,
     ["b.txt:3: a Ctrl-Z byte stands here, and korvane reads nothing after "
      "it: it never sees the 2 lines"]),
    ("a Ctrl-Z at the end", B, files(b_txt=xy(ROW) + b"\x1a \r\n\x1a"), 0, []),
    ("units that differ", B, files(b_txt=headed(b"x(mil)", ROW), size_txt=b"h"
                                   b"\tc\tLength (mm)\n1\tR12\t10\t4\n"), 1,
     ["size.txt:1: the heading gives lengths and widths in mm ('Length (mm)'),"
      " but b.txt:1 gives X in mil ('x(mil)'); korvane converts neither, so "
      "every part is drawn 39.37 times too small for its spacing",
      "b.txt:1: the heading gives X in mil"]),
    ("an xy file in inches, a table without a unit", B,
     files(b_txt=headed(b"x [in]", ROW)), 1,
     ["size.txt:1: the heading gives no unit for its lengths and widths, but "
      "b.txt:1 gives X in inches", "b.txt:1: the heading gives X in inches "
      "('x [in]'), but size.txt:1 gives no unit for its lengths and widths; "
      "korvane converts neither, so if the table is in mm, as most are, every "
      "part is drawn 25.4 times too large"]),
    # one finding a cause
    ("a code missing on nine lines", B, files(ROW, *[b"x\tXX\t1\t1\t0"] * 9),
     1, ["b.txt:3: part code 'XX' is not in size.txt on 9 lines, this one and "
         "4, 5, 6, 7, 8 and 3 more; here it is drawn 10 by 4, the size of "
         "'R12' (size.txt:2), elsewhere with the size of the last part"]),
    ("codes in other encodings", B,
     files(b"1\tC\xb5\t1\t1\t0", b"2\tD\xc2\xb5\t1\t1\t0",
           b"3\t" + MARK + b"R15\t1\t1\t0",
           size_txt=SIZES + b"3\tc\xc2\xb5\t1\t1\n4\td\xb5\t1\t1\n"), 1,
     ["b.txt:2: part code 'C\xb5' is not in size.txt; it is drawn as a point, "
      "since no size was found before it; it is not UTF-8, and read as "
      "Windows-1252 it is 'c\xc2\xb5', which size.txt:4 holds",
      "b.txt:3: part code 'D\xc2\xb5' is not in size.txt; it is drawn as a "
      "point, since no size was found before it; in Windows-1252 it is "
      "'d\xb5', which size.txt:5 holds",
      "b.txt:4: part code '\xef\xbb\xbfR15' is not in size.txt; it is drawn "
      "as a point, since no size was found before it; without the UTF-8 byte "
      "order mark at its start it is 'R15', which size.txt:3 holds"]),
    ("numbers too large for the drawing", B,
     files(b"1\tR12\t1e999\t-5e13\t1e13", size_txt=b"h\n1\tR12\t2e12\t4\n"),
     1, ["size.txt:2: the length '2e12' for 'R12' is 1e12 or more in size; "
         "from 1e12 on, a double no longer holds the four decimals",
         "b.txt:2: X '1e999' reads as the largest double, about 1.8e308",
         "b.txt:2: Y '-5e13' is 1e12 or more",
         "b.txt:2: angle '1e13' is 1e12 or more in size; korvane's turn by an "
         "angle this large is arbitrary"]),
    ("a size's source tag in --list", ["--list"] + B,
     files(size_txt=b"h\nname\tR12\t10\t4\tIPC-7351\n"), 0,
     ["line", "   2  R12   100.0000  50.0000  0.0000  10.0000  4.0000  "
      "size.txt:2 (name)"]),
    # runs that fail
    ("an xy file that is empty", B, files(b_txt=b""), 1,
     ["b.txt: is empty, so korvane draws no part"]),
    ("an xy file of NUL bytes", B, files(b_txt=bytes(5000)), 1,
     ["b.txt: holds no placement: no line with text follows the first, which "
      "korvane skips as the heading (the file starts with a NUL byte"]),
    ("xy file missing", ["plate1", "missing.txt"], files(), 2,
     ["missing.txt: cannot be opened"]),
    ("the drawing's folder missing", ["nowhere/plate1", "b.txt"], files(), 2,
     ["nowhere/plate1.dxf: the folder 'nowhere' does not exist"]),
    ("the drawing would overwrite the xy file", ["b", "b.dxf"],
     {**files(), "b.dxf": xy(ROW)}, 2,
     ["b.dxf: the drawing would overwrite the xy file"]),
    ("a picture named as an input that is missing",
     ["--svg", "size.txt"] + B, files(size_txt=None), 2,
     ["size.txt: missing"],
     ["korvane-check: size.txt: is an input; korvane-check leaves it alone"]),
]

# Links and control characters in names only where the tests run on Linux.
LINUX_CASES = [
    ("a control character in the xy file's name", ["plate1", "b\x01.txt"],
     {**files(), "b\x01.txt": xy(b"2\tXX\t1\t1\t0")}, 1,
     ["b\\x01.txt:2: part code 'XX' is not in size.txt"]),
    ("the drawing would overwrite an input", ["size", "b.txt"],
     files(size_dxf=Link("size.txt")), 2,
     ["size.dxf: the drawing would overwrite size.txt"]),
    ("a link to a drawing in a folder that does not exist", B,
     files(plate1_dxf=Link("gone/plate1.dxf")), 2,
     ["plate1.dxf: the folder 'gone' does not exist"]),
    ("a layer name too long for the file system", ["p" * 300, "b.txt"],
     files(), 2, ["p" * 300 + ".dxf: the name is 304 bytes long"]),
    ("a drawing whose links lead round in a loop", ["loop", "b.txt"],
     files(loop_dxf=Link("loop.dxf")), 2,
     ["loop.dxf: its symbolic links lead round in a loop"]),
    ("a drawing under /proc", ["/proc/plate1", "b.txt"], files(), 2,
     ["/proc/plate1.dxf: the folder '/proc' takes no new file"]),
    ("a drawing that leads to /dev/full", ["full", "b.txt"],
     files(full_dxf=Link("/dev/full")), 2,
     ["full.dxf: leads to /dev/full, where every write fails"]),
    ("a size.txt that cannot be read", B,
     files(size_txt=Link("/proc/self/mem")), 2,
     ["size.txt: cannot be read to its end; korvane fails"]),
    ("a size.txt that cannot be read, and no placement to look up", B,
     {**files(size_txt=Link("/proc/self/mem")), "b.txt": b"heading\n"}, 1,
     ["b.txt: holds no placement: no line with text follows the first"]),
]

# Run as the user nobody, in a folder of the given mode: (name, files,
# folder mode, files nobody may write, status, expected lines).
NOBODY_CASES = [
    ("a folder that takes no new drawing", files(), 0o555, [], 2,
     ["plate1.dxf: the folder '.' takes no new file (Permission denied)"]),
    ("a drawing written in place in such a folder",
     files(plate1_dxf=b"old"), 0o555, ["plate1.dxf"], 0, []),
    ("a drawing that may not be replaced", files(plate1_dxf=b"old"), 0o777,
     [], 2, ["plate1.dxf: cannot be written: Permission denied"]),
]


def mismatch(stream, output, expected):
    """A problem when the lines of `output` do not start with `expected`."""
    lines = output.decode("latin-1").splitlines()
    if len(lines) == len(expected) and all(
            line.startswith(want) for line, want in zip(lines, expected)):
        return []
    return [f"expected {stream} lines starting\n    " +
            "\n    ".join(expected) + "\n  got\n    " + "\n    ".join(lines)]


def check_case(command, case):
    name, args, work_files, status, expected = case[:5]
    errors = case[5] if len(case) > 5 else None
    with tempfile.TemporaryDirectory() as work:
        before = sorted(os.listdir(work))
        lay_out(work, work_files)
        done = run_with(command + args, work, {})
        problems = mismatch("output", done.stdout, expected)
        if errors is not None:
            problems += mismatch("error", done.stderr, errors)
        if done.returncode != status:
            problems.append(f"status {done.returncode}, expected {status}")
        if sorted(os.listdir(work)) != sorted(set(before) | set(
                p.split("/")[0] for p in work_files)):
            problems.append("files were created or removed")
    return problems


def nobody_case(check, korvane, case):
    """Runs korvane-check, then korvane, as nobody: status 2 exactly when
    korvane fails, and the lines expected."""
    name, work_files, mode, writable, status, expected = case
    with tempfile.TemporaryDirectory() as work:
        lay_out(work, work_files)
        options = {"drop": as_nobody(work, mode, writable)}
        done = run_with(check + B, work, options)
        drawn = run_with(korvane + B, work, options)
        os.chmod(work, 0o700)
    problems = mismatch("output", done.stdout, expected)
    if done.returncode != status:
        problems.append(f"status {done.returncode}, expected {status}")
    if (status == 2) != (drawn.returncode != 0):
        problems.append(f"korvane ended with {drawn.returncode}")
    return problems


# --- --list against the drawing --------------------------------------------

CODES = ["R12", "r12", "C0603", "LQFP-64", "SOT-23", "XX", "R15 ", "", "D1",
         "Q" * 40, "q" * 31, "Q" * 35]


def random_dir(seed):
    """A working directory with a size table of random rows (repeats, an
    empty line, missing codes) and an xy file of random placements."""
    rng = random.Random(seed)
    table = [b"no\tcode\tlength\twidth"]
    for i in range(rng.randrange(1, 12)):
        table.append(b"%d\t%s\t%s\t%s" % (
            i, rng.choice(CODES).encode(),
            rng.choice([b"%.3f" % rng.uniform(0.1, 30), b"x", b"-2", b""]),
            b"%.2f" % rng.uniform(0.1, 20)))
    if rng.random() < 0.3:
        table.insert(rng.randrange(1, len(table) + 1), b"")
    rows = [b"%d\t%s\t%.3f\t%.3f\t%d" % (
        i, rng.choice(CODES).encode(), rng.uniform(-50, 150),
        rng.uniform(-50, 150), rng.choice([0, 30, 90, 135, -45, 270]))
        for i in range(rng.randrange(0, 130))]
    return files(*rows, size_txt=b"\r\n".join(table) + b"\r\n") if rows \
        else files(size_txt=b"\n".join(table))


def listed(stdout):
    """(x, y, angle, length, width) of each --list line."""
    rows = []
    for line in stdout.decode("latin-1").splitlines()[1:]:
        if re.match(r"\s*\d+\s", line) is None:
            break
        numbers = re.findall(r"-?\d+\.\d{4}", line)
        rows.append(tuple(float(n) for n in numbers[-5:]))
    return rows


def check_agreement(check, korvane, seed, options=()):
    with tempfile.TemporaryDirectory() as work:
        work_files = random_dir(seed)
        lay_out(work, work_files)
        done = run_with(check + ["--list", *options] + B, work, {})
        drawn = run_with(korvane + [*options] + B, work, {})
        with open(os.path.join(work, "plate1.dxf"), "rb") as f:
            shapes = outlines(f.read())
    rows = listed(done.stdout)
    if drawn.returncode != 0 or len(rows) != len(shapes):
        return [f"{len(rows)} listed, {len(shapes)} drawn"]
    problems = []
    for i, ((x, y, a, length, width), corners) in enumerate(zip(rows,
                                                               shapes)):
        side = [math.dist(corners[k], corners[(k + 1) % 4]) for k in (0, 1)]
        centre = [sum(c[k] for c in corners) / 4 for k in (0, 1)]
        if not (math.isclose(side[0], abs(width), abs_tol=5e-4) and
                math.isclose(side[1], abs(length), abs_tol=5e-4) and
                math.isclose(centre[0], x, abs_tol=5e-4) and
                math.isclose(centre[1], y, abs_tol=5e-4)):
            problems.append(f"placement {i + 1}: listed {x} {y} {length} by "
                            f"{width}, drawn {corners}")
    return problems


def main(argv):
    nobody = argv[:1] == ["--as-nobody"]
    check, korvane, *emulator = argv[nobody:]
    check_command, korvane_command = emulator + [check], emulator + [korvane]
    linux = sys.platform.startswith("linux") and not check.endswith(".exe")
    if nobody:
        return nobody_table("check_e2e", [
            (case[0], lambda c=case: nobody_case(check_command,
                                                 korvane_command, c))
            for case in NOBODY_CASES] if linux else None)
    cases = CASES + (LINUX_CASES if linux else [])
    runs = [(case[0], lambda c=case: check_case(check_command, c))
            for case in cases]
    runs += [(f"--list {' '.join(o)} agrees with the drawing, seed {seed}",
              lambda s=seed, o=o: check_agreement(
                  check_command, korvane_command, s, o))
             for seed in range(40) for o in ([], ["--all"])]
    return run_table("check_e2e", runs)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
