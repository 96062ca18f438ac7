// KiCad footprints as korvane needs them: name, reference, place, side,
// whether they go into placement lists, the boxes of the part's fab and
// courtyard drawings and of its pads, and the body they give. Read from
// KiCad 6 to 10 (footprint ...) lists and KiCad 4 and 5 (module ...).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "geometry/extent.h"
#include "kicad/sexpr.h"
#include "text/problem.h"

namespace korvane {

// A box of a footprint's drawing, in the footprint's own frame: mm, X
// right, Y down as in KiCad, and the layer it came from.
struct BodyBox {
  Extent extent;      // empty: no drawing gives a body
  std::string layer;  // "F.Fab", "B.CrtYd", ...; empty with no body
};

// One footprint as a board or a library file gives it. Every box is in
// the footprint's own frame, as the file holds it (a bottom-side
// footprint's already mirrored).
struct Footprint {
  int line = 0;           // line of "(footprint" or "(module"
  std::string name;       // without its library: "C_0603_1608Metric"
  std::string library;    // before the ':', "Capacitor_SMD"; empty if none
  std::string reference;  // "R1"; "REF**" in a library file
  bool bottom = false;    // on the board's bottom copper layer
  double x = 0, y = 0;    // its (at x y ...): mm; 0 0 when it has none
  double angle = 0;       // degrees, counter-clockwise as KiCad shows it
  bool excluded = false;  // (attr ...) exclude_from_pos_files, board_only
                          // or KiCad 5's virtual
  bool dnp = false;       // marked do-not-populate (KiCad 7 and later)
  Extent fab;             // every point of the side's fab drawing
  Extent courtyard;       // and of its courtyard drawing
  Extent copper;          // its pads' copper: each pad's size box turned by
                          // the pad's own angle; no-copper holes left out
  Extent pad_centres;     // the centres of those pads
  // The body by its own drawings: the fab box, unless it has no length or
  // width or is under a tenth of the courtyard box's length or width (a
  // marker, not an outline); else the courtyard box, unless it has no
  // length or width; else none.
  BodyBox body;
};

// True when `box` has a length and a width of a micrometre or more, as a
// body must; KiCad keeps nanometres.
bool has_area(const Extent& box);

// True when the body is the fab box and it is likely incomplete: under
// 30% of the courtyard box's length or width where the courtyard spans
// more than 10 mm.
bool partial_fab(const Footprint& footprint);

// The side's fab and courtyard layers: "F.Fab" and "F.CrtYd", or "B.Fab"
// and "B.CrtYd" for a footprint on the bottom.
const char* fab_layer(const Footprint& footprint);
const char* courtyard_layer(const Footprint& footprint);

// Reads the footprint whose list opens at token `open` of `sexpr`; it is
// on the bottom when its layer is `bottom_copper` (the board's bottom
// copper layer by name). The fab and courtyard boxes hold every point of
// the fp_line, fp_rect, fp_poly, fp_circle, fp_arc (KiCad 5's centre and
// sweep, or 6's three points) and fp_curve items of the side's layers;
// text adds nothing. Returns -1 with `problem` (the line, what to do) for
// a footprint without a name, an item point, pad size or position that is
// not numbers within 100 m, or no (at x y) where `position` requires one.
enum class Position { kRequired, kOptional };
int read_footprint(const Sexpr& sexpr, size_t open,
                   std::string_view bottom_copper, Position position,
                   Footprint& footprint, Problem& problem);

// Reads a footprint library file (.kicad_mod): one (footprint ...) or
// (module ...) list, with or without a position. Returns -1 with `problem`
// when the text is not one, or as read_sexpr and read_footprint do.
int read_footprint_file(std::string_view text, Footprint& footprint,
                        Problem& problem);

}  // namespace korvane
