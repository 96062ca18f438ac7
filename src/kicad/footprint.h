// KiCad footprints as korvane needs them: name, reference, place, side,
// whether they go into placement lists, and the box of the part's body.
// Read from KiCad 6 to 9 (footprint ...) lists and KiCad 5 (module ...).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "kicad/sexpr.h"
#include "text/problem.h"

namespace korvane {

// The box around a footprint's body drawing, in the footprint's own
// coordinates: mm, X right, Y down as in KiCad.
struct BodyBox {
  bool found = false;  // false: no drawing on the fab or courtyard layer
  double min_x = 0, min_y = 0, max_x = 0, max_y = 0;
  std::string layer;  // the layer it came from: "F.Fab", "B.CrtYd", ...
};

// One footprint as a board or a library file gives it.
struct Footprint {
  int line = 0;           // line of "(footprint" or "(module"
  std::string name;       // without its library: "C_0603_1608Metric"
  std::string library;    // before the ':', "Capacitor_SMD"; empty if none
  std::string reference;  // "R1"; "REF**" in a library file
  bool bottom = false;    // placed on B.Cu
  double x = 0, y = 0;    // its (at x y ...): mm; 0 0 when it has none
  double angle = 0;       // degrees, counter-clockwise as KiCad shows it
  bool excluded = false;  // (attr ...) exclude_from_pos_files, board_only
                          // or KiCad 5's virtual
  BodyBox body;
};

// Reads the footprint whose list opens at token `open` of `sexpr`. The
// body is the box of the fp_line, fp_rect, fp_poly, fp_circle and fp_arc
// items on the fab layer of the footprint's side (B.Fab for a part on
// B.Cu), else on its courtyard layer; arcs count by their start, middle
// and end points. Returns -1 with `problem` (the line, what to do) for a
// footprint without a name, an item point or position that is not a pair
// of numbers within 100 m, or, when `needs_position` is set, no (at x y).
int read_footprint(const Sexpr& sexpr, size_t open, bool needs_position,
                   Footprint& footprint, Problem& problem);

// Reads a footprint library file (.kicad_mod): one (footprint ...) or
// (module ...) list, with or without a position. Returns -1 with `problem`
// when the text is not one, or as read_sexpr and read_footprint do.
int read_footprint_file(std::string_view text, Footprint& footprint,
                        Problem& problem);

}  // namespace korvane
