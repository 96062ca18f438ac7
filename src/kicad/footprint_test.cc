#include "kicad/footprint.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace korvane {

namespace {

// What read_footprint_file gives, as "R7 Lib:Name bottom excluded B.Fab
// -1 -0.5 1 1", or the line and message of its problem.
std::string footprint_of(const char* text) {
  Footprint f;
  Problem problem;
  if (read_footprint_file(text, f, problem) != 0)
    return std::to_string(problem.line) + ": " + problem.message;
  std::string all = f.reference + " " + f.library + ":" + f.name +
                    (f.bottom ? " bottom" : " top") +
                    (f.excluded ? " excluded " : " ");
  if (!f.body.found) return all + "none";
  char box[100];
  snprintf(box, sizeof box, " %g %g %g %g", f.body.min_x, f.body.min_y,
           f.body.max_x, f.body.max_y);
  return all + f.body.layer + box;
}

}  // namespace

// KiCad 5's arc (start centre) (end first point) (angle 90) turns
// clockwise as drawn, Y down: from (1, 0) through (0.7071, 0.7071) to
// (0, 1).
TEST(KicadFootprint, BoxesTheBodyOfItsOwnSide) {
  const char* const cases[][2] = {
      {"(module Resistor_SMD:R_0805 (layer B.Cu) (tedit 5B36C52B)\n"
       " (at 100 50 270) (attr smd)\n"
       " (fp_text reference R7 (at 0 1.65 90) (layer B.SilkS))\n"
       " (fp_arc (start 0 0) (end 1 0) (angle 90) (layer B.Fab))\n"
       " (fp_line (start -1 -0.5) (end 0 -0.5) (layer B.Fab) (width 0.1)))",
       "R7 Resistor_SMD:R_0805 bottom B.Fab -1 -0.5 1 1"},
      {"(module Fiducial (layer F.Cu) (at 10 10) (attr virtual)\n"
       " (fp_circle (center 0.5 0) (end 0.5 0.5) (layer F.Fab)))",
       " :Fiducial top excluded F.Fab 0 -0.5 1 0.5"},
      {"(footprint \"Fid\" locked placed (layer \"F.Cu\") (at 1 2)\n"
       " (fp_text reference \"FID1\" (at 0 -3) (layer \"F.Fab\"))\n"
       " (fp_poly (pts (xy 0 0) (xy 2 1) (arc (start 2 1) (mid 3 0.5)\n"
       "  (end 2 0))) (layer \"F.Fab\")))",
       "FID1 :Fid top F.Fab 0 0 3 1"},
      {"(footprint \"L:Y\" (layer \"B.Cu\") (at 0 0)\n"
       " (property \"Reference\" \"Y1\" (at 9 9) (layer \"B.Fab\"))\n"
       " (fp_line (start 0 0) (end 5 5) (layer \"F.Fab\"))\n"
       " (fp_rect (start -1 -1) (end 1 1) (layer \"B.CrtYd\"))\n"
       " (pad \"1\" smd rect (at 4 4) (layers \"B.Cu\")))",
       "Y1 L:Y bottom B.CrtYd -1 -1 1 1"},
      {"(footprint \"N\" (layer \"F.Cu\") (attr board_only)\n"
       " (fp_line (start 0 0) (end 5 5) (layer \"F.SilkS\")))",
       " :N top excluded none"},
      {"(footprint \"N\"\n (fp_line (start 0 0) (layer \"F.Fab\")))",
       "2: (fp_line ...) on this line has no (end x y)"},
      {"(footprint \"N\"\n (fp_arc (start 0 0) (end 1 1) (layer \"F.Fab\")))",
       "2: (fp_arc ...) on this line has neither (mid x y) nor (angle "
       "degrees)"},
      {"(footprint \"N\" (fp_rect (start 0 0)\n (end 1e6 1) (layer F.Fab)))",
       "2: '1e6' in (end ...) lies beyond 100 m; no KiCad board is this "
       "large"},
      {"(footprint (layer \"F.Cu\"))",
       "1: (footprint ...) on this line has no name; KiCad writes it first"},
      {"(kicad_pcb)",
       "1: is not a KiCad footprint: it does not start with (footprint or "
       "(module"},
  };
  for (const auto& c : cases) EXPECT_EQ(c[1], footprint_of(c[0])) << c[0];
}

}  // namespace korvane
