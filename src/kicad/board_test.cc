#include "kicad/board.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace korvane {

namespace {

// A footprint as "R1 Resistor_SMD:R_0603_1608Metric top F.Fab" and its
// body's centre, length, width and angle in korvane's frame.
std::string placement(const Board& board, const Footprint& f) {
  PlacedBody p = placed_body(board, f, f.body.extent);
  return f.reference + " " + f.library + ":" + f.name +
         (f.bottom ? " bottom " : " top ") + (f.excluded ? "excluded " : "") +
         f.body.layer + " " + fixed(p.x) + " " + fixed(p.y) + " " +
         fixed(p.length) + " " + fixed(p.width) + " " + fixed(p.angle);
}

}  // namespace

TEST(KicadBoard, TakesAZeroOriginForNone) {
  Board board;
  Problem problem;
  ASSERT_EQ(0, read_board("(kicad_pcb (setup (aux_axis_origin 0 0))\n"
                          " (module R (layer F.Cu) (at 3 4)))",
                          board, problem));
  EXPECT_FALSE(board.has_origin);
  EXPECT_EQ(" :R top  3.0000 -4.0000 0.0000 0.0000 0.0000",
            placement(board, board.footprints.at(0)));
}

// The sides of a board's footprints, as "A bottom, B top".
std::string sides_of(const std::string& text) {
  Board board;
  Problem problem;
  if (read_board(text, board, problem) != 0) return problem.message;
  std::string sides;
  for (const Footprint& f : board.footprints)
    sides +=
        (sides.empty() ? "" : ", ") + f.name + (f.bottom ? " bottom" : " top");
  return sides;
}

// The bottom copper layer is found by its number: 31 up to KiCad 8, where
// KiCad 4 and 5 let it be renamed, 2 from KiCad 9 on, where 31 is F.CrtYd.
TEST(KicadBoard, FindsTheBottomByItsNumber) {
  const char* const cases[][2] = {
      {"(kicad_pcb (layers (0 Top signal) (31 C4B signal) (48 B.Fab user))\n"
       " (module A (layer C4B) (at 0 0)) (module B (layer B.Cu) (at 0 0)))",
       "A bottom, B top"},
      {"(kicad_pcb (layers (0 \"F.Cu\" signal) (2 \"B.Cu\" signal)\n"
       " (31 \"F.CrtYd\" user \"F.Courtyard\"))\n"
       " (footprint \"A\" (layer \"B.Cu\") (at 0 0))\n"
       " (footprint \"B\" (layer \"F.CrtYd\") (at 0 0)))",
       "A bottom, B top"},
      {"(kicad_pcb (layers (0 \"F.Cu\" signal) (2 \"In2.Cu\" power)\n"
       " (31 \"B.Cu\" mixed \"Bottom\"))\n"
       " (footprint \"A\" (layer \"B.Cu\") (at 0 0))\n"
       " (footprint \"B\" (layer \"In2.Cu\") (at 0 0)))",
       "A bottom, B top"},
      {"(kicad_pcb (footprint \"A\" (layer \"B.Cu\") (at 0 0)))", "A bottom"},
  };
  for (const auto& c : cases) EXPECT_EQ(c[1], sides_of(c[0])) << c[0];
}

TEST(KicadBoard, SaysWhatIsWrongAndWhere) {
  const char* const cases[][2] = {
      {"(kicad_pcb\n (footprint \"Lib:A\" (layer \"F.Cu\")\n"
       "  (property \"Reference\" \"U1\")))",
       "2: the footprint U1 on this line has no position (at x y); save the "
       "board again from KiCad"},
      {"(kicad_pcb (footprint \"A\"\n (at abc 1)))",
       "2: 'abc' in (at ...) is not a number as KiCad writes them: 12.7"},
      {"(kicad_pcb (footprint \"A\" (at 1)))",
       "1: (at ...) needs 2 numbers and has 1"},
      {"(kicad_pcb (setup\n (aux_axis_origin 1 \"2\")))",
       "2: '2' in (aux_axis_origin ...) is not a number as KiCad writes "
       "them: 12.7"},
      {"(kicad_pcb\n (footprint \"A\" (at 1 2)\n",
       "2: the list '(footprint' opened on this line lacks its ')'; add it"},
      {"\n(module \"A\" (at 1 2))",
       "2: is not a KiCad board: it does not start with (kicad_pcb; open it "
       "in KiCad and save it again"},
      {"(kicad_pcb)\n(kicad_pcb)",
       "2: text follows the ')' that ends the board: the file is damaged, "
       "save it again from KiCad"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c[1], problem_of(read_board, c[0])) << c[0];
}

}  // namespace korvane
