#!/usr/bin/python3
"""Renders a DXF drawing to a PNG picture: dark lines on a white ground,
with a light grid in drawing units so the picture shows its scale.

usage: render_dxf.py DRAWING.dxf PICTURE.png [--width PIXELS] [--title TEXT]

Needs ezdxf (with its drawing add-on) and matplotlib, as Debian's
python3-ezdxf and python3-matplotlib provide them. Exit status 0 when the
picture was written, 1 when the drawing cannot be read or holds nothing to
draw, 2 for a wrong command line.
"""

import argparse
import sys

import matplotlib

matplotlib.use("Agg")  # no display needed
import matplotlib.pyplot as plt  # noqa: E402

import ezdxf  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.config import Configuration  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402
from ezdxf.addons.drawing.properties import LayoutProperties  # noqa: E402

INK = "#1a1a1a"
GROUND = "#ffffff"
DPI = 100
LINE_WIDTH = 1.4 * 72 / DPI  # in points: 1.4 pixels


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("drawing", help="the DXF file to render")
    parser.add_argument("picture", help="the PNG file to write")
    parser.add_argument("--width", type=int, default=900,
                        help="figure width in pixels before its empty margins "
                        "are trimmed (default 900)")
    parser.add_argument("--title", default=None,
                        help="caption above the drawing")
    return parser.parse_args(argv)


def ink_everything(frontend):
    """Draws every entity in one dark ink, whatever its DXF colour, so thin
    outlines stay visible when the picture is scaled down."""
    def override(entity, properties):
        properties.color = INK
    if hasattr(frontend, "push_property_override_function"):
        frontend.push_property_override_function(override)
    else:
        frontend.override_properties = override


def draw(doc, ax):
    """Draws the model space of the document into the axes."""
    msp = doc.modelspace()
    layout_properties = LayoutProperties.from_layout(msp)
    layout_properties.set_colors(GROUND, INK)
    config = Configuration.defaults().with_changes(min_lineweight=LINE_WIDTH)
    frontend = Frontend(RenderContext(doc), MatplotlibBackend(ax), config)
    ink_everything(frontend)
    frontend.draw_layout(msp, finalize=True,
                         layout_properties=layout_properties)


def frame(ax, fig, width_px):
    """Shows the axes in drawing units with a light grid, and sizes the
    figure width_px wide, keeping the drawing's aspect ratio."""
    # The drawing backend hides the axes; bring them back.
    ax.xaxis.set_visible(True)
    ax.yaxis.set_visible(True)
    ax.set_aspect("equal")
    ax.margins(0.04)
    ax.autoscale_view()
    ax.grid(True, color="#d0d0d0", linewidth=0.5)
    ax.set_axisbelow(True)
    ax.tick_params(labelsize=8, colors="#555555")
    for side in ax.spines.values():
        side.set_visible(True)
        side.set_color("#999999")
    ax.set_xlabel("X (drawing units)", fontsize=8, color="#555555")
    ax.set_ylabel("Y (drawing units)", fontsize=8, color="#555555")
    x0, x1 = ax.get_xlim()
    y0, y1 = ax.get_ylim()
    aspect = (y1 - y0) / (x1 - x0) if x1 > x0 else 1.0
    width_in = width_px / DPI
    fig.set_size_inches(width_in, width_in * min(max(aspect, 0.3), 3.0) + 0.6)
    fig.patch.set_facecolor(GROUND)
    ax.set_facecolor(GROUND)


def render(drawing, picture, width_px, title):
    doc = ezdxf.readfile(drawing)
    if len(doc.modelspace()) == 0:
        print(f"{drawing}: nothing to draw", file=sys.stderr)
        return 1
    fig = plt.figure()
    ax = fig.add_subplot()
    draw(doc, ax)
    frame(ax, fig, width_px)
    if title:
        ax.set_title(title, fontsize=10)
    fig.savefig(picture, dpi=DPI, facecolor=GROUND, bbox_inches="tight",
                pad_inches=0.15)
    plt.close(fig)
    return 0


def main(argv):
    args = parse_args(argv)
    try:
        return render(args.drawing, args.picture, args.width, args.title)
    except (IOError, ezdxf.DXFError) as error:
        print(f"{args.drawing}: {error}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
