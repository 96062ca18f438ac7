#!/usr/bin/env python3
"""A manual page (korvane.1, korvane-import.1): it formats without a single warning under
groff (-ww) and mandoc's lint, names the program's current version, and has
the sections an operator looks for, with an item for each of its options.

usage: manpage_test.py PAGE VERSION
Exits 77 (skipped) when neither groff nor mandoc is present, unless
KORVANE_REQUIRE_TOOLS is set.
"""

import os
import re
import shutil
import subprocess
import sys

from e2e import report

SKIP = 77
SECTIONS = ["NAME", "SYNOPSIS", "DESCRIPTION", "EXIT STATUS", "FILES",
            "NOTES", "EXAMPLES"]
# Every section a page may have, in the order they must stand.
ORDER = ["NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "FILES",
         "NOTES", "EXAMPLES", "SEE ALSO"]
# The options each page must describe in an item of their own, by the
# page's file name.
OPTIONS = {
    "korvane.1": ["all"],
    "korvane-check.1": ["all", "list", "svg", "label"],
    "korvane-import.1": "code x y angle ref side-column side units split mirror"
                        " add-sizes library no-default-libraries settings "
                        "help".split(),
}
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


def check_text(text, version, page=""):
    problems = [f"option --{name} is not described"
                for name in OPTIONS.get(os.path.basename(page), [])
                if not re.search(r"^\.T[PQ]\n\.B[IR]? \\-\\-" + re.escape(
                    name.replace("-", "\\-")) + r"\b", text, re.M)]
    heading = text.splitlines()[0]
    if f'"korvane {version}"' not in heading:
        problems.append(f"the page heading {heading!r} does not name "
                        f"korvane {version}")
    found = re.findall(r'^\.SH "?([^"\n]+)"?$', text, re.M)
    if (found != [name for name in ORDER if name in found] or
            not set(SECTIONS) <= set(found)):
        problems.append(f"sections {found}, expected {SECTIONS} with "
                        f"optional ones in the order {ORDER}")
    return problems


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    page, version = argv
    with open(page, encoding="utf-8") as f:
        problems = check_text(f.read(), version, page)
    ran, complaints = lint(page)
    problems += complaints
    if problems:
        return report(os.path.basename(page), problems)
    if not ran:
        message = "neither groff nor mandoc is installed"
        if os.environ.get("KORVANE_REQUIRE_TOOLS"):
            print(f"FAIL: {message} (required here)")
            return 1
        print("SKIP: " + message)
        return SKIP
    print("clean under " + " and ".join(ran))
    return report(os.path.basename(page), [])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
