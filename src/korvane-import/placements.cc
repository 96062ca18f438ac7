#include "korvane-import/placements.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "input/records.h"
#include "korvane-import/fields.h"
#include "korvane-import/units.h"
#include "text/message.h"
#include "text/scan.h"

namespace korvane {

namespace {

// A text field of a placement (`what`: "part code", "reference") is
// written as it stands. Returns -1 with `problem` set at `line`, naming
// the byte, when it holds one of kUnwritable.
int check_text(const std::string& text, const char* what, int line,
               Problem& problem) {
  size_t at = text.find_first_of(kUnwritable);
  if (at == std::string::npos) return 0;
  const char* held = text[at] == '\t'   ? "a TAB, which would shift korvane's "
                                          "columns"
                     : text[at] == '\0' ? "a NUL byte, at which korvane's "
                                          "reading of the line stops"
                     : text[at] == kCtrlZ
                         ? "a Ctrl-Z, at which korvane stops reading the "
                           "xy file"
                         : "a line break, which would cut its row in two";
  problem = problem_at(line, std::string("the ") + what + " " + quoted(text) +
                                 " holds " + held + "; remove it");
  return -1;
}

// The most other lines a warning names.
constexpr size_t kLinesNamed = 10;

constexpr PerRole<const char*> kFieldWords = {
    {"reference", "part code", "X", "Y", "rotation", "side"}};

// The field of a role's column, empty when the row or the export has none.
const std::string& field_of(const Record& record, const ExportLayout& layout,
                            Role role) {
  static const std::string none;
  if (role == Role::kCode && layout.code_last && !record.fields.empty())
    return record.fields.back();
  int at = layout.columns.index[role];
  if (at < 0 || at >= static_cast<int>(record.fields.size())) return none;
  return record.fields[at];
}

// A row whose code is its last field needs every other column and one
// field more.
int check_code_last(const Record& record, const ExportLayout& layout,
                    Problem& problem) {
  int needed = 1;
  for (Role role : {Role::kRef, Role::kX, Role::kY, Role::kAngle, Role::kSide})
    needed = std::max(needed, layout.columns.index[role] + 2);
  int count = static_cast<int>(record.fields.size());
  if (count >= needed) return 0;
  problem = problem_at(record.line, std::to_string(count) +
                                        " fields where the rows need " +
                                        std::to_string(needed) +
                                        ": too few fields, the part code or "
                                        "the rotation is missing");
  return -1;
}

// Every column the command line gave by number must be in the row (the
// code's, when it is the last field, is).
int check_numbered(const Record& record, const ExportLayout& layout, int count,
                   Problem& problem) {
  for (Role role : kAllRoles) {
    int at = layout.columns.index[role];
    if (!layout.columns.by_number[role] || at < count ||
        (role == Role::kCode && layout.code_last))
      continue;
    problem =
        problem_at(record.line, std::string(kColumnOptions[role]) + " " +
                                    std::to_string(at + 1) + ": this row has " +
                                    std::to_string(count) + " fields");
    return -1;
  }
  return 0;
}

// The row's field count without trailing empty fields must fit the
// heading, and every required column must be there.
int check_field_count(const Record& record, const ExportLayout& layout,
                      int expected, Problem& problem) {
  if (layout.code_last)
    return check_numbered(record, layout,
                          static_cast<int>(record.fields.size()) - 1,
                          problem) != 0
               ? -1
               : check_code_last(record, layout, problem);
  int count = static_cast<int>(record.fields.size());
  bool aligned = layout.separator == Separator::kBlanks;
  while (!aligned && count > 0 && record.fields[count - 1].empty()) --count;
  // A last column that takes the rest of the line may be empty.
  int least = aligned ? expected - (layout.rest_from ? 1 : 0) : 0;
  auto counts = [&] {
    return std::to_string(count) + " fields where the " +
           (layout.heading_line ? "heading has " : "first row has ") +
           std::to_string(expected);
  };
  if (count > expected || count < least) {
    problem = problem_at(record.line, counts() +
                                          "; a value holding a separator or a "
                                          "blank shifts the columns: quote it");
    return -1;
  }
  for (Role role : {Role::kCode, Role::kX, Role::kY, Role::kAngle}) {
    if (layout.columns.index[role] < count) continue;
    problem = problem_at(record.line, counts() + ": too few fields, the " +
                                          kFieldWords[role] + " is missing");
    return -1;
  }
  return check_numbered(record, layout, count, problem);
}

// Fields cut at semicolons may write "12,7" for 12.7.
DecimalMark mark_of(const ExportLayout& layout) {
  return layout.separator == Separator::kSemicolon ? DecimalMark::kPointOrComma
                                                   : DecimalMark::kPoint;
}

int read_coordinate(const std::string& field, Unit column_unit,
                    const ExportLayout& layout, Role role, int line,
                    double& value, Unit& unit, Problem& problem) {
  if (read_length(field, mark_of(layout), value, unit) != 0) {
    problem = problem_at(
        line, std::string("cannot read the ") + kFieldWords[role] + " value '" +
                  field.substr(0, 40) +
                  "' as a number, with mm, mil or in after it or not");
    return -1;
  }
  if (unit == Unit::kNone) unit = column_unit;
  if (unit == Unit::kNone) unit = layout.file_unit;
  return 0;
}

// The side a layer or side field names ("Top", "T", "TopLayer", "F.Cu",
// "Bottom", "B", "BottomLayer", "B.Cu", ...), or kAny when it names
// neither.
Side side_of(std::string_view field) {
  // As written by this program, and as most exports write it.
  if (field == "top") return Side::kTop;
  if (field == "bottom") return Side::kBottom;
  std::string key = name_key(field);
  for (const char* top :
       {"top", "t", "toplayer", "front", "f", "fcu", "component"})
    if (key == top) return Side::kTop;
  for (const char* bottom :
       {"bottom", "b", "bot", "bottomlayer", "back", "bcu", "solder"})
    if (key == bottom) return Side::kBottom;
  return Side::kAny;
}

// Whether a place_txt row marks its part mirrored to the bottom: an "m"
// between the rotation and the code.
bool mirrored(const Record& record, const ExportLayout& layout) {
  size_t after_angle =
      static_cast<size_t>(layout.columns.index[Role::kAngle] + 1);
  for (size_t i = after_angle; i + 1 < record.fields.size(); ++i)
    if (record.fields[i] == "m") return true;
  return false;
}

// The row's side as "top" or "bottom", or as it stands when it names
// neither.
std::string side_field(const Record& record, const ExportLayout& layout) {
  if (layout.mirror_mark) return mirrored(record, layout) ? "bottom" : "top";
  std::string side(trimmed(field_of(record, layout, Role::kSide)));
  Side named = side_of(side);
  if (named == Side::kAny) return side;
  return named == Side::kTop ? "top" : "bottom";
}

// X, Y and the angle must lie below kLargestValue in size: past it the
// four decimals korvane writes no longer hold.
int check_sizes(const Record& record, const ExportLayout& layout,
                const ImportedPlacement& p, Problem& problem) {
  const Role roles[3] = {Role::kX, Role::kY, Role::kAngle};
  const double values[3] = {p.x, p.y, p.angle};
  for (int i = 0; i < 3; ++i) {
    if (std::fabs(values[i]) < kLargestValue) continue;
    problem = problem_at(
        p.line, std::string("the ") + kFieldWords[roles[i]] + " value '" +
                    field_of(record, layout, roles[i]).substr(0, 40) +
                    "' is 1e12 or more in size, where the four decimals "
                    "korvane writes no longer hold; correct it in the export");
    return -1;
  }
  return 0;
}

// One row into a placement.
int read_row(const Record& record, const ExportLayout& layout,
             ImportedPlacement& p, Problem& problem) {
  p.line = record.line;
  p.code = trimmed(field_of(record, layout, Role::kCode));
  p.ref = trimmed(field_of(record, layout, Role::kRef));
  p.side = side_field(record, layout);
  if (p.code.empty()) {
    problem = problem_at(p.line,
                         "the part code (footprint or package) is empty; fill "
                         "it in, korvane finds the part's size by it");
    return -1;
  }
  if (check_placement_text(p, problem) != 0 ||
      read_coordinate(field_of(record, layout, Role::kX), layout.columns.x_unit,
                      layout, Role::kX, p.line, p.x, p.x_unit, problem) != 0 ||
      read_coordinate(field_of(record, layout, Role::kY), layout.columns.y_unit,
                      layout, Role::kY, p.line, p.y, p.y_unit, problem) != 0)
    return -1;
  const std::string& angle = field_of(record, layout, Role::kAngle);
  if (read_angle(angle, mark_of(layout), p.angle) != 0) {
    problem =
        problem_at(p.line, "cannot read the rotation '" + angle.substr(0, 40) +
                               "' as a number of degrees");
    return -1;
  }
  return check_sizes(record, layout, p, problem);
}

// True when the line at `pos`, which starts with "#", reads as a
// placement without the "#" and the blanks after it.
bool reads_as_row(std::string_view text, size_t pos, int line,
                  const ExportLayout& layout, int expected) {
  pos = std::min(text.find_first_not_of("# \t", pos), text.size());
  Record record;
  ImportedPlacement p;
  Problem ignored;
  return split_record(text, pos, line, layout.separator, record, ignored,
                      layout.rest_from) == 0 &&
         !blank_record(record) &&
         check_field_count(
             record, layout,
             expected ? expected : static_cast<int>(record.fields.size()),
             ignored) == 0 &&
         read_row(record, layout, p, ignored) == 0;
}

// One warning, at the first, for the lines skipped as comments that read
// as placements.
void warn_commented_rows(const std::vector<int>& lines,
                         std::vector<Problem>& warnings) {
  if (lines.empty()) return;
  if (lines.size() == 1) {
    warnings.push_back(
        problem_at(lines[0],
                   "this line starts with '#' and is skipped as a comment, "
                   "though it reads as a placement; remove the '#' if it is "
                   "a part"));
    return;
  }
  std::vector<long> others(lines.begin() + 1, lines.end());
  warnings.push_back(problem_at(
      lines[0], "this line and " + std::to_string(others.size()) + " more (" +
                    listed_numbers(others, kLinesNamed, ListStyle::kCommas) +
                    ") start with '#' and are skipped as comments, though "
                    "they read as placements; remove the '#' from those "
                    "that are parts"));
}

// One warning for each side that names neither top nor bottom, at the
// first row that gives it.
void warn_unknown_sides(const std::vector<ImportedPlacement>& placements,
                        std::vector<Problem>& warnings) {
  std::set<std::string> seen;
  for (const ImportedPlacement& p : placements) {
    if (p.side.empty() || side_of(p.side) != Side::kAny ||
        !seen.insert(p.side).second)
      continue;
    warnings.push_back(problem_at(
        p.line, "the side '" + p.side.substr(0, 40) +
                    "' is neither top nor bottom, and is written as it "
                    "stands; correct it in the export, or name the side "
                    "column with --side-column"));
  }
}

}  // namespace

int check_placement_text(const ImportedPlacement& p, Problem& problem) {
  return check_text(p.code, "part code", p.line, problem) != 0 ||
                 check_text(p.ref, "reference", p.line, problem) != 0 ||
                 check_text(p.side, "side", p.line, problem) != 0
             ? -1
             : 0;
}

int read_placements(std::string_view text, const ExportLayout& layout,
                    std::vector<ImportedPlacement>& placements,
                    std::vector<Problem>& warnings, Problem& problem) {
  size_t pos = layout.data_start;
  int line = layout.data_line;
  int expected = layout.heading_fields;
  Record record;
  // A row a line at most: no placement is moved to make room.
  placements.reserve(
      placements.size() + 1 +
      static_cast<size_t>(std::count(
          text.begin() + static_cast<long>(std::min(pos, text.size())),
          text.end(), '\n')));
  std::vector<int> commented;  // comments that read as placements
  while (pos < text.size()) {
    size_t start = pos;
    int start_line = line;
    if (skip_comment_line(text, pos, line)) {
      if (reads_as_row(text, start, start_line, layout, expected))
        commented.push_back(start_line);
      continue;
    }
    if (split_record(text, pos, line, layout.separator, record, problem,
                     layout.rest_from) != 0)
      return -1;
    if (blank_record(record)) continue;
    if (expected == 0) expected = static_cast<int>(record.fields.size());
    ImportedPlacement p;
    if (check_field_count(record, layout, expected, problem) != 0 ||
        read_row(record, layout, p, problem) != 0)
      return -1;
    placements.push_back(std::move(p));
  }
  warn_commented_rows(commented, warnings);
  warn_unknown_sides(placements, warnings);
  return 0;
}

int keep_side(std::vector<ImportedPlacement>& placements,
              const ExportLayout& layout, Side keep, Problem& problem) {
  if (keep == Side::kAny) return 0;
  if (layout.columns.index[Role::kSide] < 0 && !layout.mirror_mark) {
    problem = problem_at(layout.heading_line,
                         "no side or layer column found to keep "
                         "one side by; name it with --side-column");
    return -1;
  }
  std::vector<ImportedPlacement> kept;
  for (const ImportedPlacement& p : placements) {
    Side side = side_of(p.side);
    if (side == Side::kAny) {
      problem = problem_at(p.line, "cannot tell the side from '" +
                                       p.side.substr(0, 40) +
                                       "'; it should say top or bottom");
      return -1;
    }
    if (side == keep) kept.push_back(p);
  }
  placements.swap(kept);
  return 0;
}

namespace {

std::string unit_words(Unit unit) {
  return unit == Unit::kNone ? std::string("without a unit")
                             : std::string("in ") + unit_name(unit);
}

// Every coordinate in the unit of the first one.
int check_one_unit(const std::vector<ImportedPlacement>& placements,
                   Problem& problem) {
  const ImportedPlacement& first = placements.front();
  for (const ImportedPlacement& p : placements) {
    Unit other = p.x_unit != first.x_unit ? p.x_unit : p.y_unit;
    if (other == first.x_unit) continue;
    problem =
        problem_at(p.line, "a coordinate here is " + unit_words(other) +
                               ", on line " + std::to_string(first.line) + " " +
                               unit_words(first.x_unit) +
                               "; convert all to one unit with --units mm, "
                               "--units mil or --units in");
    return -1;
  }
  return 0;
}

}  // namespace

void mirror_placements(std::vector<ImportedPlacement>& placements) {
  for (ImportedPlacement& p : placements) {
    p.x = 0.0 - p.x;
    double angle = std::fmod(0.0 - p.angle, 360.0);
    if (angle < 0) angle += 360.0;
    // A tiny negative angle rounds up to a whole turn.
    p.angle = angle < 360.0 ? angle + 0.0 : 0.0;
  }
}

int settle_bottom_x(std::vector<ImportedPlacement>& placements,
                    const ExportLayout& layout, bool negate,
                    std::vector<Problem>& warnings, Problem& problem) {
  int signs[2][3] = {};  // per side, the count of X below, at and above 0
  const ImportedPlacement* first_bottom = nullptr;
  for (ImportedPlacement& p : placements) {
    Side side = side_of(p.side);
    if (negate && side == Side::kAny) {
      problem = problem_at(p.line,
                           "--negative-bottom-x needs each row's side, "
                           "and this row's is '" +
                               p.side.substr(0, 40) +
                               "'; name the side column with "
                               "--side-column");
      return -1;
    }
    if (side == Side::kBottom && negate) p.x = -p.x;
    if (side == Side::kBottom && !first_bottom) first_bottom = &p;
    if (side != Side::kAny)
      ++signs[side == Side::kBottom][(p.x > 0) - (p.x < 0) + 1];
  }
  auto only = [&](int s, int sign) {
    return signs[s][sign] > 0 &&
           signs[s][0] + signs[s][1] + signs[s][2] == signs[s][sign];
  };
  if (negate || !layout.kicad || !first_bottom ||
      !((only(0, 2) && only(1, 0)) || (only(0, 0) && only(1, 2))))
    return 0;
  warnings.push_back(problem_at(
      first_bottom->line,
      "every bottom-side row has X of the opposite sign to every top-side "
      "row's: the export may have been written with KiCad's option of "
      "negative X for bottom-side footprints, and korvane would draw the "
      "bottom parts mirrored off the board; pass --negative-bottom-x to "
      "negate their X back, or export again without that option"));
  return 0;
}

int settle_units(std::vector<ImportedPlacement>& placements, Unit target,
                 Problem& problem) {
  if (placements.empty()) return 0;
  if (target == Unit::kNone) return check_one_unit(placements, problem);
  for (ImportedPlacement& p : placements) {
    if (p.x_unit == Unit::kNone || p.y_unit == Unit::kNone) {
      problem =
          problem_at(p.line, std::string("a coordinate here has no unit to "
                                         "convert from to ") +
                                 unit_name(target) +
                                 ": the value, its heading and the file name "
                                 "none; leave --units out");
      return -1;
    }
    p.x = convert_length(p.x, p.x_unit, target);
    p.y = convert_length(p.y, p.y_unit, target);
    p.x_unit = p.y_unit = target;
    if (std::isfinite(p.x) && std::isfinite(p.y)) continue;
    problem = problem_at(p.line, "a coordinate is too large to convert");
    return -1;
  }
  return 0;
}

}  // namespace korvane
