#!/usr/bin/env python3
"""The manual pages (korvane.1, korvane-check.1): each formats without a
single warning under groff (-ww) and mandoc's lint, names the program's
current version, and has the sections an operator looks for.

usage: manpage_test.py VERSION PAGE...
Exits 77 (skipped) when neither groff nor mandoc is present, unless
KORVANE_REQUIRE_TOOLS is set.
"""

import os
import re
import shutil
import subprocess
import sys

SKIP = 77
SECTIONS = ["NAME", "SYNOPSIS", "DESCRIPTION", "EXIT STATUS", "FILES",
            "NOTES", "EXAMPLES"]
# Sections a page may add: options after the description, references last.
OPTIONAL = {"OPTIONS": "DESCRIPTION", "SEE ALSO": "EXAMPLES"}
LINTERS = {
    "groff": ["groff", "-ww", "-z", "-man", "-Tutf8"],
    "mandoc": ["mandoc", "-T", "lint"],
}


def lint(page):
    """Runs each linter present on the page; returns (linters run, list of
    complaints)."""
    ran, complaints = [], []
    for name, command in LINTERS.items():
        if shutil.which(command[0]) is None:
            continue
        ran.append(name)
        done = subprocess.run(command + [page], capture_output=True,
                              text=True)
        said = (done.stdout + done.stderr).strip()
        if done.returncode != 0 or said:
            complaints.append(f"{name} (status {done.returncode}): {said}")
    return ran, complaints


def check_text(text, version):
    problems = []
    heading = text.splitlines()[0]
    if f'"korvane {version}"' not in heading:
        problems.append(f"the page heading {heading!r} does not name "
                        f"korvane {version}")
    found = re.findall(r'^\.SH "?([^"\n]+)"?$', text, re.M)
    for name, after in OPTIONAL.items():
        if name in found and found[found.index(name) - 1] == after:
            found.remove(name)
    if found != SECTIONS:
        problems.append(f"sections {found}, expected {SECTIONS}")
    return problems


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    version, pages = argv[0], argv[1:]
    problems, ran = [], []
    for page in pages:
        name = os.path.basename(page)
        with open(page, encoding="utf-8") as f:
            problems += [f"{name}: {p}" for p in check_text(f.read(),
                                                             version)]
        ran, complaints = lint(page)
        problems += [f"{name}: {p}" for p in complaints]
    for problem in problems:
        print("FAIL: " + problem)
    if problems:
        return 1
    if not ran:
        message = "neither groff nor mandoc is installed"
        if os.environ.get("KORVANE_REQUIRE_TOOLS"):
            print(f"FAIL: {message} (required here)")
            return 1
        print("SKIP: " + message)
        return SKIP
    print("clean under " + " and ".join(ran))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
