#include "kicad/footprint.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_util.h"

namespace korvane {

namespace {

// A box as "x0 y0 x1 y1", or "none".
std::string box_words(const Extent& e) {
  char box[100];
  snprintf(box, sizeof box, "%g %g %g %g", e.min_x, e.min_y, e.max_x, e.max_y);
  return e.empty ? "none" : box;
}

// What read_footprint_file gives, as "R7 Lib:Name bottom excluded dnp B.Fab
// -1 -0.5 1 1 partial", or the line and message of its problem.
std::string footprint_of(const char* text) {
  Footprint f;
  Problem problem;
  if (read_footprint_file(text, f, problem) != 0)
    return line_and_message(problem);
  std::string all = f.reference + " " + f.library + ":" + f.name +
                    (f.bottom ? " bottom" : " top") +
                    (f.excluded ? " excluded " : " ") + (f.dnp ? "dnp " : "");
  if (f.body.extent.empty) return all + "none";
  return all + f.body.layer + " " + box_words(f.body.extent) +
         (partial_fab(f) ? " partial" : "");
}

// The boxes of a footprint's pads' copper and centres, "x0 y0 x1 y1 / ...".
std::string pads_of(const char* text) {
  Footprint f;
  Problem problem;
  if (read_footprint_file(text, f, problem) != 0) return problem.message;
  return box_words(f.copper) + " / " + box_words(f.pad_centres);
}

}  // namespace

// KiCad 5's arc (start centre) (end first point) (angle 90) turns
// clockwise as drawn, Y down: from (1, 0) through (0.7071, 0.7071) to
// (0, 1). KiCad 6's arcs and Bezier curves count by every point they pass:
// the arc from (-0.6, -0.8) through (0.6, -0.8) to (1, 0) passes (0, -1);
// the polygon's arc through (2, 1), (3, 0.5) and (2, 0), about (2.375,
// 0.5) with a radius of 0.625, reaches y -0.125 and 1.125; the curve's top
// is at y -3, its control points at -4. A fab box with no width gives way
// to the courtyard; so does one under a tenth of the courtyard's (U2 of
// the KiCad 5 board in import_e2e).
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
       "FID1 :Fid top F.Fab 0 -0.125 3 1.125"},
      {"(footprint \"A\" (attr smd dnp) (fp_arc (start -0.6 -0.8)\n"
       " (mid 0.6 -0.8) (end 1 0) (layer \"F.Fab\")))",
       " :A top dnp F.Fab -0.6 -1 1 0"},
      {"(footprint \"A\" (fp_curve (pts (xy -2 0) (xy -2 -4) (xy 2 -4)\n"
       " (xy 2 0)) (layer \"F.Fab\")))",
       " :A top F.Fab -2 -3 2 0"},
      {"(footprint \"A\" (fp_line (start -2 0) (end 2 0) (layer F.Fab))\n"
       " (fp_rect (start -2.5 -1) (end 2.5 1) (layer F.CrtYd)))",
       " :A top F.CrtYd -2.5 -1 2.5 1"},
      {"(footprint \"A\" (fp_line (start -2 0) (end 2 0) (layer F.Fab)))",
       " :A top none"},
      {"(footprint \"TO-50\" (fp_rect (start 0 0) (end 5.1 5.1) (layer "
       "F.Fab))\n (fp_rect (start -9 -8) (end 15 13) (layer F.CrtYd)))",
       " :TO-50 top F.Fab 0 0 5.1 5.1 partial"},
      {"(footprint \"A\"\n (fp_curve (pts (xy 0 0) (xy 1 1) (xy 2 0))\n"
       " (layer F.Fab)))",
       "2: (fp_curve ...) on this line has 3 points; a Bezier curve has 4"},
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
       "2: '1e6' in (end ...) lies beyond 100 m; no KiCad board is this large"},
      {"(footprint (layer \"F.Cu\"))",
       "1: (footprint ...) on this line has no name; KiCad writes it first"},
      {"(kicad_pcb)",
       "1: is not a KiCad footprint: it does not start with (footprint or "
       "(module"},
  };
  for (const auto& c : cases) EXPECT_EQ(c[1], footprint_of(c[0])) << c[0];
}

// A pad's own angle is the file's less the footprint's: at 90 in a
// footprint at 90 it lies as its size says, at 180 turned by 90. Holes
// and paste-only pads add nothing, a pad on a renamed copper layer does; a
// circle is its circle at any angle.
TEST(KicadFootprint, BoxesItsPadsCopper) {
  const char* const cases[][2] = {
      {"(footprint \"P\" (at 0 0 90) (pad \"1\" smd rect (at 1 0 90)\n"
       " (size 2 1)) (pad \"2\" smd rect (at -1 0 180) (size 2 1))\n"
       " (pad \"\" np_thru_hole circle (at 5 5) (size 3 3)))",
       "-1.5 -1 2 1 / -1 0 1 0"},
      {"(module P (at 0 0 30) (pad 1 thru_hole circle (at 0 1 75)\n"
       " (size 2 2)) (pad 2 connect rect (at 4 1 30)))",
       "-1 0 4 2 / 0 1 4 1"},
      {"(footprint \"P\" (pad \"\" np_thru_hole circle (at 0 0)))",
       "none / none"},
      {"(module P (pad 1 smd rect (at 0 0) (size 1 1) (layers C4F F.Mask))\n"
       " (pad \"\" smd rect (at 5 0) (size 1 1) (layers F.Paste F.Mask)))",
       "-0.5 -0.5 0.5 0.5 / 0 0 0 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(c[1], pads_of(c[0])) << c[0];
}

}  // namespace korvane
