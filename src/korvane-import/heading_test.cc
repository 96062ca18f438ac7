#include "korvane-import/heading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"

namespace korvane {

// The layout find_layout gives `text`: "separator heading-line data-line
// unit: ref code x y angle side", or the problem.
std::string layout_of(const std::string& text) {
  ImportOptions options;
  ExportLayout l;
  Problem problem;
  if (find_layout(text, options, l, problem) != 0)
    return line_and_message(problem);
  const char* separators[] = {",", ";", "tab", "blanks"};
  std::string s = separators[static_cast<int>(l.separator)];
  for (int n : {l.heading_line, l.data_line}) (s += " ") += std::to_string(n);
  (s += " ") += unit_name(l.file_unit);
  s += std::string(l.code_last ? " last" : "") + (l.mirror_mark ? " m:" : ":");
  for (int at : l.columns.index.of) (s += " ") += std::to_string(at);
  return s;
}

// Altium's preamble, which names the unit, is import_e2e's.
TEST(FindLayout, FindsTheHeadingAndTheColumnsOfEachExport) {
  const std::vector<std::vector<std::string>> cases = {
      {"## Unit = mm\n# Ref Val Package PosX PosY Rot Side\nC1 1 C 1 2 0 t\n",
       "blanks 2 3 mm: 0 2 3 4 5 6"},
      {"Designator;Package;Pos X;Pos Y;Rotation\n", "; 1 2 none: 0 1 2 3 4 -1"},
      {"Ref,Package,X,X,Y,Rot\n",
       "1: two columns could be the X column; name one with --x"},
      {"Ref,Package,PosX,PosY\n",
       "1: no rotation column found; name it with --angle"},
  };
  for (const auto& c : cases) EXPECT_EQ(c[1], layout_of(c[0])) << c[0];
}

}  // namespace korvane
