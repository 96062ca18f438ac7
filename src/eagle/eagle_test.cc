#include "eagle/eagle.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace korvane {

namespace {

// The body of the first package of the library `text`, as "length width
// x y" about the package's own origin, or the problem as "line: message".
std::string body_of(const std::string& text) {
  EagleDesign design;
  Problem problem;
  if (read_eagle(text, design, problem) != 0) return line_and_message(problem);
  const Extent& box = design.packages.at(0).body.box;
  Point centre = extent_centre(box);
  return fixed(extent_length(box)) + " " + fixed(extent_width(box)) + " " +
         fixed(centre.x) + " " + fixed(centre.y);
}

}  // namespace

// Copper-only bodies in a library, under Eagle's default design rules: a
// pad of diameter 0 is its drill with a restring of drill / 4 held between
// 10 and 20 mil on each side.
TEST(EagleBoard, SizesCopperByPadShapes) {
  const char* const cases[][2] = {
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
    EXPECT_EQ(c[1], body_of(library + c[0] + end)) << c[0];
}

TEST(EagleBoard, RefusesWhatItCannotRead) {
  auto element = [](const std::string& attributes) {
    return "<eagle><drawing><board><elements>\n<element library='l' "
           "package='p' x='1' " +
           attributes + "/></elements></board></drawing></eagle>";
  };
  std::string deep = "<eagle>\n";
  for (int i = 0; i < 999; ++i) deep += "<a>";
  const std::string cases[][2] = {
      {"<eagle>\n<drawing>\n</eagle>",
       "3: the XML is broken here (invalid closing tag name)"},
      {"<eagle/>\n<eagle/>", "2: a second root element"},
      {std::string("<eagle>\n\0</eagle>", 17), "2: holds a NUL byte"},
      {deep + "<a/>", "2: elements nest more than 1000 deep here"},
      {"<svg/>", "1: is XML, but no Eagle file: its root element is <svg>"},
      {"<eagle><drawing>\n<schematic/></drawing></eagle>",
       "2: is an Eagle schematic, which places no part"},
      {element("name='R1' y='1,5'"), "2: the y '1,5' of <element> is not"},
      {element("name='R1' y='1e6'"), "2: the y '1e6' of <element> lies "},
      {element("name='R1' y='1' rot='MX90'"), "2: the rot 'MX90' of"},
      {element("name='R1'"), "2: <element> has no y, which Eagle always"},
      {element("name='R&#9;1' y='1'"),
       "2: the name 'R\\t1' of <element> holds a control character"},
      {element("name='R&amp;1' y='1'"), "read"},
      {"<!DOCTYPE eagle [<!ENTITY a '<b>'>]><!-- <x><x> --><eagle><drawing>"
       "<library><description><![CDATA[<x><x>]]></description></library>"
       "</drawing></eagle>",
       "read"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c[1], problem_of(read_eagle, c[0]).substr(0, c[1].size()))
        << c[0].substr(0, 80);
}

}  // namespace korvane
