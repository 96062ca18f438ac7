#!/usr/bin/env python3
"""What korvane puts on a user's machine: the install tree and the Debian
package.

usage: package_test.py install BUILD_DIR CMAKE SOURCE_DIR
       package_test.py deb BUILD_DIR CPACK SOURCE_DIR VERSION

install: `cmake --install` into a fresh prefix holds exactly the programs,
their manual pages and the sample files, the files match the tree, the
installed korvane draws the installed example and korvane-check finds in it
what it should.
deb: `cpack -G DEB` builds a package whose file list and control fields are
right, which dpkg installs into a scratch root and purges without a trace.
Exits 77 (skipped) when a Debian tool is missing, unless
KORVANE_REQUIRE_TOOLS is set.
"""

import filecmp
import os
import re
import shutil
import subprocess
import sys
import tempfile

from e2e import report

SKIP = 77

# Paths below the prefix, and the tree file each one is a copy of.
SAMPLES = {
    "share/korvane/dxf11.txt": "examples/board/dxf11.txt",
    "share/korvane/dxf12.txt": "examples/board/dxf12.txt",
    "share/korvane/dxf13.txt": "examples/board/dxf13.txt",
}
for name in ("board.txt", "dxf11.txt", "dxf12.txt", "dxf13.txt",
             "lumbrex.ini", "size.txt"):
    SAMPLES["share/korvane/example/" + name] = "examples/board/" + name
COPIES = dict(SAMPLES, **{"share/man/man1/korvane.1": "docs/korvane.1",
                          "share/man/man1/korvane-check.1":
                          "docs/korvane-check.1",
                          "share/man/man1/korvane-import.1":
                          "docs/korvane-import.1"})
PROGRAMS = ["bin/korvane", "bin/korvane-check", "bin/korvane-import"]
FILES = sorted(PROGRAMS + list(COPIES))
# What korvane-check says of the example: TP-1.0 is not in its size.txt.
EXAMPLE_FINDINGS = [b"board.txt:22: part code 'TP-1.0' is not in size.txt"]
EXAMPLE_LINES = 4 * 56  # four LINE entities per placement of board.txt


def fail(message):
    return report("package", [message])


def skip(message):
    if os.environ.get("KORVANE_REQUIRE_TOOLS"):
        return fail(message + " (required here)")
    print("SKIP: " + message)
    return SKIP


def run(*command, text=True, **kw):
    return subprocess.run(command, capture_output=True, text=text, **kw)


def files_below(root):
    """Every regular file or link below root, as sorted relative paths."""
    found = []
    for parent, _, names in os.walk(root):
        for name in names:
            found.append(os.path.relpath(os.path.join(parent, name), root))
    return sorted(found)


def check_copies(prefix, source_dir):
    """Returns the installed files that differ from the tree's."""
    return [path for path, origin in COPIES.items()
            if not filecmp.cmp(os.path.join(prefix, path),
                               os.path.join(source_dir, origin),
                               shallow=False)]


def check_program(prefix, scratch):
    """Runs the installed korvane on a copy of the installed example;
    returns a list of what went wrong."""
    problems = []
    korvane = os.path.join(prefix, "bin/korvane")
    version = run(korvane, "sys", "ver", text=False)
    if (version.returncode, version.stdout) != (0, b"1.01\r\n"):
        problems.append(f"`korvane sys ver` gave {version.returncode} "
                        f"{version.stdout!r}")
    work = os.path.join(scratch, "work")
    shutil.copytree(os.path.join(prefix, "share/korvane/example"), work)
    problems += check_import(prefix, work)
    drawn = run(korvane, "board", "board.txt", cwd=work)
    if drawn.returncode != 0:
        problems.append(f"the example run ended with {drawn.returncode}")
        return problems
    with open(os.path.join(work, "board.dxf"), "rb") as f:
        lines = f.read().split(b"\r\n").count(b"LINE")
    if lines != EXAMPLE_LINES:
        problems.append(f"the example drawing holds {lines} LINE entities, "
                        f"not {EXAMPLE_LINES}")
    checked = run(os.path.join(prefix, "bin/korvane-check"), "board",
                  "board.txt", cwd=work, text=False)
    found = checked.stdout.splitlines()
    if checked.returncode != 1 or len(found) != len(EXAMPLE_FINDINGS) or \
            not all(f.startswith(w) for f, w in zip(found, EXAMPLE_FINDINGS)):
        problems.append(f"korvane-check on the example gave "
                        f"{checked.returncode} {checked.stdout!r}")
    return problems


def check_import(prefix, work):
    """Runs the installed korvane-import on a small export beside the
    example's own settings, which give other columns: it must refuse."""
    with open(os.path.join(work, "cpl.csv"), "w") as f:
        f.write("Designator,Footprint,Mid X,Mid Y,Rotation\nU1,LQFP-64,5,5,0\n")
    done = run(os.path.join(prefix, "bin/korvane-import"), "cpl.csv",
               "cpl.txt", cwd=work)
    os.remove(os.path.join(work, "cpl.csv"))
    if done.returncode != 2 or "lumbrex.ini: gives the columns" not in \
            done.stderr or os.path.exists(os.path.join(work, "cpl.txt")):
        return [f"korvane-import over the example gave {done.returncode} "
                f"{done.stderr!r}"]
    return []


def check_tree(prefix, source_dir, scratch):
    problems = []
    found = files_below(prefix)
    if found != FILES:
        problems.append(f"installed {found}, expected {FILES}")
        return problems
    for program in PROGRAMS:
        if not os.access(os.path.join(prefix, program), os.X_OK):
            problems.append(f"{program} is not executable")
    differing = check_copies(prefix, source_dir)
    if differing:
        problems.append(f"differ from the tree: {differing}")
    return problems + check_program(prefix, scratch)


def test_install(build_dir, cmake, source_dir):
    with tempfile.TemporaryDirectory() as scratch:
        prefix = os.path.join(scratch, "prefix")
        done = run(cmake, "--install", build_dir, "--prefix", prefix)
        if done.returncode != 0:
            return fail("cmake --install failed:\n" + done.stdout +
                        done.stderr)
        problems = check_tree(prefix, source_dir, scratch)
    return report("install tree", problems)


# --- the Debian package ---------------------------------------------------

def build_package(build_dir, cpack, out_dir):
    """Runs cpack; returns the .deb's path, or None after printing why."""
    os.makedirs(out_dir)
    done = run(cpack, "-G", "DEB", "-B", out_dir, "--config",
               os.path.join(build_dir, "CPackConfig.cmake"), cwd=build_dir)
    debs = [n for n in os.listdir(out_dir) if n.endswith(".deb")]
    if done.returncode != 0 or len(debs) != 1:
        print("cpack failed:\n" + done.stdout + done.stderr)
        return None
    return os.path.join(out_dir, debs[0])


def listed_files(deb):
    """The regular files of the package, without the leading "./usr/"."""
    listing = run("dpkg-deb", "-c", deb).stdout.splitlines()
    files = [line.split()[-1] for line in listing if line.startswith("-")]
    return sorted(re.sub(r"^\./usr/", "", f) for f in files)


def check_modes(deb):
    """Every entry owned by root, files 0644 or 0755 (the program)."""
    problems = []
    for line in run("dpkg-deb", "-c", deb).stdout.splitlines():
        mode, owner, *_, path = line.split()
        want = ("drwxr-xr-x" if mode[0] == "d" else
                "-rwxr-xr-x" if "/bin/" in path else
                "-rw-r--r--")
        if (mode, owner) != (want, "root/root"):
            problems.append(f"{path} is {mode} {owner}")
    return problems


def loads_shared_libraries(deb, scratch):
    """True when a program of the package loads shared libraries, as the
    programs of a sanitizer build do; a release build links them
    statically."""
    root = os.path.join(scratch, "unpacked")
    run("dpkg-deb", "-x", deb, root)
    programs = os.path.join(root, "usr/bin")
    return any("(NEEDED)" in run("readelf", "-d",
                                 os.path.join(programs, name)).stdout
               for name in os.listdir(programs))


def check_depends(depends, shared):
    """Statically linked programs need no other package; programs that load
    shared libraries need the C library's at least."""
    if not shared:
        return [f"Depends is {depends!r}, not empty"] if depends else []
    return [] if re.search(r"\blibc6\b", depends) else [
        f"Depends lacks libc6: {depends!r}"]


def check_control(deb, version, shared):
    def field(name):
        return run("dpkg-deb", "-f", deb, name).stdout.strip()

    arch = run("dpkg", "--print-architecture").stdout.strip()
    problems = []
    for name, want in (("Package", "korvane"), ("Version", version + "-1"),
                       ("Architecture", arch), ("Section", "graphics"),
                       ("Priority", "optional")):
        if field(name) != want:
            problems.append(f"{name} is {field(name)!r}, not {want!r}")
    if not re.fullmatch(r".+ <[^@ ]+@[^@ ]+>", field("Maintainer")):
        problems.append(f"Maintainer {field('Maintainer')!r}")
    description = field("Description").splitlines()
    if len(description) < 2 or "DXF" not in description[0]:
        problems.append(f"Description {description!r}")
    return problems + check_depends(field("Depends"), shared)


def dpkg_in(root, *args):
    return run("dpkg", "--root=" + root, "--log=/dev/null", "--force-depends",
               "--force-not-root", "--path-include=*", *args)


def check_install_remove(deb, source_dir, scratch):
    """Installs the package with dpkg into a scratch root, checks the files
    and the program, then purges it and checks that nothing is left."""
    root = os.path.join(scratch, "root")
    for part in ("info", "updates"):
        os.makedirs(os.path.join(root, "var/lib/dpkg", part))
    open(os.path.join(root, "var/lib/dpkg/status"), "w").close()
    done = dpkg_in(root, "-i", deb)
    if done.returncode != 0:
        return ["dpkg -i failed:\n" + done.stdout + done.stderr]
    problems = check_tree(os.path.join(root, "usr"), source_dir, scratch)
    done = dpkg_in(root, "--purge", "korvane")
    if done.returncode != 0:
        return problems + ["dpkg --purge failed:\n" + done.stderr]
    left = os.listdir(os.path.join(root, "usr")) if os.path.isdir(
        os.path.join(root, "usr")) else []
    if left:
        problems.append(f"left after purging: usr/{left}")
    return problems


def test_deb(build_dir, cpack, source_dir, version):
    for tool in ("dpkg-deb", "dpkg-shlibdeps", "readelf"):
        if shutil.which(tool) is None:
            return skip(f"{tool} is missing (Debian's dpkg and dpkg-dev)")
    with tempfile.TemporaryDirectory() as scratch:
        deb = build_package(build_dir, cpack, os.path.join(scratch, "out"))
        if deb is None:
            return fail("no package built")
        print(f"{os.path.basename(deb)}: {os.path.getsize(deb)} bytes")
        problems = []
        if listed_files(deb) != FILES:
            problems.append(f"package holds {listed_files(deb)}, "
                            f"expected {FILES}")
        shared = loads_shared_libraries(deb, scratch)
        problems += check_modes(deb) + check_control(deb, version, shared)
        problems += check_install_remove(deb, source_dir, scratch)
    return report("debian package", problems)


def main(argv):
    if len(argv) == 4 and argv[0] == "install":
        return test_install(*argv[1:])
    if len(argv) == 5 and argv[0] == "deb":
        return test_deb(*argv[1:])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
