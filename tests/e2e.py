#!/usr/bin/env python3
"""End-to-end cases for korvane: each runs the built program in a fresh
working directory and compares its exit status, its standard output and
the drawing it leaves, byte for byte.

usage: e2e.py [--verbose VERBOSE_EXE] [--] KORVANE [EMULATOR...]
The optional emulator (wine, say) goes in front of each executable.
"""

import os
import shutil
import subprocess
import sys
import tempfile

# --- building expected drawings -------------------------------------------

HEAD, MID, TAIL = b"head\n", b"mid\n", b"tail\n"
TEMPLATES = {"dxf11.txt": HEAD, "dxf12.txt": MID, "dxf13.txt": TAIL}


def crlf(text):
    return text.replace(b"\n", b"\r\n")


def layer(name):
    return crlf(b"  0\nLAYER\n  2\n" + name + b"\n 70\n    64\n 62\n     7\n"
                b"  6\nCONTINUOUS\n")


LAYERS = layer(b"center") + layer(b"center2")


def line(x1, y1, x2, y2):
    values = [b"   " + v.encode() for v in (x1, y1, x2, y2)]
    return crlf(b"  0\nLINE\n  8\ncenter\n  6\nCONTINUOUS\n 62\n    1\n"
                b" 10\n%s\n 20\n%s\n 11\n%s\n 21\n%s\n" % tuple(values))


def outline(*rows):
    """Four lines given as "x1 y1 x2 y2" rows."""
    return b"".join(line(*row.split()) for row in rows)


def point(x, y):
    """The outline of a part without size: four lines from (x, y) to (x, y)."""
    return outline(*[f"{x} {y} {x} {y}"] * 4)


def drawing(*outlines, head=crlf(HEAD), mid=crlf(MID), tail=crlf(TAIL)):
    return head + LAYERS + mid + b"".join(outlines) + tail


BOX_0 = outline("95.0000 48.0000 95.0000 52.0000",
                "95.0000 52.0000 105.0000 52.0000",
                "105.0000 52.0000 105.0000 48.0000",
                "105.0000 48.0000 95.0000 48.0000")
BOX_90 = outline("102.0000 45.0000 98.0000 45.0000",
                 "98.0000 45.0000 98.0000 55.0000",
                 "98.0000 55.0000 102.0000 55.0000",
                 "102.0000 55.0000 102.0000 45.0000")
BOX_30 = outline("96.6699 45.7679 94.6699 49.2321",
                 "94.6699 49.2321 103.3301 54.2321",
                 "103.3301 54.2321 105.3301 50.7679",
                 "105.3301 50.7679 96.6699 45.7679")
BOX_NEAR_ORIGIN = outline("-0.0000 -10.0000 -4.0000 -10.0000",
                          "-4.0000 -10.0000 -4.0000 0.0000",
                          "-4.0000 0.0000 0.0000 -0.0000",
                          "0.0000 -0.0000 -0.0000 -10.0000")
# R12 (10 by 4) and R15 (20 by 8) unturned at (100, 50).
R12_AT_100_50 = BOX_0
R15_AT_100_50 = outline("90.0000 46.0000 90.0000 54.0000",
                        "90.0000 54.0000 110.0000 54.0000",
                        "110.0000 54.0000 110.0000 46.0000",
                        "110.0000 46.0000 90.0000 46.0000")

USAGE = b"Error : Command or Parameter!!\r\nkorvane [Layer name] [xy file]\r\n"

# Settings and size table most cases share: code, x, y, a in columns 2-5.
SETTINGS = b"x = 3\ny = 4\na = 5\ncode = 2\nend\n"
SIZES = b"no\tcode\tlength\twidth\n1\tR12\t10\t4\n2\tR15\t20\t8\n"


def xy(*rows):
    return b"ref\tcode\tx\ty\tangle\n" + b"".join(r + b"\n" for r in rows)


def files(**extra):
    """The usual working directory, with `extra` files added or, as None,
    removed. Names use _ for ".": size_txt is "size.txt"."""
    base = {"lumbrex.ini": SETTINGS, "size.txt": SIZES, **TEMPLATES}
    for key, value in extra.items():
        base[key.replace("_", ".")] = value
    return {k: v for k, v in base.items() if v is not None}


HUNDRED_FIFTY = xy(*[b"%d\tR12\t100\t50\t0" % i for i in range(150)])

# --- the cases --------------------------------------------------------------
# (name, arguments, files, expected status, expected stdout,
#  expected drawing: bytes, or None when no drawing may exist)

CASES = [
    ("no arguments", [], files(), 255, USAGE, None),
    ("one argument", ["plate1"], files(plate1_txt=xy()), 255, USAGE, None),
    ("three arguments", ["plate1", "plate1.txt", "x"],
     files(plate1_txt=xy()), 255, USAGE, None),
    ("version", ["sys", "ver"], files(), 0, b"1.01\r\n", None),
    ("version any case", ["Sys", "VER"], files(), 0, b"1.01\r\n", None),
    ("sys is a layer name otherwise", ["sys", "other.txt"],
     files(other_txt=xy(b"1\tR12\t100\t50\t0")), 0, b"", drawing(BOX_0)),
    ("xy file missing", ["plate1", "missing.txt"], files(), 255, b"", None),
    ("xy file is a directory", ["plate1", "."], files(), 255, b"", None),
    ("only a heading", ["plate1", "b.txt"], files(b_txt=b"ref\tcode\n"), 0,
     b"", drawing()),
    ("empty xy file", ["plate1", "b.txt"], files(b_txt=b""), 0, b"",
     drawing()),
    ("100 placements at most", ["plate1", "b.txt"],
     files(b_txt=HUNDRED_FIFTY), 0, b"", drawing(*[R12_AT_100_50] * 100)),
    ("unturned", ["plate1", "b.txt"], files(b_txt=xy(b"1\tR12\t100\t50\t0")),
     0, b"", drawing(BOX_0)),
    ("turned 90 and 30 degrees", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50\t90", b"2\tr12\t100\t50\t30")), 0, b"",
     drawing(BOX_90, BOX_30)),
    ("residues of the short pi", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t-2\t-5\t90")), 0, b"",
     drawing(BOX_NEAR_ORIGIN)),
    ("a turn of 10^18 degrees", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50\t1e18")), 0, b"",
     drawing(outline("100.5028 55.3616 104.0618 53.5358",
                     "104.0618 53.5358 99.4972 44.6384",
                     "99.4972 44.6384 95.9382 46.4642",
                     "95.9382 46.4642 100.5028 55.3616"))),
    ("no size found yet", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tXX\t7.5\t-1.25\t45")), 0, b"",
     drawing(point("7.5000", "-1.2500"))),
    ("size carries over", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50\t0", b"2\tXX\t100\t50\t0",
                    b"3\tR15\t100\t50\t0")), 0, b"",
     drawing(R12_AT_100_50, R12_AT_100_50, R15_AT_100_50)),
    ("first matching row wins", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR15\t100\t50\t0"),
           size_txt=SIZES + b"3\tr15\t1\t1\n"), 0, b"",
     drawing(R15_AT_100_50)),
    ("an empty code matches a row without tabs", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t1\t1\t0", b"2\t\t2\t2\t0"),
           size_txt=b"h\n1\tR12\t10\t4\nnote\n2\t\t20\t8\n"), 0, b"",
     drawing(outline("-4.0000 -1.0000 -4.0000 3.0000",
                     "-4.0000 3.0000 6.0000 3.0000",
                     "6.0000 3.0000 6.0000 -1.0000",
                     "6.0000 -1.0000 -4.0000 -1.0000"),
             point("2.0000", "2.0000"))),
    ("codes compare whole, spaces included", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12 \t1\t1\t0")), 0, b"",
     drawing(point("1.0000", "1.0000"))),
    ("crlf size table without a final line end", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR15\t100\t50\t0"),
           size_txt=b"no\tcode\r\n1\tR12\t10\t4\r\n2\tR15\t20\t8"), 0, b"",
     drawing(R15_AT_100_50)),
    ("a blank line hides later sizes", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR15\t100\t50\t0"),
           size_txt=b"h\n\n2\tR15\t20\t8\n"), 0, b"",
     drawing(point("100.0000", "50.0000"))),
    ("no size table", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR15\t100\t50\t0"), size_txt=None), 0, b"",
     drawing(point("100.0000", "50.0000"))),
    ("an empty line ends the list", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50\t0", b"", b"2\tR12\t1\t1\t0")), 0, b"",
     drawing(BOX_0)),
    ("an empty second line ends the list", ["plate1", "b.txt"],
     files(b_txt=xy(b"", b"1\tR12\t100\t50\t0")), 0, b"", drawing()),
    ("a line of blanks is a placement", ["plate1", "b.txt"],
     files(b_txt=xy(b"  \t ", b"1\tR12\t100\t50\t0")), 0, b"",
     drawing(point("0.0000", "0.0000"), BOX_0)),
    ("a missing angle column", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50")), 0, b"", drawing(BOX_0)),
    ("the heading is skipped even when it is data", ["plate1", "b.txt"],
     files(b_txt=b"1\tR12\t1\t1\t0\n2\tR12\t100\t50\t0\n"), 0, b"",
     drawing(BOX_0)),
    ("a last row without a line end", ["plate1", "b.txt"],
     files(b_txt=b"h\r\n1\tR12\t100\t50\t90\r\n2\tR12\t100\t50\t0"), 0, b"",
     drawing(BOX_90, BOX_0)),
    ("no settings: every value from field 1", ["plate1", "b.txt"],
     files(lumbrex_ini=None, b_txt=xy(b"0\tR12\t100\t50\t90"),
           size_txt=b"h\n1\t0\t2\t2\n"), 0, b"",
     drawing(outline("-1.0000 -1.0000 -1.0000 1.0000",
                     "-1.0000 1.0000 1.0000 1.0000",
                     "1.0000 1.0000 1.0000 -1.0000",
                     "1.0000 -1.0000 -1.0000 -1.0000"))),
    ("templates missing", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50\t0"), dxf11_txt=None, dxf12_txt=None,
           dxf13_txt=None), 0, b"", drawing(BOX_0, head=b"", mid=b"",
                                             tail=b"")),
    ("templates empty", ["plate1", "b.txt"],
     files(b_txt=xy(), dxf11_txt=b"", dxf12_txt=b"", dxf13_txt=b""), 0, b"",
     drawing(head=b"", mid=b"", tail=b"")),
    ("templates copied through the text rules", ["plate1", "b.txt"],
     files(b_txt=xy(), dxf11_txt=b"a\r\nb\xff\n", dxf12_txt=b"c\rd\r",
           dxf13_txt=b"EOF\n\x1a junk\n"), 0, b"",
     drawing(head=b"a\r\nb\xff\r\n", mid=b"cd", tail=b"EOF\r\n")),
    ("a layer name with a directory", ["out/plate1", "b.txt"],
     {**files(b_txt=xy()), "out/keep": b""}, 0, b"", drawing()),
    ("an output directory that does not exist", ["nowhere/plate1", "b.txt"],
     files(b_txt=xy()), 255, b"", None),
    ("the drawing may not replace the xy file", ["plate", "plate.dxf"],
     files(plate_dxf=b"h\n1\tR12\t1\t1\t0\n"), 255, b"", b"h\n1\tR12\t1\t1\t0\n"),
]

# Windows paths, for korvane.exe only: a backslash separates directories
# too, and one file may be named in several ways.
WINDOWS_CASES = [
    ("a layer name with a backslash directory", ["out\\plate1", "b.txt"],
     {**files(b_txt=xy(b"1\tR12\t100\t50\t0")), "out/keep": b""}, 0, b"",
     drawing(BOX_0)),
    ("an xy file path with backslashes", ["plate1", "in\\b.txt"],
     {**files(), "in/b.txt": xy(b"1\tR12\t100\t50\t0")}, 0, b"",
     drawing(BOX_0)),
    ("the drawing may not replace the xy file in capitals",
     ["plate", "PLATE.DXF"], files(plate_dxf=b"h\n1\tR12\t1\t1\t0\n"), 255,
     b"", b"h\n1\tR12\t1\t1\t0\n"),
    ("the drawing may not replace the xy file by another way",
     ["out\\plate", "out\\..\\out\\plate.dxf"],
     {**files(), "out/plate.dxf": b"h\n"}, 255, b"", b"h\n"),
]

# The same run with the diagnostic echo built in: the exact trace.
ECHO_FILES = files(lumbrex_ini=b"#c\nx=3\ny = 4\r\na=5\ncode\t2\nEND\nx=1\n",
                   b_txt=xy(b"7\tR12\t100\t50\t-30"))
ECHO_TRACE = crlf(
    b"x\t3\ninit = 3,0,0,0,0\n"
    b"y\t4\ninit = 3,4,0,0,0\n"
    b"a\t5\ninit = 3,4,5,0,0\n"
    b"code\t2\ninit = 3,4,5,0,2\n"
    b"x    = 3\ny    = 4\na    = 5\nrow  = 0\ncode = 2\n"
    b"argv[1]     = plate1\nOutput File = plate1.dxf\n") + \
    LAYERS + crlf(
    b"7\tR12\t100\t50\t-30\n"
    b"CODE = R12 : X = 100.000000 : Y = 50.000000 : A = -30.000000\n"
    b"R12\nL = 10.000000\nW = 4.000000\n")
ECHO_LINES = outline("94.6699 50.7679 96.6699 54.2321",
                     "96.6699 54.2321 105.3301 49.2321",
                     "105.3301 49.2321 103.3301 45.7679",
                     "103.3301 45.7679 94.6699 50.7679")
ECHO_CASES = [
    ("echo of a whole run", ["plate1", "b.txt"], ECHO_FILES, 0,
     ECHO_TRACE + ECHO_LINES, drawing(ECHO_LINES)),
    ("no echo for the version", ["sys", "ver"], ECHO_FILES, 0, b"1.01\r\n",
     None),
    ("echo of a missing code and table end", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tQ\t0\t0\t0"), size_txt=b"h\n1\tR12\t10\t4\n",
           lumbrex_ini=b"code=2\nend\n"), 0,
     crlf(b"code\t2\ninit = 0,0,0,0,2\n"
          b"x    = 0\ny    = 0\na    = 0\nrow  = 0\ncode = 2\n"
          b"argv[1]     = plate1\nOutput File = plate1.dxf\n") + LAYERS +
     crlf(b"1\tQ\t0\t0\t0\nCODE = Q : X = 1.000000 : Y = 1.000000 : "
          b"A = 1.000000\nR12\nL = 0.000000\nW = 0.000000\n") +
     point("1.0000", "1.0000"), drawing(point("1.0000", "1.0000"))),
]

# --- running them -----------------------------------------------------------


def run_case(command, case, windows=False):
    name, args, work_files, status, stdout, expected = case
    with tempfile.TemporaryDirectory() as work:
        for path, data in work_files.items():
            path = os.path.join(work, *path.split("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        before = set(os.listdir(work))
        done = subprocess.run(command + args, cwd=work, capture_output=True,
                              timeout=120)
        problems = []
        if done.returncode != status:
            problems.append(f"status: expected {status}, got {done.returncode}")
        if done.stdout != stdout:
            problems.append(f"stdout:\n  expected {stdout!r}\n"
                            f"  got      {done.stdout!r}")
        layer = args[0] if args else "none"
        if windows:
            layer = layer.replace("\\", "/")
        out = os.path.join(work, layer + ".dxf")
        if expected is None:
            created = set(os.listdir(work)) - before
            if created:
                problems.append(f"files created: {sorted(created)}")
        elif not os.path.isfile(out):
            problems.append("no drawing written")
        else:
            got = open(out, "rb").read()
            if got != expected:
                at = next((i for i, (a, b) in enumerate(zip(got, expected))
                           if a != b), min(len(got), len(expected)))
                problems.append(
                    f"drawing differs at byte {at}:\n"
                    f"  expected {expected[max(0, at - 40):at + 80]!r}\n"
                    f"  got      {got[max(0, at - 40):at + 80]!r}")
        return problems


def main(argv):
    verbose = None
    if argv and argv[0] == "--verbose":
        verbose, argv = argv[1], argv[2:]
    if argv and argv[0] == "--":
        argv = argv[1:]
    korvane, emulator = argv[0], argv[1:]
    windows = korvane.lower().endswith(".exe")
    suites = [(emulator + [korvane], CASES)]
    if windows:
        suites.append((emulator + [korvane], WINDOWS_CASES))
    if verbose:
        suites.append((emulator + [verbose], ECHO_CASES))
    passed = failed = 0
    for command, cases in suites:
        for case in cases:
            problems = run_case(command, case, windows)
            if problems:
                failed += 1
                print(f"FAIL {case[0]}")
                for p in problems:
                    print("  " + p)
            else:
                passed += 1
    print(f"e2e: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
