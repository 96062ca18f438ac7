#include "korvane-check/svg.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace korvane {

namespace {

// The text of the first <title> of the part, as written.
std::string part_title(const std::string& label) {
  SvgPicture picture;
  picture.parts.push_back(
      {part_corners(0, 0, 10, 4, 0, 0, 0, 0), label, "", ""});
  std::string path = scratch_path("picture.svg");
  Problem problem;
  EXPECT_EQ(0, write_svg_file(path.c_str(), picture, problem));
  std::string svg = read_file(path);
  size_t start = svg.find("<title>", svg.find("<path")) + 7;
  return svg.substr(start, svg.find("</title>", start) - start);
}

}  // namespace

TEST(WriteSvg, WritesAnyLabelAsValidXml) {
  const std::string bad = "\xEF\xBF\xBD";  // U+FFFD
  struct {
    std::string label, title;
  } cases[] = {
      {"R&<>\"'", "R&amp;&lt;&gt;&quot;&apos;"},
      {"C\xC2\xB5", "C\xC2\xB5"},         // UTF-8 passes as it is
      {"C\xB5", "C" + bad},               // a Latin-1 byte
      {"\xC0\xAF", bad + bad},            // an overlong form
      {"\xED\xA0\x80", bad + bad + bad},  // a surrogate
      {"\xE2\x82", bad + bad},            // a character cut short
      {"\xEF\xBF\xBF", bad + bad + bad},  // U+FFFF, not allowed in XML
      {std::string("R\x01\0", 3), "R" + bad + bad},  // control characters
      {std::string(23, 'R') + "\xC2\xB5x",           // cut before a character
       std::string(23, 'R') + "\xE2\x80\xA6"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.title, part_title(c.label));
}

}  // namespace korvane
