// Fuzzes one whole run, in a working directory laid out from the input
// (lay_out_working_files). korvane must end with status 0 and a drawing
// made of the templates, the two layers and whole outlines of plain
// numbers.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "korvane/run.h"
#include "fuzz_util.h"

using namespace korvane;

namespace {

const char kLayers[] =
    "  0\nLAYER\n  2\ncenter\n 70\n    64\n 62\n     7\n  6\nCONTINUOUS\n"
    "  0\nLAYER\n  2\ncenter2\n 70\n    64\n 62\n     7\n  6\nCONTINUOUS\n";
const char kLineHead[] =
    "  0\nLINE\n  8\ncenter\n  6\nCONTINUOUS\n 62\n    1\n";
const char* const kGroups[] = {" 10", " 20", " 11", " 21"};

// Reads one written line from `at`; false when there is none.
bool next_line(const std::string& text, size_t& at, std::string& line) {
  size_t end = text.find("\r\n", at);
  if (end == std::string::npos) return false;
  line = text.substr(at, end - at);
  at = end + 2;
  return true;
}

// True when text[from, to) is one or more digits.
bool digits_between(const std::string& text, size_t from, size_t to) {
  return to > from && text.find_first_not_of("0123456789", from) >= to;
}

// Three spaces, an optional minus, digits, a point and four digits.
bool is_coordinate(const std::string& line) {
  size_t digits = line.compare(0, 4, "   -") == 0 ? 4 : 3;
  size_t point = line.find('.');
  return line.compare(0, 3, "   ") == 0 && point != std::string::npos &&
         point + 5 == line.size() && digits_between(line, digits, point) &&
         digits_between(line, point + 1, line.size());
}

// Checks the outlines between the head and the tail of the drawing.
void check_outlines(const std::string& body) {
  std::string head = written_as_text(kLineHead);
  size_t at = 0;
  int outlines = 0;
  for (; at < body.size(); ++outlines) {
    for (int line = 0; line < 4; ++line) {
      require(body.compare(at, head.size(), head) == 0, "a LINE record");
      at += head.size();
      for (const char* group : kGroups) {
        std::string text;
        require(next_line(body, at, text) && text == group, "a group code");
        require(next_line(body, at, text) && is_coordinate(text),
                "a coordinate is a plain number");
      }
    }
  }
  require(outlines <= 100, "at most 100 outlines");
}

void check_drawing(const std::vector<std::string>& templates) {
  std::string drawing = read_file("plate.dxf");
  std::string head = templates[0] + written_as_text(kLayers) + templates[1];
  const std::string& tail = templates[2];
  require(
      drawing.size() >= head.size() + tail.size() &&
          drawing.compare(0, head.size(), head) == 0 &&
          drawing.compare(drawing.size() - tail.size(), tail.size(), tail) == 0,
      "templates and layers in their places");
  check_outlines(
      drawing.substr(head.size(), drawing.size() - head.size() - tail.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_scratch_directory();
  std::vector<std::string> templates =
      lay_out_working_files(bytes_of(data, size));
  const char* argv[] = {"korvane", "plate", "b.txt"};
  bool has_xy = access("b.txt", F_OK) == 0;
  require(run_korvane(3, argv) == (has_xy ? 0 : -1),
          "status 0 when the xy file is there, -1 when it is not");
  if (has_xy) check_drawing(templates);
  return 0;
}
