#include "kicad/board.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace korvane {

namespace {

// A footprint as "R1 Resistor_SMD:R_0603_1608Metric top F.Fab" and its
// body's centre, length, width and angle in korvane's frame.
std::string placement(const Board& board, const Footprint& f) {
  return f.reference + " " + f.library + ":" + f.name +
         (f.bottom ? " bottom " : " top ") + (f.excluded ? "excluded " : "") +
         f.body.layer + " " +
         placed_words(placed_body(board, f, f.body.extent));
}

}  // namespace

// tests/data/board.kicad_pcb sets its aux origin at (100, 150). Body
// centres worked out by hand, KiCad's frame first, then korvane's:
//   R1  (110, 120) 0°: F.Fab ±0.8 × ±0.4125 about (0, 0): (10, 30).
//   C2  (125, 130) 180°, B.Cu: B.Fab ±1 × ±0.625 about (0, 0): (25, 20).
//   C3  (150, 120) 90°: F.Fab circle r 2.5 about (1, 0), so (150 + 0,
//       120 - 1) = (150, 119): (50, 31).
//   D4  (130, 140) 30°: F.Fab x -1.5 (arc middle) to 1, y ±0.5, about
//       (-0.25, 0): (130 - 0.25 cos 30°, 140 + 0.25 sin 30°) =
//       (129.78349, 140.125): (29.78349, 9.875).
//   U5  (140, 105) 270°: F.Fab polygon x ±1.95, y -2.75 (arc middle) to
//       2.45, about (0, -0.15): (140 + -0.15 · -1, 105) = (140.15, 105):
//       (40.15, 45).
//   J1  (105, 135) 180°, origin at pin 1: F.Fab x ±1.27, y -1.27 to 8.89,
//       about (0, 3.81): (105, 135 - 3.81) = (105, 131.19): (5, 18.81).
//       Its text box on F.Fab is no body.
//   G1  (160, 145): a logo on F.SilkS left out of placement lists, no
//       body: its origin, (60, 5), 0 × 0.
//   TP1 (170, 100): F.CrtYd circle r 1.25 only: (70, 50), 2.5 × 2.5.
TEST(KicadBoard, PlacesEveryBodyInKorvanesFrame) {
  Board board;
  Problem problem;
  std::string text = read_file(std::string(KORVANE_SOURCE_DIR) +
                               "/tests/data/board.kicad_pcb");
  ASSERT_EQ(0, read_board(text, board, problem)) << line_and_message(problem);
  EXPECT_TRUE(board.has_origin);
  const char* const expected[] = {
      "R1 Resistor_SMD:R_0603_1608Metric top F.Fab "
      "10.0000 30.0000 1.6000 0.8250 0.0000",
      "C2 Capacitor_SMD:C_0805_2012Metric bottom B.Fab "
      "25.0000 20.0000 2.0000 1.2500 180.0000",
      "C3 Capacitor_THT:CP_Radial_D5.0mm_P2.00mm top F.Fab "
      "50.0000 31.0000 5.0000 5.0000 90.0000",
      "D4 Diode_SMD:D_MiniMELF top F.Fab 29.7835 9.8750 2.5000 1.0000 30.0000",
      "U5 Package_SO:SOIC-8_3.9x4.9mm_P1.27mm top F.Fab "
      "40.1500 45.0000 3.9000 5.2000 270.0000",
      "J1 Connector_PinHeader_2.54mm:PinHeader_1x04_P2.54mm_Vertical top "
      "F.Fab 5.0000 18.8100 2.5400 10.1600 180.0000",
      "G1 Korvane_Art:Logo_Fox_8mm top excluded  "
      "60.0000 5.0000 0.0000 0.0000 0.0000",
      "TP1 TestPoint:TestPoint_Pad_D1.5mm top F.CrtYd "
      "70.0000 50.0000 2.5000 2.5000 0.0000",
  };
  ASSERT_EQ(std::size(expected), board.footprints.size());
  for (size_t i = 0; i < std::size(expected); ++i)
    EXPECT_EQ(expected[i], placement(board, board.footprints[i]));
}

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
