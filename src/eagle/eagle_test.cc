#include "eagle/eagle.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace korvane {

namespace {

// "U1 SOIC-8 bottom tDocu x y length width angle", or what left it out.
std::string placement(const EagleDesign& design, const EagleElement& e) {
  if (!e.populated) return e.name + " not populated";
  const EaglePackage& p = design.packages[e.package];
  if (p.body.box.empty) return e.name + " " + p.name + " no body";
  return e.name + " " + p.name + (e.rotation.mirrored ? " bottom " : " top ") +
         p.body.layer + " " + placed_words(place_package(e, p));
}

// What read_eagle makes of `text`: each element's placement a line, else
// the first package's body as "length width x y" about its own origin; or
// the problem as "line: message".
std::string read_text(const std::string& text) {
  EagleDesign design;
  Problem problem;
  if (read_eagle(text, design, problem) != 0) return line_and_message(problem);
  std::string all;
  for (const EagleElement& e : design.elements)
    all += placement(design, e) + "\n";
  if (!all.empty() || design.packages.empty()) return all;
  const Extent& box = design.packages[0].body.box;
  Point centre = extent_centre(box);
  return fixed(extent_length(box)) + " " + fixed(extent_width(box)) + " " +
         fixed(centre.x) + " " + fixed(centre.y);
}

}  // namespace

// tests/data/board.brd, worked out by hand:
//   R2  rcl of the second URN: its 2 by 1 body, not the first rcl's.
//   U1  MR22.5, body centre (1.905, 2.7) from pin 1: turned by 22.5°,
//       mirrored in X: (30 - 0.72675, 20 + 3.22349); drawn at 337.5°.
//   D1  arc (-2, -2) to (2, -2) by -270°, radius √8 about (0, 0): y to
//       2.8284, so the centre is (0, 0.4142), at R90 (-0.4142, 0).
//   C1  polygon bulging to x = 2 on its curved edge: centre (0.5, 0).
//   TP1 copper only (a pin-1 stroke on tPlace misses the copper's
//       centre): a long pad, drill 1 with a 12 mil restring: 1.6096 wide,
//       twice as long.
//   J1  tPlace only, origin at pin 1: centre (2.54, 0), at R270 (0, -2.54).
//   Q1  a tDocu card beside the copper is passed over: tPlace 4 by 2
//       turned by 30°.
//   FRAME1 and LOGO1 have no copper; R3 and R4 (variant lite) are not
//   populated.
TEST(EagleBoard, PlacesEveryBodyByTheBodyRule) {
  EXPECT_EQ(
      "R1 R0603 top tDocu 10.0000 10.0000 1.6000 0.8000 0.0000\n"
      "R2 R0603 bottom tDocu 15.0000 10.0000 2.0000 1.0000 0.0000\n"
      "U1 SOIC-8 bottom tDocu 29.2733 23.2235 3.9000 4.9000 337.5000\n"
      "D1 LED5MM top tDocu 49.5858 10.0000 5.6569 4.8284 90.0000\n"
      "C1 CAP-POLY top tDocu 19.5000 10.0000 3.0000 2.0000 180.0000\n"
      "TP1 TP top copper 5.0000 5.0000 3.2192 1.6096 0.0000\n"
      "J1 J1X3 top tPlace 10.0000 37.4600 7.6200 2.5400 270.0000\n"
      "Q1 TILT top tPlace 70.0000 30.0000 4.4641 3.7321 45.0000\n"
      "FRAME1 FRAME no body\n"
      "LOGO1 LOGO no body\n"
      "R3 not populated\n"
      "R4 not populated\n",
      read_text(read_file(std::string(KORVANE_SOURCE_DIR) +
                          "/tests/data/board.brd")));
}

// Copper-only bodies in a library, under Eagle's default design rules: a
// pad of diameter 0 is its drill with a restring of drill / 4 held between
// 10 and 20 mil on each side.
TEST(EagleBoard, SizesCopperByPadShapes) {
  const struct {
    const char* items;
    const char* expected;
  } cases[] = {
      {"<pad x='0' y='0' drill='1' shape='offset'/>",
       "3.0160 1.5080 0.7540 0.0000"},
      {"<pad x='0' y='0' drill='3'/>", "4.0160 4.0160 0.0000 0.0000"},
      {"<pad x='0' y='0' drill='1' diameter='2' shape='octagon' rot='R22.5'/>",
       "2.1648 2.1648 0.0000 0.0000"},
      {"<pad x='1' y='0' drill='0.5' diameter='1' shape='square' rot='R45'/>",
       "1.4142 1.4142 1.0000 0.0000"},
      {"<smd x='0' y='1' dx='2' dy='1' roundness='100' rot='MR45'/>",
       "1.7071 1.7071 0.0000 1.0000"},
  };
  const std::string library =
      "<eagle><drawing><library><packages><package name='P'>";
  const std::string end = "</package></packages></library></drawing></eagle>";
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, read_text(library + c.items + end)) << c.items;
}

TEST(EagleBoard, RefusesWhatItCannotRead) {
  const std::string element =
      "<eagle><drawing><board><elements>\n<element library='l' package='p' "
      "x='1' ";
  const std::string end = "/></elements></board></drawing></eagle>";
  std::string deep = "<eagle>\n";
  for (int i = 0; i < 999; ++i) deep += "<a>";
  deep += "<a/>";
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"<eagle>\n<drawing>\n</eagle>",
       "3: the XML is broken here (invalid closing tag name)"},
      {"<eagle/>\n<eagle/>", "2: a second root element"},
      {std::string("<eagle>\n\0</eagle>", 17), "2: holds a NUL byte"},
      {deep, "2: elements nest more than 1000 deep here"},
      {"<svg/>", "1: is XML, but no Eagle file: its root element is <svg>"},
      {"<eagle><drawing>\n<schematic/></drawing></eagle>",
       "2: is an Eagle schematic, which places no part"},
      {element + "name='R1' y='1,5'" + end,
       "2: the y '1,5' of <element> is not"},
      {element + "name='R1' y='1e6'" + end,
       "2: the y '1e6' of <element> lies "},
      {element + "name='R1' y='1' rot='MX90'" + end, "2: the rot 'MX90' of"},
      {element + "name='R1'" + end,
       "2: <element> has no y, which Eagle always"},
      {element + "name='R&#9;1' y='1'" + end,
       "2: the name 'R\\t1' of <element> holds a control character"},
      {element + "name='R&amp;1' y='1'" + end, "read"},
      {"<!DOCTYPE eagle [<!ENTITY a '<b>'>]><!-- <x><x> --><eagle><drawing>"
       "<library><description><![CDATA[<x><x>]]></description></library>"
       "</drawing></eagle>",
       "read"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected,
              problem_of(read_eagle, c.text).substr(0, c.expected.size()))
        << c.text.substr(0, 80);
}

}  // namespace korvane
