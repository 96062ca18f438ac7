#!/usr/bin/env python3
"""Draws the shipped example board, and a few placements of known geometry,
with the sample template fragments, then reads both drawings back with
independent DXF readers and checks that they see what korvane wrote.

usage: check_readers.py ezdxf|dime EXAMPLE_DIR DIME_READER|- KORVANE [EMULATOR...]
The optional emulator (wine, say) goes in front of korvane. Exits 77
(skipped) when the reader is not installed.
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from e2e import report  # noqa: E402

SKIP = 77

# Placements of known geometry: code, x, y, angle (columns 3 to 6 of the
# example layout); R12 is 10 by 4.
KNOWN = [("R12", "100", "50", "0"), ("R12", "100", "50", "90"),
         ("R12", "-2", "-5", "90"), ("NONE", "7.5", "-1.25", "30")]
KNOWN_LINES = [
    (95, 48, 95, 52), (95, 52, 105, 52), (105, 52, 105, 48), (105, 48, 95, 48),
    (102, 45, 98, 45), (98, 45, 98, 55), (98, 55, 102, 55), (102, 55, 102, 45),
    (0, -10, -4, -10), (-4, -10, -4, 0), (-4, 0, 0, 0), (0, 0, 0, -10),
    # NONE is not in the table: R12's size carries over, turned by 30.
    (4.1699, -5.4821, 2.1699, -2.0179), (2.1699, -2.0179, 10.8301, 2.9821),
    (10.8301, 2.9821, 12.8301, -0.4821), (12.8301, -0.4821, 4.1699, -5.4821),
]


def draw(korvane, example, work, name, xy=None, sizes=None, copies=1):
    """Runs korvane in a copy of the example directory, with --all on
    `copies` of the board's rows; returns the drawing's path."""
    folder = os.path.join(work, name)
    shutil.copytree(example, folder)
    xy_name = "board.txt"
    if copies > 1:
        with open(os.path.join(folder, xy_name), "rb") as f:
            heading, *rows = f.read().splitlines(keepends=True)
        xy_name = "all.txt"
        with open(os.path.join(folder, xy_name), "wb") as f:
            f.write(heading + b"".join(rows * copies))
        korvane = korvane + ["--all"]
    if xy is not None:
        xy_name = "known.txt"
        with open(os.path.join(folder, xy_name), "w") as f:
            f.write("ref\tvalue\tcode\tx\ty\tangle\n")
            for code, x, y, a in xy:
                f.write(f"P\t-\t{code}\t{x}\t{y}\t{a}\n")
    if sizes is not None:
        with open(os.path.join(folder, "size.txt"), "w") as f:
            f.write(sizes)
    subprocess.run(korvane + [name, xy_name], cwd=folder, check=True)
    return os.path.join(folder, name + ".dxf")


def written_lines(path):
    """The LINE entities as the drawing's text holds them: (layer, x1, y1,
    x2, y2), read group by group."""
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").split("\r\n")
    pairs = list(zip(lines[0::2], lines[1::2]))
    found, current = [], None
    for code, value in pairs:
        code = code.strip()
        if code == "0":
            if current:
                found.append(current)
            current = {} if value == "LINE" else None
        elif current is not None:
            current[code] = value
    if current:
        found.append(current)
    return [(e["8"], float(e["10"]), float(e["20"]), float(e["11"]),
             float(e["21"])) for e in found]


def same(a, b):
    return a[0] == b[0] and all(abs(p - q) < 5e-5 for p, q in zip(a[1:], b[1:]))


def read_with_ezdxf(path):
    import ezdxf  # strict reader: raises on a malformed drawing
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    if auditor.has_errors:
        raise AssertionError(f"audit errors: {[str(e) for e in auditor.errors]}")
    layers = {layer.dxf.name for layer in doc.layers}
    lines = [(e.dxf.layer, e.dxf.start.x, e.dxf.start.y, e.dxf.end.x,
              e.dxf.end.y) for e in doc.modelspace().query("LINE")]
    return layers, lines


def read_with_dime(path, reader):
    done = subprocess.run([reader, path], capture_output=True, text=True)
    if done.returncode != 0:
        raise AssertionError(f"libdime could not read {path}")
    layers, lines = set(), []
    for row in done.stdout.splitlines():
        kind, *rest = row.split(" ")
        if kind == "LAYER":
            layers.add(rest[0])
        else:
            lines.append((rest[0], *map(float, rest[1:])))
    return layers, lines


def check(reader_name, read, path, expected):
    layers, lines = read(path)
    problems = []
    for name in ("0", "center", "center2"):
        if name not in layers:
            problems.append(f"layer {name} missing: {sorted(layers)}")
    if len(lines) != len(expected):
        problems.append(f"{len(lines)} LINE entities, expected {len(expected)}")
    for i, (got, want) in enumerate(zip(lines, expected)):
        if not same(got, want):
            problems.append(f"LINE {i}: read {got}, expected {want}")
            break
    for p in problems:
        print(f"{reader_name}: {os.path.basename(path)}: {p}")
    return not problems


def main(argv):
    reader_name, example, dime_reader = argv[:3]
    korvane = argv[4:] + argv[3:4]  # the emulator, if any, goes first
    if reader_name == "ezdxf":
        try:
            import ezdxf  # noqa: F401
        except ImportError:
            print("ezdxf is not installed")
            return SKIP
        read = read_with_ezdxf
    else:
        if not os.path.exists(dime_reader):
            print("the libdime reader was not built")
            return SKIP
        read = lambda path: read_with_dime(path, dime_reader)  # noqa: E731
    with tempfile.TemporaryDirectory() as work:
        board = draw(korvane, example, work, "board")
        board_lines = written_lines(board)
        known = draw(korvane, example, work, "known", xy=KNOWN,
                     sizes="No\tCode\tLength\tWidth\n1\tR12\t10\t4\n")
        known_lines = [("center", *line) for line in KNOWN_LINES]
        every = draw(korvane, example, work, "every", copies=4)
        every_lines = written_lines(every)
        ok = len(board_lines) >= 160 and every_lines == board_lines * 4
        if not ok:
            print(f"the example board has only {len(board_lines)} lines")
        ok &= check(reader_name, read, board, board_lines)
        ok &= check(reader_name, read, known, known_lines)
        ok &= check(reader_name, read, every, every_lines)
        print(f"{reader_name}: {len(board_lines)} + {len(known_lines)} + "
              f"{len(every_lines)} LINE "
              f"entities read back {'as written' if ok else 'WRONG'}")
        return report(reader_name, [] if ok else ["LINE entities read wrong"])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
