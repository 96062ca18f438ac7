#!/usr/bin/env python3
"""korvane-check --svg: the picture parsed back as XML. On the example board
each drawn part is one closed path whose corners are the drawing's LINE end
points, and the marked parts are exactly those with findings; generated
boards check the placements left out and labels that are not plain text.

usage: svg_test.py KORVANE KORVANE_CHECK SOURCE_DIR [EMULATOR...]
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

NS = "{http://www.w3.org/2000/svg}"


def run(command, work):
    return subprocess.run(command, cwd=work, capture_output=True)


def dxf_lines(path):
    """The (x1, y1, x2, y2) of every LINE entity, in order."""
    text = open(path, encoding="latin-1").read().split("\n")
    pairs = [(c.strip(), v.strip()) for c, v in zip(text[::2], text[1::2])]
    lines, current = [], None
    for code, value in pairs:
        if code == "0":
            current = {} if value == "LINE" else None
            if current is not None:
                lines.append(current)
        elif current is not None and code in ("10", "20", "11", "21"):
            current[code] = float(value)
    return [(d["10"], d["20"], d["11"], d["21"]) for d in lines]


def parts(svg_path):
    """Each part's corners (Y up again), hover title and mark, and the
    legend's text."""
    root = ET.parse(svg_path).getroot()
    found = []
    for path in root.iter(NS + "path"):
        d = path.get("d")
        numbers = [float(n) for n in re.findall(r"-?[\d.]+", d)]
        closed = re.fullmatch(r"M[^MLZ]+L[^MLZ]+Z", d) is not None
        corners = [(x, -y) for x, y in zip(numbers[::2], numbers[1::2])]
        found.append((closed, corners, path.find(NS + "title").text,
                      path.get("class") == "w"))
    texts = "\n".join(t.text or "" for t in root.iter(NS + "text"))
    return found, texts, root


def decimals(svg_path):
    return max(len(n) for n in re.findall(r"\.(\d+)", open(svg_path).read()))


def check_example(korvane, check, source_dir, work):
    shutil.copytree(os.path.join(source_dir, "examples", "board"), work)
    run(korvane + ["board", "board.txt"], work)
    done = run(check + ["--svg", "board.svg", "--label", "1", "board",
                        "board.txt"], work)
    problems = [] if done.returncode == 1 else [f"status {done.returncode}"]
    svg = os.path.join(work, "board.svg")
    found, _, _ = parts(svg)
    lines = dxf_lines(os.path.join(work, "board.dxf"))
    tolerance = 0.5 * 10 ** -decimals(svg) + 0.5e-4 + 1e-9
    if len(found) * 4 != len(lines):
        problems.append(f"{len(found)} paths for {len(lines)} LINEs")
    for i, (closed, corners, title, _) in enumerate(found):
        ends = [line[:2] for line in lines[4 * i:4 * i + 4]]
        far = max(abs(a - b) for c, e in zip(corners, ends)
                  for a, b in zip(c, e))
        if not closed or len(corners) != 4 or far > tolerance:
            problems.append(f"{title}: {corners} against {ends}")
    rows = open(os.path.join(work, "board.txt")).read().split("\n")
    findings = {}
    for line in done.stdout.decode().splitlines():
        at = re.match(r"board\.txt:(\d+): ", line)
        if at:
            findings.setdefault(rows[int(at[1]) - 1].split("\t")[0], []) \
                .append(line)
    marked = {t.split("\n")[0]: t for _, _, t, w in found if w}
    if marked.keys() != findings.keys() or not marked or any(
            line not in marked[part].split("\n")
            for part, lines in findings.items() for line in lines):
        problems.append(f"marked {marked}, findings {findings}")
    print(f"example: {len(found)} parts, {os.path.getsize(svg)} bytes, "
          f"{os.path.getsize(svg) / len(found):.0f} a part")
    return problems


HEAD = "ref\tcode\tx\ty\ta\n"
ROW = "R{0}\tR12\t{0}\t5\t0\n"
# (name, xy file, --label, parts drawn, titles, legend text expected)
CASES = [
    ("past the 100th", HEAD + "".join(ROW.format(i) for i in range(125)),
     "1", 100, [], "board.txt:102: R100 'R12', past the 100th placement"),
    ("left out in all", HEAD + "".join(ROW.format(i) for i in range(125)),
     "1", 100, [], "and 5 more"),
    ("after an empty line", HEAD + ROW.format(1) + "\n" + ROW.format(2),
     None, 1, ["2"], "board.txt:4: 'R12', after the empty line 3"),
    ("markup and bytes", HEAD + "<&\"'\xff>\tR12\t1\t1\t0\n", "1", 1,
     ["<&\"'\ufffd>"], ""),
    ("one finding for a code on three lines", HEAD + 3 * "R1\tXX\t1\t1\t0\n",
     None, 3, ["2", "3", "4"], "3 with a finding, ringed"),
    ("parts too small to see", HEAD + ROW.format(1) + ROW.format(5000), None, 2,
     ["2", "3"], "2 too small to see at this size, each in a pale disc"),
]


def check_case(check, work, case):
    name, xy, label, count, titles, legend = case
    os.makedirs(work)
    with open(os.path.join(work, "lumbrex.ini"), "w") as f:
        f.write("code = 2\nx = 3\ny = 4\na = 5\nend\n")
    with open(os.path.join(work, "size.txt"), "w") as f:
        f.write("no\tcode\tl\tw\n1\tR12\t1\t0.5\n")
    with open(os.path.join(work, "board.txt"), "wb") as f:
        f.write(xy.encode("latin-1"))
    labels = ["--label", label] if label else []
    run(check + ["--svg", "b.svg"] + labels + ["b", "board.txt"], work)
    found, texts, _ = parts(os.path.join(work, "b.svg"))
    got = [t.split("\n")[0] for _, _, t, _ in found]
    if len(found) != count or got[:len(titles)] != titles or \
            legend not in texts:
        return [f"{name}: {len(found)} parts, titles {got[:3]}, legend "
                f"{texts[-300:]!r}"]
    return []


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    emulator = argv[3:]
    korvane = emulator + [os.path.abspath(argv[0])]
    check = emulator + [os.path.abspath(argv[1])]
    failed = 0
    with tempfile.TemporaryDirectory() as scratch:
        results = [check_example(korvane, check, argv[2],
                                 os.path.join(scratch, "board"))]
        results += [check_case(check, os.path.join(scratch, str(i)), case)
                    for i, case in enumerate(CASES)]
    for problems in results:
        failed += bool(problems)
        for problem in problems:
            print("FAIL " + problem)
    print(f"svg: {len(results) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
