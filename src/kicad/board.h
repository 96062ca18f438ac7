// KiCad boards (.kicad_pcb, KiCad 4 to 10): the placement origin and every
// footprint, and where a footprint's body lands in korvane's frame.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kicad/footprint.h"
#include "text/problem.h"

namespace korvane {

// What korvane takes from a board.
struct Board {
  bool has_origin = false;  // the board sets an aux origin other than 0 0
  double origin_x = 0, origin_y = 0;   // that origin in KiCad's frame, mm
  std::string bottom_copper = "B.Cu";  // the bottom copper layer's name
  std::vector<Footprint> footprints;   // in the board's order
};

// Reads a whole board: the (aux_axis_origin x y) of its (setup ...), the
// name of its bottom copper layer and each (footprint ...) or (module ...)
// at its top. KiCad 5 writes (aux_axis_origin 0 0) on every board: an
// origin of 0 0 counts as none. The bottom copper layer is the copper
// layer numbered 31 in the (layers ...) table (KiCad 4 to 8, where it may
// be renamed), else the one numbered 2 (KiCad 9 on), else "B.Cu".
// Returns -1 with `problem` for a text that is not a board, or as
// read_sexpr and read_footprint (with a position required) do.
int read_board(std::string_view text, Board& board, Problem& problem);

// Where the centre of `body`, a box in `footprint`'s own frame, lies in
// korvane's frame: turned and moved as the footprint is placed, then taken
// from the board's origin with Y pointing up. An empty box gives the
// footprint's own position and a length and width of 0. Its angle is the
// footprint's, as KiCad gives it.
PlacedBody placed_body(const Board& board, const Footprint& footprint,
                       const Extent& body);

}  // namespace korvane
