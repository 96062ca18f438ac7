#!/usr/bin/env python3
"""End-to-end cases for korvane: each runs the built program in a fresh
working directory and compares its exit status, its standard output and
the drawing it leaves, byte for byte.

usage: e2e.py [--verbose VERBOSE_EXE] [--fail-reads SHIM SHARED_EXE] [--]
              KORVANE [EMULATOR...]
The optional emulator (wine, say) goes in front of each executable. On
Linux, for a KORVANE that is no .exe, the cases that need Linux run too;
SHIM is the preloadable library (tests/fail_reads.cc) that stages a read
error, preloaded into SHARED_EXE, korvane built to load the C library as a
shared one (the shipped program is linked statically); without them those
cases are left out.
"""

import contextlib
import math
import os
import random
import re
import resource
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


DBL_MAX = sys.float_info.max
SHORT_PI = 3.14159265


def held(v):
    return DBL_MAX if v > DBL_MAX else -DBL_MAX if v < -DBL_MAX else v


def turned(x, y, degrees):
    radians = held(degrees * SHORT_PI) * (1.0 / 180.0)
    c, s = math.cos(radians), math.sin(radians)
    return held(x * c - y * s), held(x * s + y * c)


def part(x, y, length, width):
    """The unturned outline of a part, computed step by step as korvane
    computes it, so that values at the edge of a double come out alike."""
    half_l, half_w = length * 0.5, width * 0.5
    minus_l, minus_w = -1 * length * 0.5, -1 * width * 0.5
    corners = []
    for cx, cy in ((minus_l, minus_w), (minus_l, half_w), (half_l, half_w),
                   (half_l, minus_w)):
        cx, cy = turned(cx, cy, 0.0)
        cx, cy = turned(held(cx + 0.0), held(cy + 0.0), 0.0)
        corners.append((held(x + cx), held(y + cy)))
    text = ["%.4f %.4f" % c for c in corners]
    return outline(*(f"{text[i]} {text[(i + 1) % 4]}" for i in range(4)))


# R12 (10 by 4) and R15 (20 by 8) unturned at (100, 50).
BOX_0 = R12_AT_100_50 = part(100, 50, 10, 4)
R15_AT_100_50 = part(100, 50, 20, 8)
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


# A real footprint name, longer than 31 characters.
AXIAL = b"R_Axial_DIN0207_L6.3mm_D2.5mm_P10.16mm_Horizontal_"

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
    ("a byte order mark before the first setting", ["plate1", "b.txt"],
     files(lumbrex_ini=b"\xef\xbb\xbf" + SETTINGS,
           b_txt=xy(b"1\tR12\t100\t50\t0")), 0, b"", drawing(BOX_0)),
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
     drawing(part(1, 1, 10, 4), point("2.0000", "2.0000"))),
    ("long codes sharing 31 characters each get their own size",
     ["plate1", "b.txt"],
     files(b_txt=xy(b"1\t" + AXIAL + b"0\t100\t50\t0",
                    b"2\t" + AXIAL + b"7\t100\t50\t0"),
           size_txt=b"h\n1\t" + AXIAL + b"7\t20\t8\n2\t" + AXIAL +
           b"0\t10\t4\n"), 0, b"", drawing(R12_AT_100_50, R15_AT_100_50)),
    ("a whole long code wins over an earlier row of its first 31",
     ["plate1", "b.txt"], files(b_txt=xy(b"1\t" + AXIAL + b"7\t100\t50\t0"),
                                size_txt=b"h\n1\t" + AXIAL[:31] + b"\t1\t1\n"
                                b"2\t" + AXIAL.lower() + b"7\t20\t8\n"),
     0, b"", drawing(R15_AT_100_50)),
    ("a long code falls back to the first row of its first 31",
     ["plate1", "b.txt"], files(b_txt=xy(b"1\t" + AXIAL + b"7\t100\t50\t0"),
                                size_txt=b"h\n1\t" + AXIAL + b"0\t1\t1\n"
                                b"2\t" + AXIAL[:31] + b"\t20\t8\n"
                                b"3\t" + AXIAL[:31] + b"\t1\t1\n"),
     0, b"", drawing(R15_AT_100_50)),
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
     drawing(part(0, 0, 2, 2))),
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
    # --all before the two arguments draws every placement.
    ("--all draws past the 100th, the size carried over",
     ["--all", "plate1", "b.txt"], files(b_txt=xy(
         b"1\tR15\t100\t50\t0", *[b"2\tXX\t100\t50\t0"] * 149)), 0, b"",
     drawing(*[R15_AT_100_50] * 150)),
    ("--all and one argument is a plain run", ["--all", "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50\t0")), 0, b"", drawing(BOX_0)),
]
# --all changes nothing else: the usage lines, the version, an empty line.
CASES += [("--all, " + name, ["--all", *args], *rest)
          for name, args, *rest in CASES if name in (
              "no arguments", "three arguments", "version",
              "an empty line ends the list")]

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

# --- inputs far past the formats ------------------------------------------
# Every case ends with the status a normal run gives; none may crash, and
# the sanitizer build runs the same table.

def text_rules(data):
    """What a template looks like in the drawing: CRs dropped, cut at the
    first Ctrl-Z, every LF written as CR LF."""
    return crlf(data.split(b"\x1a")[0].replace(b"\r", b""))


COORDINATE = re.compile(rb"   -?[0-9]+\.[0-9]{4}")
LINE_LINES = [b"  0", b"LINE", b"  8", b"center", b"  6", b"CONTINUOUS",
              b" 62", b"    1", b" 10", COORDINATE, b" 20", COORDINATE, b" 11",
              COORDINATE, b" 21", COORDINATE]


def well_formed(head=crlf(HEAD), mid=crlf(MID), tail=crlf(TAIL)):
    """A check of a drawing whose outlines are not known in advance: the
    framework stands, and between it stand at most 100 whole outlines
    whose coordinates are plain numbers."""
    def check(got):
        start = head + LAYERS + mid
        if not got.startswith(start) or not got.endswith(tail):
            return "templates or layers out of place"
        body = got[len(start):len(got) - len(tail)]
        lines = body.split(b"\r\n")
        if lines.pop() != b"":
            return "the outlines do not end with a line end"
        if len(lines) % 64 or len(lines) > 100 * 64:
            return f"{len(lines)} lines are not whole outlines, 100 at most"
        for i, text in enumerate(lines):
            want = LINE_LINES[i % 16]
            if not (want.fullmatch(text) if isinstance(want, re.Pattern)
                    else want == text):
                return f"line {i} of the outlines is {text[:60]!r}"
        return None
    return check


class Link:
    """A symbolic link to `target` in place of a file's content."""

    def __init__(self, target):
        self.target = target


class HardLink(Link):
    """A second name for the file `target` of the same directory."""


class SameAs:
    """The drawing a run over other files gives (status aside)."""

    def __init__(self, work_files):
        self.files = work_files


def as_nobody(work, folder_mode, writable=()):
    """Readies `work` for a run as the user nobody: the named files writable
    by all, then the folder given `folder_mode`. Returns the preexec_fn that
    drops to nobody, or None when the tests do not run as root."""
    if not hasattr(os, "geteuid") or os.geteuid() != 0:
        return None
    import pwd
    user = pwd.getpwnam("nobody")
    for name in writable:
        os.chmod(os.path.join(work, name), 0o666)
    os.chmod(work, folder_mode)

    def drop():
        os.setgid(user.pw_gid)
        os.setuid(user.pw_uid)
    return drop


def garbage(seed, size, alphabet=None):
    rng = random.Random(seed)
    if alphabet is None:
        return rng.randbytes(size)
    return b"".join(rng.choice(alphabet) for _ in range(size))


# Bytes that make garbage look like rows: separators, number parts, codes.
ROWLIKE = [b"\t", b"\t", b"\n", b"1", b"9", b"0", b".", b"-", b"+", b"e",
           b"R12", b"R15", b" ", b"\r", b"\0", b"\xff", b"x"]
MEGABYTE = 1 << 20
MILLION_ROWS = b"no\tcode\tlength\twidth\n" + b"".join(
    b"%d\tC%d\t1\t1\n" % (i, i) for i in range(1_000_000 - 1)) + \
    b"last\tR12\t10\t4\n"
LONG_ROW = xy(b"1\tR12\t100\t50\t0\t" + b"x" * MEGABYTE)
# korvane reads its inputs in blocks of this many bytes.
READ_BLOCK = 64 * 1024
# Rows long enough that the first block ends well before the 100th.
PADDED_XY = xy(*[b"%d\tR12\t100\t50\t0\t%s" % (i, b"p" * 1200)
                 for i in range(150)])
NO_LF = {"lumbrex_ini": b"x = 3\ny = 4\na = 5\ncode = 2",
         "size_txt": b"no\tcode\n1\tR12\t10\t4",
         "b_txt": b"h\n1\tR12\t100\t50\t0", "dxf11_txt": b"head",
         "dxf12_txt": b"mid", "dxf13_txt": b"tail"}

BAD_INPUT_CASES = [
    ("an xy line of a megabyte", ["plate1", "b.txt"], files(b_txt=LONG_ROW),
     0, b"", drawing(BOX_0)),
    ("a megabyte line keeps only its start", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\t" + b"R" * MEGABYTE + b"\t100\t50\t0",
                    b"2\tR12\t100\t50\t0")), 0, b"",
     drawing(point("0.0000", "0.0000"), BOX_0)),
    ("a megabyte heading without a line end", ["plate1", "b.txt"],
     files(b_txt=b"h" * MEGABYTE), 0, b"", drawing()),
    ("a code of 1000 characters", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12" + b"z" * 997 + b"\t100\t50\t0")), 0, b"",
     drawing(point("100.0000", "50.0000"))),
    ("a code is cut to 31 characters", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\t" + b"Q" * 1000 + b"\t100\t50\t0"),
           size_txt=b"h\n1\t" + b"q" * 31 + b"\t10\t4\n"), 0, b"",
     drawing(BOX_0)),
    ("numeric fields of 1000 digits", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t" + b"1" * 1000 + b"\t" + b"0." + b"0" * 997 +
                    b"1\t" + b"0" * 999 + b"1")), 0, b"",
     drawing(part(float("1" * 31), 0.0, 10, 4))),
    ("a settings line of 100000 characters", ["plate1", "b.txt"],
     files(lumbrex_ini=b" " * 99992 + b"code = 9\n" + SETTINGS,
           b_txt=xy(b"1\tR12\t100\t50\t0")), 0, b"", drawing(BOX_0)),
    ("a settings value of 100000 digits", ["plate1", "b.txt"],
     files(lumbrex_ini=SETTINGS.replace(b"x = 3", b"x = " + b"9" * 100000),
           b_txt=xy(b"7\tR12\t100\t50\t0")), 0, b"",
     drawing(part(0.0, 50.0, 10, 4))),
    ("settings values past an int", ["plate1", "b.txt"],
     files(lumbrex_ini=b"x = -99999999999999\ny = 4\na = 5\n"
                       b"code = 99999999999999999999\nend\n",
           b_txt=xy(b"7\tR12\t100\t50\t0")), 0, b"",
     drawing(point("7.0000", "50.0000"))),
    ("a size-table line of 100000 characters", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR15\t100\t50\t0"),
           size_txt=b"h\n" + b"z" * 100000 + b"\tR15\t1\t1\n" + SIZES), 0,
     b"", drawing(R15_AT_100_50)),
    ("a size table of a million rows", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50\t0"), size_txt=MILLION_ROWS), 0, b"",
     drawing(BOX_0)),
    ("binary garbage as the xy file", ["plate1", "b.txt"],
     files(b_txt=garbage(1, 65536)), 0, b"", well_formed()),
    ("row-like garbage as the xy file", ["plate1", "b.txt"],
     files(b_txt=garbage(2, 20000, ROWLIKE)), 0, b"", well_formed()),
    ("binary garbage as the settings", ["plate1", "b.txt"],
     files(lumbrex_ini=garbage(3, 65536),
           b_txt=garbage(4, 5000, ROWLIKE)), 0, b"", well_formed()),
    ("binary garbage as the size table", ["plate1", "b.txt"],
     files(size_txt=garbage(5, 65536),
           b_txt=garbage(6, 5000, ROWLIKE)), 0, b"", well_formed()),
    ("row-like garbage as the size table", ["plate1", "b.txt"],
     files(size_txt=garbage(7, 20000, ROWLIKE),
           b_txt=garbage(8, 5000, ROWLIKE)), 0, b"", well_formed()),
    ("binary garbage as the templates", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50\t0"),
           dxf11_txt=garbage(9, 70000), dxf12_txt=garbage(10, 300),
           dxf13_txt=garbage(11, 40000).replace(b"\x1a", b"")), 0, b"",
     drawing(BOX_0, head=text_rules(garbage(9, 70000)),
             mid=text_rules(garbage(10, 300)),
             tail=text_rules(garbage(11, 40000).replace(b"\x1a", b"")))),
    ("a NUL ends a row's text", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\0\t9\t9\t9\t", b"2\tR12\t100\t50\t0")), 0, b"",
     drawing(part(0.0, 0.0, 10, 4), BOX_0)),
    ("a row starting with NUL ends the list", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50\t0", b"\0\tR12\t1\t1\t0")), 0, b"",
     drawing(BOX_0)),
    ("NUL in the settings and the size table", ["plate1", "b.txt"],
     files(lumbrex_ini=b"x = 3\0 = 9\ny = 4\na = 5\ncode = 2\0\nend\n",
           size_txt=b"h\n1\tR12\0\t1\t1\n2\tR12\t10\t4\n",
           b_txt=xy(b"1\tR12\t100\t50\t0")), 0, b"",
     drawing(point("100.0000", "50.0000"))),
    ("NUL in a template is copied", ["plate1", "b.txt"],
     files(dxf12_txt=b"m\0d\n", b_txt=xy()), 0, b"",
     drawing(mid=b"m\0d\r\n")),
    ("no file has a line end", ["plate1", "b.txt"], files(**NO_LF), 0, b"",
     drawing(BOX_0, head=b"head", mid=b"mid", tail=b"tail")),
    ("a layer name too long for a file name", ["L" * 5000, "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50\t0")), 255, b"", None),
    ("a drawing name that is a directory", ["plate1", "b.txt"],
     {**files(b_txt=xy(b"1\tR12\t100\t50\t0")), "plate1.dxf/keep": b""},
     255, b"", None),
    ("a size table of one line without a line end", ["plate1", "b.txt"],
     files(size_txt=b"1\tR12\t10\t4", b_txt=xy(b"1\tR12\t100\t50\t0")), 0,
     b"", drawing(point("100.0000", "50.0000"))),
]

# Ctrl-Z anywhere ends that file there, as if the file were cut.
ZXY = xy(b"1\tR12\t100\t50\t90", b"2\tr15\t-3.5\t7e1\t30")
CTRL_Z_CASES = [
    (f"Ctrl-Z at byte {i} of {name}", ["plate1", "b.txt"],
     files(**{key: data[:i] + b"\x1a" + data[i:]}, **rest), 0, b"",
     SameAs(files(**{key: data[:i]}, **rest)))
    for name, key, data, rest in [
        ("the xy file", "b_txt", ZXY, {}),
        ("the settings", "lumbrex_ini", SETTINGS, {"b_txt": ZXY}),
        ("the size table", "size_txt", SIZES, {"b_txt": ZXY}),
        ("a template", "dxf12_txt", b"a\r\nb\n", {"b_txt": ZXY})]
    for i in range(len(data) + 1)]

# Numbers no double holds, and arithmetic that overflows, are held at the
# largest double of their sign; too small ones become zeros.
NUMBER_CASES = [
    ("positions past a double", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t1e999\t-1e400\t0")), 0, b"",
     drawing(part(DBL_MAX, -DBL_MAX, 10, 4))),
    ("positions below a double", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tXX\t1e-999\t-1e-400\t0")), 0, b"",
     drawing(part(0.0, -0.0, 0, 0))),
    ("sizes past a double", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR99\t0\t0\t0"),
           size_txt=b"h\n1\tR99\t" + b"9" * 1000 + b"\t-1e999\n"), 0, b"",
     drawing(part(0.0, 0.0, DBL_MAX, -DBL_MAX))),
    ("sums past a double", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR99\t1.7e308\t-1.7e308\t0"),
           size_txt=b"h\n1\tR99\t1.5e308\t1.5e308\n"), 0, b"",
     drawing(part(1.7e308, -1.7e308, 1.5e308, 1.5e308))),
    ("huge parts turned by huge angles", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR99\t1e308\t-1e308\t1e999",
                    b"2\tR99\t-1e308\t1e308\t-1e308",
                    b"3\tR99\t1e308\t1e308\t45"),
           size_txt=b"h\n1\tR99\t1.7e308\t1.7e308\n"), 0, b"",
     well_formed()),
    ("names of infinity and not-a-number are no numbers", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\tinf\tNaN\tinfinity",
                    b"2\tR12\t0x64\t-nan\t0e+")), 0, b"",
     drawing(part(0.0, 0.0, 10, 4), part(0.0, 0.0, 10, 4))),
]

# Faults only Linux can stage: links, /dev/full, /proc and a shim that
# fails reads. Each case may carry options for the run.
OLD = b"the previous drawing\r\n"
LINUX_CASES = [
    ("a full disk fails the run", ["full", "b.txt"],
     files(full_dxf=Link("/dev/full"), b_txt=xy(b"1\tR12\t100\t50\t0")), 255,
     b"", None),
    ("a full disk fails a run without placements", ["full", "b.txt"],
     files(full_dxf=Link("/dev/full"), b_txt=xy(), dxf11_txt=None,
           dxf12_txt=None, dxf13_txt=None), 255, b"", None),
    ("the version fails on a full standard output", ["sys", "ver"], files(),
     255, None, None, {"stdout": "/dev/full"}),
    ("the usage lines fail on a full standard output", ["x"], files(),
     255, None, None, {"stdout": "/dev/full"}),
    ("the version fails on a pipe without a reader", ["sys", "ver"], files(),
     255, None, None, {"stdout": "broken pipe"}),
    ("a file-size limit fails the run, the new file removed",
     ["plate1", "b.txt"], files(b_txt=xy(b"1\tR12\t100\t50\t0"),
                                plate1_dxf=OLD), 255, b"", OLD,
     {"file_size": 100}),
    ("a silent run ignores a full standard output", ["plate1", "b.txt"],
     files(b_txt=xy(b"1\tR12\t100\t50\t0")), 0, None, drawing(BOX_0),
     {"stdout": "/dev/full"}),
    ("the drawing may not replace the xy file through a link",
     ["plate", "b.txt"], files(b_txt=ZXY, plate_dxf=Link("b.txt")), 255, b"",
     ZXY),
    ("the xy file may not be reached through a link either",
     ["plate", "link.txt"], files(plate_dxf=ZXY, link_txt=Link("plate.dxf")),
     255, b"", ZXY),
    ("the drawing may not replace the xy file by a hard link",
     ["plate", "b.txt"], files(b_txt=ZXY, plate_dxf=HardLink("b.txt")), 255,
     b"", ZXY),
    ("a read error at the start of the xy file", ["plate1", "/proc/self/mem"],
     files(), 255, b"", None),
    ("a read error in the middle of the xy file", ["plate1", "b.txt"],
     files(b_txt=PADDED_XY, plate1_dxf=OLD), 255, b"", OLD,
     {"fail_reads": "b.txt", "fail_reads_after": 1}),
    ("a read error before the first byte of the xy file", ["plate1", "b.txt"],
     files(b_txt=PADDED_XY), 255, b"", None,
     {"fail_reads": "b.txt", "fail_reads_after": 0}),
    *[(f"a read error in {name} keeps the previous drawing",
       ["plate1", "b.txt"],
       files(b_txt=xy(b"1\tR12\t100\t50\t0"), plate1_dxf=OLD), 255, b"",
       OLD, {"fail_reads": name, "fail_reads_after": 0})
      for name in ["lumbrex.ini", "size.txt", "dxf11.txt", "dxf12.txt",
                   "dxf13.txt"]],
    ("the drawing may not replace size.txt through a link",
     ["plate", "b.txt"], files(b_txt=ZXY, plate_dxf=Link("size.txt")), 255,
     b"", SIZES),
    ("the drawing may not replace a template through a link",
     ["plate", "b.txt"], files(b_txt=ZXY, plate_dxf=Link("dxf13.txt")), 255,
     b"", TAIL),
    ("the drawing may not replace the settings by a hard link",
     ["plate", "b.txt"], files(b_txt=ZXY, plate_dxf=HardLink("lumbrex.ini")),
     255, b"", SETTINGS),
    ("inputs may be links", ["plate1", "b.txt"],
     {**files(b_txt=Link("in/b.txt"), size_txt=Link("in/size.txt")),
      "in/b.txt": xy(b"1\tR12\t100\t50\t0"), "in/size.txt": SIZES}, 0, b"",
     drawing(BOX_0)),
    ("a link to a drawing stays, its file is replaced", ["plate1", "b.txt"],
     {**files(b_txt=xy(b"1\tR12\t100\t50\t0"),
              plate1_dxf=Link("out/real.dxf")), "out/real.dxf": OLD}, 0, b"",
     drawing(BOX_0)),
    ("a link to nowhere gets its file", ["plate1", "b.txt"],
     {**files(b_txt=xy(b"1\tR12\t100\t50\t0"),
              plate1_dxf=Link("out/new.dxf")), "out/keep": b""}, 0, b"",
     drawing(BOX_0)),
    ("a device is written in place", ["null", "b.txt"],
     files(null_dxf=Link("/dev/null"), b_txt=xy(b"1\tR12\t100\t50\t0")), 0,
     b"", None),
]

# --- running them -----------------------------------------------------------


def outlines(dxf):
    """The corners of each outline in the drawing, P0 to P3."""
    lines = dxf.decode("latin-1").split("\r\n")
    points = [(float(lines[i + 8]), float(lines[i + 10]))
              for i, text in enumerate(lines) if text == "LINE"]
    return [points[i:i + 4] for i in range(0, len(points), 4)]


def lay_out(work, work_files):
    """Writes the files, then makes the links among them."""
    for path, data in sorted(work_files.items(),
                             key=lambda item: isinstance(item[1], Link)):
        path = os.path.join(work, *path.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if isinstance(data, HardLink):
            os.link(os.path.join(work, data.target), path)
        elif isinstance(data, Link):
            os.symlink(data.target, path)
        else:
            with open(path, "wb") as f:
                f.write(data)


def drawn_layer(args):
    """The layer name of korvane's arguments: the first, or after --all."""
    return (args or ["none"])[args[:1] == ["--all"] and len(args) == 3]


def sink(name):
    """Where standard output goes: captured (None), a file, or a pipe
    without a reader."""
    if name is None:
        return contextlib.nullcontext(subprocess.PIPE)
    if name != "broken pipe":
        return open(name, "wb")
    read, write = os.pipe()
    os.close(read)
    return os.fdopen(write, "wb")


def run_with(command, work, options, env=None):
    """Runs `command` in `work` under the options: "stdout" as for sink,
    "file_size" and "memory" limits in bytes, "drop" a preexec_fn from
    as_nobody run last."""
    def limit():
        for which, key in ((resource.RLIMIT_FSIZE, "file_size"),
                           (resource.RLIMIT_AS, "memory")):
            if key in options:
                resource.setrlimit(which, (options[key],) * 2)
        if options.get("drop"):
            options["drop"]()
    with sink(options.get("stdout")) as out:
        return subprocess.run(command, cwd=work, stdout=out, env=env,
                              stderr=subprocess.PIPE, preexec_fn=limit,
                              timeout=120)


def run_in(command, args, work_files, options):
    """Runs korvane over the files in a fresh directory. Returns the run,
    the drawing (None when there is none), the files it created and the
    files it removed."""
    with tempfile.TemporaryDirectory() as work:
        lay_out(work, work_files)
        before = set(os.listdir(work))
        env = dict(os.environ)
        if "fail_reads" in options:
            # The shim goes first, also before a sanitizer's runtime.
            asan = env.get("ASAN_OPTIONS", "")
            env.update(LD_PRELOAD=options["preload"],
                       ASAN_OPTIONS=asan + ":verify_asan_link_order=0",
                       KORVANE_FAIL_READS=options["fail_reads"],
                       KORVANE_FAIL_READS_AFTER=str(
                           options["fail_reads_after"]))
        done = run_with(command + args, work, options, env)
        after = set(os.listdir(work))
        replaced_links = [p for p, v in work_files.items()
                          if type(v) is Link and
                          not os.path.islink(os.path.join(work, p))]
        layer = drawn_layer(args)
        if command[-1].lower().endswith(".exe"):
            layer = layer.replace("\\", "/")  # a Windows path
        out = os.path.join(work, layer + ".dxf")
        got = None
        if os.path.isfile(out) and not os.path.realpath(out).startswith(
                "/dev/"):
            got = open(out, "rb").read()
        return done, got, after - before, before - after, replaced_links


def compare_drawing(expected, got, command, args, options):
    if expected is None:
        return []
    if got is None:
        return ["no drawing written"]
    if isinstance(expected, SameAs):
        expected = run_in(command, args, expected.files,
                          {k: v for k, v in options.items()
                           if k == "stdout"})[1]
    elif callable(expected):
        problem = expected(got)
        return [f"drawing: {problem}"] if problem else []
    if got == expected:
        return []
    at = next((i for i, (a, b) in enumerate(zip(got, expected)) if a != b),
              min(len(got), len(expected)))
    return [f"drawing differs at byte {at}:\n"
            f"  expected {expected[max(0, at - 40):at + 80]!r}\n"
            f"  got      {got[max(0, at - 40):at + 80]!r}"]


def run_case(command, case, preload=None, quiet_stderr=True):
    name, args, work_files, status, stdout, expected = case[:6]
    options = dict(case[6]) if len(case) > 6 else {}
    options["preload"] = preload
    done, got, created, removed, replaced_links = run_in(
        command, args, work_files, options)
    problems = []
    drawing_name = os.path.basename(drawn_layer(args).replace("\\", "/"))
    if created - {drawing_name + ".dxf"}:
        problems.append(f"stray files: {sorted(created)}")
    if replaced_links:
        problems.append(f"links replaced by files: {replaced_links}")
    if done.returncode != status:
        problems.append(f"status: expected {status}, got {done.returncode}")
    if stdout is not None and done.stdout != stdout:
        problems.append(f"stdout:\n  expected {stdout!r}\n"
                        f"  got      {done.stdout!r}")
    if quiet_stderr and done.stderr:
        problems.append(f"stderr: {done.stderr[:2000]!r}")
    if removed:
        problems.append(f"files removed: {sorted(removed)}")
    if expected is None and created:
        problems.append(f"files created: {sorted(created)}")
    return problems + compare_drawing(expected, got, command, args, options)


def report(title, problems):
    """For a test that is one check: prints its problems, then the count
    line run_table prints. Returns the exit status."""
    return run_table(title, [(title, lambda: problems)])


def run_table(title, runs):
    """Runs each (name, test) pair, where test() returns a list of problems;
    prints every failure with its problems, then the count. Returns the
    exit status."""
    failed = 0
    for name, test in runs:
        problems = test()
        if problems:
            failed += 1
            print(f"FAIL {name}\n  " + "\n  ".join(problems))
    print(f"{title}: {len(runs) - failed} passed, {failed} failed")
    return 1 if failed else 0


def nobody_table(title, runs):
    """Runs the cases of --as-nobody, which need Linux (`runs` not None) and
    root; without them ends with 77, a skipped test's status."""
    if runs is None or os.geteuid() != 0:
        print("SKIP the cases run as nobody: they need Linux and root")
        return 77
    return run_table(title + " as nobody", runs)


def main(argv):
    verbose = fail_reads = shared = None
    while argv and argv[0] in ("--verbose", "--fail-reads"):
        if argv[0] == "--verbose":
            verbose = argv[1]
            argv = argv[2:]
        else:
            fail_reads, shared = os.path.abspath(argv[1]), argv[2]
            argv = argv[3:]
    if argv and argv[0] == "--":
        argv = argv[1:]
    korvane, emulator = argv[0], argv[1:]
    windows = korvane.lower().endswith(".exe")
    suites = [(emulator + [korvane],
               CASES + BAD_INPUT_CASES + CTRL_Z_CASES + NUMBER_CASES)]
    if windows:
        suites.append((emulator + [korvane], WINDOWS_CASES))
    if verbose:
        suites.append((emulator + [verbose], ECHO_CASES))
    # Links, /dev/full and /proc are Linux's; an .exe runs elsewhere.
    if sys.platform.startswith("linux") and not korvane.endswith(".exe"):
        faults = [c for c in LINUX_CASES
                  if len(c) > 6 and "fail_reads" in c[6]]
        suites.append((emulator + [korvane],
                       [c for c in LINUX_CASES if c not in faults]))
        if fail_reads:
            suites.append(([shared], faults))
    # korvane writes nothing to standard error; an emulator may.
    quiet_stderr = not emulator and not korvane.endswith(".exe")
    return run_table("e2e", [
        (case[0], lambda c=case, k=command: run_case(k, c, fail_reads,
                                                     quiet_stderr))
        for command, cases in suites for case in cases])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
