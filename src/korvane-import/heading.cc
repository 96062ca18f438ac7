#include "korvane-import/heading.h"

#include <algorithm>
#include <iterator>

#include "korvane-import/fields.h"
#include "korvane-import/units.h"

namespace korvane {

namespace {

// The usual names of each role's column, better ones first, as name_key
// gives them.
const PerRole<std::vector<std::string>> kUsualNames = {{
    {"designator", "ref", "reference", "refdes", "referencedesignator",
     "partname", "part"},
    {"footprint", "package", "pattern", "footprintname", "packagename",
     "pcbfootprint", "case", "name"},
    {"midx", "centerx", "centrex", "posx", "x", "xpos", "positionx",
     "locationx", "locx", "cx"},
    {"midy", "centery", "centrey", "posy", "y", "ypos", "positiony",
     "locationy", "locy", "cy"},
    {"rotation", "rot", "angle", "rotate", "orientation"},
    {"layer", "side", "tb", "mountside", "topbottom"},
}};

constexpr PerRole<const char*> kRoleWords = {
    {"reference designator", "part code (footprint or package)", "X", "Y",
     "rotation", "side"}};

// The heading stands among the first lines, after a preamble of a few.
constexpr int kHeadingLines = 1000;

// The columns whose key is `key`.
std::vector<int> columns_named(const std::vector<std::string>& keys,
                               const std::string& key) {
  std::vector<int> found;
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i] == key) found.push_back(static_cast<int>(i));
  return found;
}

// A role's columns by its usual names: those of the best name any has.
std::vector<int> usual_columns(const std::vector<std::string>& keys,
                               Role role) {
  for (const std::string& key : kUsualNames[role]) {
    std::vector<int> found = columns_named(keys, key);
    if (!found.empty()) return found;
  }
  return {};
}

// Whether the heading found ref, X and Y, one of them at least by a name.
bool names_placements(const ColumnChoice& c, const ImportOptions& options) {
  bool by_name = false;
  for (Role role : {Role::kRef, Role::kX, Role::kY}) {
    if (c.index[role] == -1) return false;
    if (options.column[role].number == 0) by_name = true;
  }
  return by_name;
}

// Cuts one line as a candidate heading; a first field of "#" only, as in
// "# Ref Val Package", is no column.
bool heading_fields(std::string_view line, Separator separator,
                    Record& record) {
  size_t pos = 0;
  int number = 0;
  Problem ignored;
  if (split_record(line, pos, number, separator, record, ignored) != 0)
    return false;
  std::vector<std::string>& f = record.fields;
  if (separator == Separator::kBlanks && !f.empty() &&
      f[0].find_first_not_of('#') == std::string::npos)
    f.erase(f.begin());
  return true;
}

constexpr Separator kSeparators[] = {Separator::kComma, Separator::kSemicolon,
                                     Separator::kTab, Separator::kBlanks};

// Whether the line's first character other than a blank is `mark`.
bool starts_with(std::string_view line, char mark) {
  size_t start = line.find_first_not_of(" \t");
  return start != std::string_view::npos && line[start] == mark;
}

// The line at text[pos], without its line end; moves `pos` past it.
std::string_view next_line(std::string_view text, size_t& pos) {
  size_t end = std::min(text.find('\n', pos), text.size());
  std::string_view line = text.substr(pos, end - pos);
  pos = end + 1;
  return line;
}

// A name of several words, each as name_key gives it.
using Words = std::vector<std::string>;

// The first words of the two-word headings that give X and Y, as
// Altium's "Mid X", "Ref Y" and "Pad X".
const char* const kPairFirsts[] = {"mid",      "ref",      "pad",
                                   "center",   "centre",   "pos",
                                   "position", "location", "loc"};

// The names a heading cut at blanks may hold as several fields: each name
// an option gives with a blank in it, then the known two-word headings.
std::vector<Words> names_of_words(const ImportOptions& options) {
  std::vector<Words> names;
  for (const ColumnOption& column : options.column.of) {
    Words words;
    for (size_t at = 0; at < column.name.size();) {
      size_t end = std::min(column.name.find(' ', at), column.name.size());
      if (end > at) words.push_back(name_key(column.name.substr(at, end - at)));
      at = end + 1;
    }
    if (words.size() > 1) names.push_back(words);
  }
  for (const char* first : kPairFirsts)
    for (const char* second : {"x", "y"}) names.push_back({first, second});
  return names;
}

// Whether the fields from `at` on start with the words of `name`.
bool starts_name(const std::vector<std::string>& fields, size_t at,
                 const Words& name) {
  if (fields.size() - at < name.size()) return false;
  for (size_t k = 0; k < name.size(); ++k)
    if (name_key(fields[at + k]) != name[k]) return false;
  return true;
}

// Joins each run of fields that makes one of `names` into one field, its
// words a blank apart, and a unit in brackets that stands alone ("(mm)")
// to the field before it. Returns false when nothing is joined.
bool join_names(Record& record, const std::vector<Words>& names) {
  std::vector<std::string>& f = record.fields;
  bool joined = false;
  for (size_t i = 0; i < f.size(); ++i) {
    if (i > 0 && (f[i][0] == '(' || f[i][0] == '[') && name_key(f[i]).empty()) {
      (f[i - 1] += ' ') += f[i];
      f.erase(f.begin() + static_cast<long>(i--));
      joined = true;
      continue;
    }
    auto name = std::find_if(names.begin(), names.end(), [&](const Words& n) {
      return starts_name(f, i, n);
    });
    if (name == names.end()) continue;
    for (size_t k = 1; k < name->size(); ++k) (f[i] += ' ') += f[i + k];
    f.erase(f.begin() + static_cast<long>(i + 1),
            f.begin() + static_cast<long>(i + name->size()));
    joined = true;
  }
  return joined;
}

// The column, from 1, that takes the rest of each row of text aligned
// with blanks: the last one, when no coordinate, angle or side is read
// from it; 0 otherwise.
size_t rest_column(const ExportLayout& layout) {
  if (layout.separator != Separator::kBlanks) return 0;
  for (Role role : {Role::kX, Role::kY, Role::kAngle, Role::kSide})
    if (layout.columns.index[role] == layout.heading_fields - 1) return 0;
  return static_cast<size_t>(layout.heading_fields);
}

// Whether the heading is the one KiCad writes in .pos and CSV files.
bool is_kicad_heading(const Record& heading) {
  static const char* const kNames[] = {"ref",  "val", "package", "posx",
                                       "posy", "rot", "side"};
  if (heading.fields.size() != std::size(kNames)) return false;
  for (size_t i = 0; i < std::size(kNames); ++i)
    if (name_key(heading.fields[i]) != kNames[i]) return false;
  return true;
}

}  // namespace

std::string name_key(std::string_view name) {
  std::string key;
  int depth = 0;
  for (char c : name) {
    if (c == '(' || c == '[') ++depth;
    if ((c == ')' || c == ']') && depth > 0) --depth;
    if (depth > 0) continue;
    if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) key += c;
  }
  return key;
}

namespace {

// The unit the heading gives column `at`; kNone for none.
Unit column_unit(const Record& heading, int at) {
  return at >= 0 && at < static_cast<int>(heading.fields.size())
             ? heading_unit(heading.fields[at])
             : Unit::kNone;
}

// Finds the roles' columns in a heading row: a role the options name takes
// that column (a number from 1, or a name), any other takes the first
// column whose name is one of that role's usual names, the better names
// first; in a heading that is a "#" comment (gEDA's) a Description column
// is the part code when nothing else is. Returns the count of roles found;
// a role whose name fits several columns (see `named`) does not count.
int choose_columns(const Record& heading, bool comment,
                   const ImportOptions& options, ColumnChoice& columns) {
  int found = 0;
  std::vector<std::string> keys;
  for (const std::string& field : heading.fields)
    keys.push_back(name_key(field));
  for (Role role : kAllRoles) {
    const ColumnOption& option = options.column[role];
    std::vector<int> at =
        option.number > 0     ? std::vector<int>{option.number - 1}
        : option.name.empty() ? usual_columns(keys, role)
                              : columns_named(keys, name_key(option.name));
    if (role == Role::kCode && at.empty() && comment && !given(option))
      at = columns_named(keys, "description");
    columns.by_number[role] = option.number > 0;
    columns.index[role] = at.empty() ? -1 : at[0];
    columns.named[role] = static_cast<int>(at.size());
    if (at.size() == 1) ++found;
  }
  columns.x_unit = column_unit(heading, columns.index[Role::kX]);
  columns.y_unit = column_unit(heading, columns.index[Role::kY]);
  return found;
}

// Tries `line` as the heading with each separator, and cut at blanks with
// the names of several words joined; keeps the cut that names the most
// roles, the joined one on a tie. Returns false when none makes a heading.
bool try_heading(std::string_view line, const ImportOptions& options,
                 ExportLayout& layout, Record& heading) {
  struct Cut {
    Separator separator;
    bool join;
  };
  constexpr Cut kCuts[] = {{Separator::kComma, false},
                           {Separator::kSemicolon, false},
                           {Separator::kTab, false},
                           {Separator::kBlanks, true},
                           {Separator::kBlanks, false}};
  int best = 0;
  std::vector<Words> names = names_of_words(options);
  for (Cut cut : kCuts) {
    Separator separator = cut.separator;
    Record record;
    ColumnChoice columns;
    if (!heading_fields(line, separator, record) ||
        (cut.join && !join_names(record, names)))
      continue;
    int found =
        choose_columns(record, starts_with(line, '#'), options, columns);
    if (!names_placements(columns, options) || found <= best) continue;
    best = found;
    layout.separator = separator;
    layout.columns = columns;
    heading = record;
  }
  return best > 0;
}

// The heading must give a code and an angle, no role two columns, and no
// column number past its last column.
int check_columns(const ExportLayout& layout, Problem& problem) {
  for (Role role : kAllRoles) {
    int at = layout.columns.index[role];
    std::string what = kRoleWords[role];
    if (layout.columns.by_number[role] && at >= layout.heading_fields) {
      problem =
          problem_at(layout.heading_line,
                     std::string(kColumnOptions[role]) + " " +
                         std::to_string(at + 1) + ": the heading has " +
                         std::to_string(layout.heading_fields) + " columns");
      return -1;
    }
    if (layout.columns.named[role] > 1) {
      problem =
          problem_at(layout.heading_line, "two columns could be the " + what +
                                              " column; name one with " +
                                              kColumnOptions[role]);
      return -1;
    }
    if (at == -1 && role == Role::kCode) {
      problem = problem_at(
          layout.heading_line,
          "the file names no footprint or package column, and korvane finds "
          "each part's size by it; import the KiCad board file instead "
          "(korvane-import board.kicad_pcb board.txt), or name the column "
          "that holds the part code with --code");
      return -1;
    }
    if (at == -1 && role == Role::kAngle) {
      problem = problem_at(layout.heading_line, "no " + what +
                                                    " column found; name "
                                                    "it with " +
                                                    kColumnOptions[role]);
      return -1;
    }
  }
  return 0;
}

// The first line that holds more than blanks and is no "#" comment.
std::string_view first_row(std::string_view text) {
  for (size_t pos = 0; pos < text.size();) {
    std::string_view line = next_line(text, pos);
    size_t start = line.find_first_not_of(" \t");
    if (start != std::string_view::npos && line[start] != '#') return line;
  }
  return {};
}

// What a first row too short for the numbered columns lacks.
std::string too_few_fields(std::string_view first, const ColumnChoice& c) {
  Record record;
  heading_fields(first, Separator::kBlanks, record);
  int count = static_cast<int>(record.fields.size());
  for (Role role : kAllRoles)
    if (c.by_number[role] && c.index[role] >= count)
      return std::string(kColumnOptions[role]) + " " +
             std::to_string(c.index[role] + 1) + ": the first line has " +
             std::to_string(count) + " fields";
  return "the first line has fewer fields than the columns named";
}

// Whether the options give the code, X, Y and angle columns by number,
// and no column by name.
bool numbers_columns(const ImportOptions& options) {
  for (const ColumnOption& column : options.column.of)
    if (!column.name.empty()) return false;
  for (Role role : {Role::kCode, Role::kX, Role::kY, Role::kAngle})
    if (options.column[role].number == 0) return false;
  return true;
}

// Without a heading, the columns the options number: the first separator
// that cuts the first row into enough fields for every one. Cut at blanks, a
// code column after all others is each row's last field, and needs one field at
// least. Returns -1 with `problem` when none does.
int headerless_layout(std::string_view text, const ImportOptions& options,
                      ExportLayout& layout, Problem& problem) {
  int others = 0;  // the fields the roles other than the code need
  for (Role role : kAllRoles) {
    int number = options.column[role].number;
    layout.columns.index[role] = number - 1;
    layout.columns.by_number[role] = number > 0;
    if (role != Role::kCode && number > others) others = number;
  }
  int code = options.column[Role::kCode].number;
  std::string_view first = first_row(text);
  for (Separator separator : kSeparators) {
    Record record;
    bool last = separator == Separator::kBlanks && code > others;
    int needed = last ? others + 1 : std::max(code, others);
    if (heading_fields(first, separator, record) &&
        static_cast<int>(record.fields.size()) >= needed) {
      layout.separator = separator;
      layout.code_last = last;
      return 0;
    }
  }
  problem = problem_at(1, too_few_fields(first, layout.columns));
  return -1;
}

// Whether a row cut at blanks is a name, three numbers and one field more
// at least, as Eagle's mount files and Allegro's place_txt write them.
bool name_first_row(const Record& record) {
  const std::vector<std::string>& f = record.fields;
  double value = 0;
  Unit unit = Unit::kNone;
  DecimalMark point = DecimalMark::kPoint;
  return f.size() >= 5 && read_length(f[0], point, value, unit) != 0 &&
         read_length(f[1], point, value, unit) == 0 &&
         read_length(f[2], point, value, unit) == 0 &&
         read_angle(f[3], point, value) == 0;
}

// Whether a line ahead of name-first rows is a declaration ("VERSION =
// 2.0") or a comment in brackets.
bool is_preamble(std::string_view row) {
  return starts_with(row, '(') || row.find('=') != std::string_view::npos;
}

// Allegro's "UUNITS = MILS" in a preamble gives the unit and marks
// place_txt. Returns -1 with `problem` set on a unit korvane-import does
// not know.
int read_uunits(std::string_view row, int line, ExportLayout& layout,
                Problem& problem) {
  size_t equals = row.find('=');
  if (starts_with(row, '(') || equals == std::string_view::npos ||
      name_key(row.substr(0, equals)) != "uunits")
    return 0;
  layout.mirror_mark = true;
  layout.file_unit = declared_unit(row);
  if (layout.file_unit != Unit::kNone) return 0;
  problem = problem_at(line,
                       "the unit here is none that korvane-import reads; "
                       "write the placements again in MILLIMETERS, MILS or "
                       "INCHES");
  return -1;
}

// Without a heading or column options: rows of a name, three numbers and
// the rest, the code last, after preamble lines; blank rows and "#"
// comments pass. Sets layout.code_last when every row is one. Returns -1
// with `problem` set on a unit korvane-import does not know.
int name_first_layout(std::string_view text, ExportLayout& layout,
                      Problem& problem) {
  layout = ExportLayout();
  layout.separator = Separator::kBlanks;
  layout.data_line = 0;  // no row found yet
  size_t pos = 0;
  for (int line = 1; pos < text.size();) {
    size_t start = pos;
    int start_line = line;
    Record record;
    Problem ignored;
    if (skip_comment_line(text, pos, line)) continue;
    if (split_record(text, pos, line, layout.separator, record, ignored) != 0)
      return 0;
    bool placement = name_first_row(record);
    if (placement && layout.data_line == 0) {
      layout.data_start = start;
      layout.data_line = start_line;
    }
    if (placement || record.fields.empty()) continue;
    std::string_view row = text.substr(start, pos - start);
    if (layout.data_line || !is_preamble(row)) return 0;
    if (read_uunits(row, start_line, layout, problem) != 0) return -1;
  }
  // Reference, code (each row's last field), X, Y and rotation.
  layout.columns.index = {{0, 4, 1, 2, 3, -1}};
  layout.code_last = layout.data_line != 0;
  return 0;
}

// The unit that "#" comment lines right after the heading declare, as
// gEDA's "# X,Y in mils."; kNone when they declare none.
Unit unit_after_heading(std::string_view text, size_t pos) {
  while (pos < text.size()) {
    std::string_view line = next_line(text, pos);
    if (!starts_with(line, '#')) return Unit::kNone;
    Unit unit = declared_unit(line);
    if (unit != Unit::kNone) return unit;
  }
  return Unit::kNone;
}

// Whether the options name any column.
bool names_columns(const ImportOptions& options) {
  for (const ColumnOption& column : options.column.of)
    if (given(column)) return true;
  return false;
}

// Without a heading: name-first rows when the options name no column,
// else the columns the options number; the unit declared is kept. Returns
// -1 with `problem` set when neither fits.
int layout_without_heading(std::string_view text, const ImportOptions& options,
                           ExportLayout& layout, Problem& problem) {
  Unit declared = layout.file_unit;
  if (!names_columns(options)) {
    if (name_first_layout(text, layout, problem) != 0) return -1;
    if (layout.code_last) return 0;
  }
  layout = ExportLayout();
  layout.file_unit = declared;
  if (numbers_columns(options))
    return headerless_layout(text, options, layout, problem);
  problem = problem_at(1,
                       "no heading found: no line of the first 1000 names the "
                       "reference, X and Y columns; name them with --ref, --x "
                       "and --y, or give --code, --x, --y and --angle as "
                       "column numbers");
  return -1;
}

}  // namespace

int find_layout(std::string_view text, const ImportOptions& options,
                ExportLayout& layout, Problem& problem) {
  layout = ExportLayout();
  size_t pos = 0;
  for (int line = 1; pos < text.size() && line <= kHeadingLines; ++line) {
    std::string_view row = next_line(text, pos);
    Record heading;
    if (try_heading(row, options, layout, heading)) {
      layout.heading_line = line;
      layout.heading_fields = static_cast<int>(heading.fields.size());
      layout.rest_from = rest_column(layout);
      layout.data_start = std::min(pos, text.size());
      layout.data_line = line + 1;
      layout.kicad = is_kicad_heading(heading);
      if (layout.file_unit == Unit::kNone)
        layout.file_unit = unit_after_heading(text, layout.data_start);
      return check_columns(layout, problem);
    }
    if (layout.file_unit == Unit::kNone) layout.file_unit = declared_unit(row);
  }
  return layout_without_heading(text, options, layout, problem);
}

}  // namespace korvane
