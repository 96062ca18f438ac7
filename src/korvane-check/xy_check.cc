#include "korvane-check/xy_check.h"

#include <memory>

#include "input/units.h"
#include "input/working_files.h"
#include "os/same_file.h"
#include "text/message.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace korvane {

namespace {

// True when the field is a number, alone or with a unit word.
bool whole_number(const std::string& text) {
  size_t used = real_length(text.c_str());
  if (used == 0) return false;
  std::string rest = text.substr(used);
  std::erase(rest, ' ');
  return rest.empty() || unit_word(rest);
}

const char kAngle[] = "angle";

// Judges a number field: cut, empty, no number or only partly one, or
// too large for the drawing.
void check_number(const char* path, long line, const char* what,
                  const std::string& text, double value, Findings& findings) {
  std::string reads = "; korvane reads " + short_number(value, 4);
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
  } else if (std::string large = too_large(
                 value, std::string_view(what) == kAngle ? Quantity::kAngle
                                                         : Quantity::kLength);
             !large.empty()) {
    add_finding(findings, path, line,
                std::string(what) + " " + quoted(text) + large);
  }
}

void check_heading(const char* path, const PlacementList& list,
                   const ColumnMap& columns, Findings& findings) {
  const char* h = list.heading.c_str();
  if (!whole_number(field_text(h, columns.x)) ||
      !whole_number(field_text(h, columns.y)))
    return;
  add_finding(findings, path, 1,
              "this line reads like a placement (code " +
                  quoted(field_text(h, columns.code)) +
                  "), but korvane skips "
                  "the first line as the heading and does not draw it");
}

// Judges a drawn row's numbers.
void check_row(const char* path, const PlacementRow& r,
               const ColumnMap& columns, Findings& findings) {
  const Placement& p = r.placement;
  const char* text = r.text.c_str();
  if (r.cut)
    add_finding(findings, path, r.line,
                "the line is longer than " + std::to_string(kRowCapacity) +
                    " characters; korvane drops the rest");
  check_number(path, r.line, "X", field_text(text, columns.x), p.x, findings);
  check_number(path, r.line, "Y", field_text(text, columns.y), p.y, findings);
  check_number(path, r.line, kAngle, field_text(text, columns.a), p.a,
               findings);
}

// How a file starts: with nothing at all, with a NUL byte, or otherwise
// (also when it is no regular file or cannot be read).
enum class FileStart { kEmpty, kNul, kOther };
FileStart file_start(const char* path) {
  auto in = std::make_unique_for_overwrite<TextInput>();
  if (!is_regular_file(path) || open_text_input(*in, path) != ReadStatus::kRead)
    return FileStart::kOther;
  const char* bytes = "";
  size_t n = peek_raw(*in, &bytes);
  FileStart start = n > 0 && *bytes == '\0' ? FileStart::kNul
                    : n > 0 || in->failed   ? FileStart::kOther
                                            : FileStart::kEmpty;
  close_text_input(*in);
  return start;
}

// Adds a finding when korvane draws nothing from the file: it is empty,
// or no line with text follows its heading.
void check_some_placement(const char* path, const PlacementList& list,
                          Findings& findings) {
  if (!list.rows.empty() || list.empty_line) return;
  FileStart start = file_start(path);
  std::string why =
      start == FileStart::kEmpty
          ? "is empty"
          : std::string(
                "holds no placement: no line with text follows the "
                "first, which korvane skips as the heading") +
                (start == FileStart::kNul
                     ? " (the file starts with a NUL byte, which ends "
                       "a line's text for korvane)"
                     : "");
  add_finding(findings, path, 0, why + ", so korvane draws no part");
}

}  // namespace

void check_xy(const char* path, const PlacementList& list,
              const ColumnMap& columns, bool judge_rows, Findings& findings) {
  if (judge_rows) {
    check_heading(path, list, columns, findings);
    for (const PlacementRow& r : list.rows)
      check_row(path, r, columns, findings);
    check_some_placement(path, list, findings);
  }
  if (list.empty_line)
    add_finding(findings, path, list.empty_line,
                "an empty line ends the list; korvane does not draw the " +
                    count(list.after_empty, "line") + " with text after it");
  if (list.first_undrawn)
    add_finding(findings, path, list.first_undrawn,
                "korvane draws " + std::to_string(kMaxPlacements) +
                    " placements at most; this line and " +
                    count(list.undrawn - 1, "line") +
                    " with text after it are not drawn; korvane --all "
                    "draws them");
}

}  // namespace korvane
