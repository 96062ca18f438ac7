#!/usr/bin/env python3
"""The Windows release zip, unpacked in a scratch folder and run under wine.

usage: windows_package_test.py BUILD_DIR CPACK SOURCE_DIR VERSION PROGRAMS
                               NATIVE_KORVANE -- EMULATOR...

PROGRAMS are the build's programs, comma-separated. `cpack -G ZIP` must
make korvane-VERSION-win64.zip holding exactly the release's files, the
samples equal to the tree's and the operator's text files with CR LF ends;
run-example.cmd and runs with layer and file names outside ASCII must draw
the bytes that the Linux build's korvane (NATIVE_KORVANE) draws. Exits 77
(skipped) when that is missing, unless KORVANE_REQUIRE_TOOLS is set.
"""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

SKIP = 77
FRAGMENTS = ["dxf11.txt", "dxf12.txt", "dxf13.txt"]
EXAMPLE = FRAGMENTS + ["board.txt", "lumbrex.ini", "size.txt"]
# Opened in Notepad or run by cmd.exe: CR LF line ends.
CRLF_FILES = ["README.txt", "example/run-example.cmd"]

# Runs of korvane.exe under wine in a copy of the example, the xy file
# renamed: (case, layer name, xy file name, folder the drawing goes to).
NAME_CASES = [
    ("an umlaut layer name", "Platine-Größe", "board.txt", ""),
    ("Chinese layer, umlaut xy file", "基板-1", "Platine-Größe.txt", ""),
    ("a Chinese folder", "基板\\Platine-Größe", "基板-1.txt", "基板"),
]


def expected_files(programs):
    files = ["README.txt", "doc/README.html", "doc/board.png"]
    files += ["samples/" + name for name in FRAGMENTS]
    files += ["example/" + name for name in EXAMPLE + ["run-example.cmd"]]
    for program in programs:
        files += [f"bin/{program}.exe", f"doc/{program}.html"]
    return sorted(files)


def make_zip(build_dir, cpack, out_dir, version):
    """Runs cpack; returns the zip's path, or None after printing why."""
    done = subprocess.run(
        [cpack, "-G", "ZIP", "-B", out_dir, "--config",
         os.path.join(build_dir, "CPackConfig.cmake")],
        cwd=build_dir, capture_output=True, text=True)
    path = os.path.join(out_dir, f"korvane-{version}-win64.zip")
    if done.returncode != 0 or not os.path.isfile(path):
        print(f"cpack made no {os.path.basename(path)}:\n" + done.stdout +
              done.stderr)
        return None
    return path


def check_contents(top, programs, source_dir):
    """The unpacked release against what it should hold."""
    found = sorted(os.path.relpath(os.path.join(parent, name), top)
                   for parent, _, names in os.walk(top) for name in names)
    if found != expected_files(programs):
        return [f"zip holds {found}, expected {expected_files(programs)}"]
    problems = []
    copies = [("samples/" + n, n) for n in FRAGMENTS]
    copies += [("example/" + n, n) for n in EXAMPLE]
    for path, origin in copies:
        if not filecmp.cmp(os.path.join(top, path),
                           os.path.join(source_dir, "examples/board", origin),
                           shallow=False):
            problems.append(f"{path} differs from examples/board/{origin}")
    for path in CRLF_FILES:
        text = open(os.path.join(top, path), "rb").read()
        if text.count(b"\n") != text.count(b"\r\n") or not text:
            problems.append(f"{path} has line ends other than CR LF")
    for program in programs:
        page = open(os.path.join(top, f"doc/{program}.html"), "rb").read()
        if not page.startswith(b"<!DOCTYPE html>") or b"<title>" not in page:
            problems.append(f"doc/{program}.html is not an HTML page")
    return problems


def under_wine(emulator, args, cwd):
    # wine reads Unix file names in the locale's character set.
    env = dict(os.environ, LC_ALL="C.UTF-8")
    return subprocess.run(emulator + args, cwd=cwd, env=env,
                          capture_output=True, timeout=120)


def compare(name, path, expected):
    if not os.path.isfile(path):
        return [f"{name}: no drawing {path}"]
    if open(path, "rb").read() != expected:
        return [f"{name}: the drawing differs from the Linux build's"]
    return []


def check_runs(top, emulator, native, scratch):
    """run-example.cmd and NAME_CASES under wine against the Linux build."""
    linux = os.path.join(scratch, "linux")
    shutil.copytree(os.path.join(top, "example"), linux)
    subprocess.run([native, "board", "board.txt"], cwd=linux, check=True)
    expected = open(os.path.join(linux, "board.dxf"), "rb").read()
    example = os.path.join(top, "example")
    done = under_wine(emulator, ["cmd", "/c", "run-example.cmd"], example)
    problems = [] if done.returncode == 0 else [
        f"run-example.cmd ended with {done.returncode}: {done.stdout!r}"]
    problems += compare("run-example.cmd",
                        os.path.join(example, "board.dxf"), expected)
    korvane = os.path.join(top, "bin", "korvane.exe")
    for number, (name, layer, xy, folder) in enumerate(NAME_CASES):
        work = os.path.join(scratch, f"case{number}")
        shutil.copytree(os.path.join(top, "samples"), work)
        os.makedirs(os.path.join(work, folder), exist_ok=True)
        for origin in ("board.txt", "lumbrex.ini", "size.txt"):
            shutil.copy(os.path.join(example, origin), os.path.join(
                work, xy if origin == "board.txt" else origin))
        done = under_wine(emulator, [korvane, layer, xy], work)
        drawing = os.path.join(work, layer.replace("\\", "/") + ".dxf")
        problems += ([f"{name}: status {done.returncode}"]
                     if done.returncode else []) + compare(name, drawing,
                                                           expected)
    return problems


def main(argv):
    if len(argv) < 7 or argv[6] != "--":
        print(__doc__)
        return 2
    build_dir, cpack, source_dir, version, programs, native = argv[:6]
    programs, emulator = programs.split(","), argv[7:]
    if not os.access(native, os.X_OK):
        message = f"no Linux build's korvane at {native} to compare with"
        if os.environ.get("KORVANE_REQUIRE_TOOLS"):
            print("FAIL: " + message + " (required here)")
            return 1
        print("SKIP: " + message)
        return SKIP
    with tempfile.TemporaryDirectory() as scratch:
        path = make_zip(build_dir, cpack, os.path.join(scratch, "out"),
                        version)
        if path is None:
            return 1
        zipfile.ZipFile(path).extractall(os.path.join(scratch, "unpacked"))
        top = os.path.join(scratch, "unpacked", f"korvane-{version}-win64")
        problems = check_contents(top, programs, source_dir)
        if not problems:
            problems = check_runs(top, emulator, native, scratch)
    for problem in problems:
        print("FAIL: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
