// A picture of the outlines korvane will draw: one self-contained SVG file,
// Y up as in the drawing, with the parts that a finding concerns marked and
// a legend below.
#pragma once

#include <string>
#include <vector>

#include "dxf/outline.h"
#include "text/problem.h"

namespace korvane {

// One drawn part: its outline as the drawing gets it, the label it is shown
// by (reference designator or xy line number), and what is wrong with it
// (empty when nothing is; lines joined by LF).
struct SvgPart {
  PartCorners corners;
  std::string label;
  std::string finding;
  std::string note;  // a line under the label in its hover title, or ""
};

// Everything the picture shows: the drawn parts in drawing order, a heading
// line for the legend, what the parts are labelled by, legend lines for
// placements that are not drawn and how many of those there are in all
// (at least as many as the lines).
struct SvgPicture {
  std::string heading;
  std::string labelled_by;  // "their xy line", say
  std::vector<SvgPart> parts;
  std::vector<std::string> not_drawn;
  size_t not_drawn_count = 0;
};

// Writes the picture as SVG to the file at `path`, created or replaced
// whole: each part a closed path whose title holds its label and finding,
// labels drawn where they fit, a scale bar in drawing units and the
// legend. Any bytes in the texts give valid XML (bytes that are not UTF-8
// show as U+FFFD). Returns -1 with `problem` when the picture cannot be
// written; an old file is then left as it was.
int write_svg_file(const char* path, const SvgPicture& picture,
                   Problem& problem);

}  // namespace korvane
