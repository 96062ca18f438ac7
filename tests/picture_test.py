#!/usr/bin/python3
"""The picture script tools/render_dxf.py: drawn on the example board's
drawing, it writes a PNG whose dark outlines spread across the picture; on a
drawing without entities it fails and writes nothing.

usage: picture_test.py KORVANE SOURCE_DIR
Runs under the Python that has ezdxf and matplotlib (Debian's
/usr/bin/python3). Exits 77 (skipped) when they are missing, unless
KORVANE_REQUIRE_TOOLS is set.
"""

import os
import shutil
import subprocess
import sys
import tempfile

from e2e import report

SKIP = 77
MIN_BYTES = 5000
MIN_WIDTH = 400
INK_SHARE = (0.002, 0.25)  # share of pixels drawn in dark ink
MIN_SPREAD = 0.5  # share of width and height the outlines span


def have_renderer():
    try:
        import ezdxf.addons.drawing.matplotlib  # noqa: F401
        import matplotlib.image  # noqa: F401
    except ImportError as error:
        return str(error)
    return None


def draw(korvane, work, xy_name):
    done = subprocess.run([korvane, "board", xy_name], cwd=work)
    return done.returncode


def render(script, work, drawing, picture):
    return subprocess.run([sys.executable, script, drawing, picture],
                          cwd=work, capture_output=True, text=True)


def judge_picture(path):
    """Returns what is wrong with the picture, as a list."""
    import matplotlib.image
    import numpy

    size = os.path.getsize(path)
    print(f"{os.path.basename(path)}: {size} bytes")
    pixels = matplotlib.image.imread(path)
    height, width = pixels.shape[:2]
    ink = pixels[..., :3].mean(axis=2) < 0.25
    share = ink.mean()
    print(f"{width} x {height} pixels, {share:.2%} dark")
    problems = []
    if size < MIN_BYTES:
        problems.append(f"only {size} bytes")
    if width < MIN_WIDTH:
        problems.append(f"only {width} pixels wide")
    if not INK_SHARE[0] <= share <= INK_SHARE[1]:
        problems.append(f"{share:.2%} of the pixels are dark, expected "
                        f"{INK_SHARE[0]:.1%} to {INK_SHARE[1]:.0%}")
        return problems
    rows, columns = numpy.nonzero(ink)
    spread = ((columns.max() - columns.min()) / width,
              (rows.max() - rows.min()) / height)
    if min(spread) < MIN_SPREAD:
        problems.append(f"the outlines span only {spread[0]:.0%} x "
                        f"{spread[1]:.0%} of the picture")
    return problems


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    korvane, source_dir = (os.path.abspath(arg) for arg in argv)
    missing = have_renderer()
    if missing:
        if os.environ.get("KORVANE_REQUIRE_TOOLS"):
            print(f"FAIL: {missing} (required here)")
            return 1
        print(f"SKIP: {missing}")
        return SKIP
    script = os.path.join(source_dir, "tools", "render_dxf.py")
    problems = []
    with tempfile.TemporaryDirectory() as scratch:
        work = os.path.join(scratch, "board")
        shutil.copytree(os.path.join(source_dir, "examples", "board"), work)
        if draw(korvane, work, "board.txt") != 0:
            return report("picture", ["korvane did not draw the example"])
        done = render(script, work, "board.dxf", "board.png")
        if done.returncode != 0:
            return report("picture", ["render_dxf.py failed:\n" + done.stderr])
        problems += judge_picture(os.path.join(work, "board.png"))

        with open(os.path.join(work, "empty.txt"), "w") as f:
            f.write("heading only\n")
        draw(korvane, work, "empty.txt")
        done = render(script, work, "board.dxf", "empty.png")
        left = os.path.exists(os.path.join(work, "empty.png"))
        if (done.returncode, left) != (1, False):
            problems.append(f"a drawing without entities gave status "
                            f"{done.returncode}, picture left: {left}")
    return report("picture", problems)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
