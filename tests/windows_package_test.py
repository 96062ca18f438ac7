#!/usr/bin/env python3
"""The Windows release zip: its listing, then, unpacked and run under wine,
run-example.cmd and names outside ASCII draw what the Linux build draws.
usage: windows_package_test.py BUILD_DIR CPACK VERSION PROGRAM,...
                               LINUX_KORVANE -- EMULATOR..."""

import os
import re
import shutil
import subprocess
import sys
import tempfile

from e2e import report
import zipfile

EXAMPLE = ["dxf11.txt", "dxf12.txt", "dxf13.txt", "board.txt", "lumbrex.ini",
           "size.txt", "run-example.cmd"]
# korvane.exe in a copy of the example with board.txt renamed:
# (case, layer name, xy file name).
NAME_CASES = [
    ("Chinese layer, umlaut xy file", "基板-1", "Platine-Größe.txt"),
    ("umlaut layer, Chinese xy file", "Platine-Größe", "基板-1.txt"),
]


def listing(programs):
    return sorted(["README.txt", "doc/README.html", "doc/board.png",
                   "doc/board_check.png"] +
                  ["samples/" + name for name in EXAMPLE[:3]] +
                  ["example/" + name for name in EXAMPLE] +
                  [f"bin/{p}.exe" for p in programs] +
                  [f"doc/{p}.html" for p in programs])


def check_runs(top, emulator, linux_korvane, scratch):
    linux = shutil.copytree(f"{top}/example", f"{scratch}/linux")
    subprocess.run([linux_korvane, "board", "board.txt"], cwd=linux,
                   check=True)
    expected = open(f"{linux}/board.dxf", "rb").read()
    runs = [("run-example.cmd", ["cmd", "/c", "run-example.cmd"],
             f"{top}/example", "board.dxf")]
    for number, (name, layer, xy) in enumerate(NAME_CASES):
        work = shutil.copytree(linux, f"{scratch}/{number}")
        os.rename(f"{work}/board.txt", f"{work}/{xy}")
        runs.append((name, [f"{top}/bin/korvane.exe", layer, xy], work,
                     layer + ".dxf"))
    problems = []
    for name, args, cwd, drawing in runs:
        # wine reads Unix file names in the locale's character set.
        done = subprocess.run(emulator + args, cwd=cwd, capture_output=True,
                              env=dict(os.environ, LC_ALL="C.UTF-8"))
        path = f"{cwd}/{drawing}"
        if done.returncode or not os.path.isfile(path):
            problems.append(f"{name}: status {done.returncode}, no {path}")
        elif open(path, "rb").read() != expected:
            problems.append(f"{name}: {path} differs from the Linux build's")
    return problems


def main(build_dir, cpack, version, programs, linux_korvane, _, *emulator):
    if not os.access(linux_korvane, os.X_OK):
        print(f"no {linux_korvane}: build the `test` workflow first")
        return 1 if os.environ.get("KORVANE_REQUIRE_TOOLS") else 77
    with tempfile.TemporaryDirectory() as scratch:
        subprocess.run([cpack, "-G", "ZIP", "-B", scratch], cwd=build_dir,
                       check=True)
        top = f"korvane-{version}-win64"
        with zipfile.ZipFile(f"{scratch}/{top}.zip") as z:
            found = sorted(name[len(top) + 1:] for name in z.namelist()
                           if not name.endswith("/"))
            z.extractall(scratch)
        expected = listing(programs.split(","))
        with open(f"{scratch}/{top}/doc/README.html", encoding="utf-8") as f:
            pictures = re.findall(r' src="([^"]*)"', f.read())
        expected += [f"README.html shows doc/{p}, which the zip lacks"
                     for p in pictures if f"doc/{p}" not in found]
        problems = ([f"zip holds {found}, expected {expected}"]
                    if found != expected else
                    check_runs(f"{scratch}/{top}", list(emulator),
                               linux_korvane, scratch))
    return report("windows package", problems)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
