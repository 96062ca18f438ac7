#include "check/xy_check.h"

#include <memory>
#include <vector>

#include "input/placement.h"
#include "input/working_files.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace {

const char* const kUnits[] = {"mm", "cm",   "um",  "mil",     "mils",
                              "in", "inch", "deg", "\xc2\xb0"};

std::string field(const char* row, int column) {
  std::vector<char> text(kRowCapacity + 1);
  get_field(row, column, text.data(), text.size());
  return text.data();
}

int columns_of(const char* row) {
  int n = 1;
  for (; *row; ++row) n += *row == '\t';
  return n;
}

// Counts the lines with text from the next one to the end of the file.
long lines_left(TextInput& in, char* row, size_t size, bool at_end) {
  long n = 0;
  while (!at_end) {
    at_end = read_line(in, row, size);
    if (row[0]) ++n;
  }
  return n;
}

// True when `rest`, the text after a number, is empty or a unit word.
bool unit_word(const std::string& rest) {
  std::string word;
  for (char c : rest)
    if (c != ' ') word += c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
  if (word.empty()) return true;
  for (const char* unit : kUnits)
    if (word == unit) return true;
  return false;
}

// True when the field is a number, alone or with a unit word.
bool whole_number(const std::string& text) {
  size_t used = real_length(text.c_str());
  return used > 0 && unit_word(text.substr(used));
}

void check_number(const char* path, long line, const char* what,
                  const std::string& text, double value, Findings& findings) {
  std::string reads = "; korvane reads " + number(value);
  if (text.size() > static_cast<size_t>(kNumberFieldCapacity)) {
    add_finding(findings, path, line,
                std::string(what) + " " + quoted(text) + " is " +
                    std::to_string(text.size()) +
                    " characters long; korvane "
                    "keeps the first " +
                    std::to_string(kNumberFieldCapacity) + reads);
  } else if (text.find_first_not_of(" ") == std::string::npos) {
    add_finding(findings, path, line, std::string("no ") + what + reads);
  } else if (real_length(text.c_str()) == 0) {
    add_finding(
        findings, path, line,
        std::string(what) + " " + quoted(text) + " is not a number" + reads);
  } else if (!whole_number(text)) {
    add_finding(findings, path, line,
                std::string(what) + " " + quoted(text) +
                    " is only partly a number" + reads);
  }
}

void check_heading(const char* path, const XyList& xy, const ColumnMap& columns,
                   Findings& findings) {
  const char* h = xy.heading.c_str();
  if (!whole_number(field(h, columns.x)) || !whole_number(field(h, columns.y)))
    return;
  add_finding(findings, path, 1,
              "this line reads like a placement (code " +
                  quoted(field(h, columns.code)) +
                  "), but korvane skips "
                  "the first line as the heading and does not draw it");
}

// Decodes a placement row with korvane's routine and keeps its fields.
void decode_row(const char* row, const ColumnMap& columns, int label,
                XyRow& r) {
  decode_placement(row, columns, r.placement);
  r.code = r.placement.code;
  r.x = field(row, columns.x);
  r.y = field(row, columns.y);
  r.a = field(row, columns.a);
  if (label > 0) r.label = field(row, label);
}

}  // namespace

XyList read_xy(const char* path, const ColumnMap& columns, int label) {
  XyList xy;
  auto in = std::make_unique<TextInput>();
  if (open_text_input(*in, path) != 0) return xy;
  xy.opened = true;
  xy.rows.reserve(kMaxPlacements);  // each holds a Placement of 2 KiB
  std::vector<char> row(kRowCapacity + 1);
  bool at_end = read_line(*in, row.data(), row.size());
  xy.heading = row.data();
  long line = 1;
  while (!at_end) {
    XyRow r;
    at_end = read_line_cut(*in, row.data(), row.size(), r.cut);
    r.line = ++line;
    if (row[0] == '\0') {
      xy.after_empty = lines_left(*in, row.data(), row.size(), at_end);
      if (xy.after_empty) xy.empty_line = line;
      break;
    }
    if (xy.rows.size() == static_cast<size_t>(kMaxPlacements)) {
      xy.first_undrawn = line;
      xy.undrawn = 1 + lines_left(*in, row.data(), row.size(), at_end);
      break;
    }
    decode_row(row.data(), columns, label, r);
    xy.widest = std::max(xy.widest, columns_of(row.data()));
    xy.rows.push_back(r);
  }
  xy.failed = in->failed;
  close_text_input(*in);
  return xy;
}

void check_xy(const char* path, const XyList& xy, const ColumnMap& columns,
              Findings& findings) {
  check_heading(path, xy, columns, findings);
  for (const XyRow& r : xy.rows) {
    if (r.cut)
      add_finding(findings, path, r.line,
                  "the line is longer than " + std::to_string(kRowCapacity) +
                      " characters; korvane drops the rest");
    check_number(path, r.line, "X", r.x, r.placement.x, findings);
    check_number(path, r.line, "Y", r.y, r.placement.y, findings);
    check_number(path, r.line, "angle", r.a, r.placement.a, findings);
  }
  if (xy.empty_line)
    add_finding(findings, path, xy.empty_line,
                "an empty line ends the list; korvane does not draw the " +
                    count(xy.after_empty, "line") + " with text after it");
  if (xy.first_undrawn)
    add_finding(findings, path, xy.first_undrawn,
                "korvane draws 100 placements at most; this line and " +
                    count(xy.undrawn - 1, "line") +
                    " with text after it are not drawn");
}
