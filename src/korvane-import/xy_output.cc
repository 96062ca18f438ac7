#include "korvane-import/xy_output.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <unordered_map>

#include "input/column_map.h"
#include "input/placement.h"
#include "korvane-import/placements.h"
#include "korvane-import/units.h"
#include "os/same_file.h"
#include "text/scan.h"
#include "text/text_input.h"
#include "text/text_output.h"

namespace korvane {

namespace {

// The xy file's columns, as lumbrex.ini gives them.
constexpr ColumnMap kXyColumns = {.x = 2, .y = 3, .a = 4, .row = 1, .code = 1};

// Sets `row` to the placement's row, without its line end.
void row_text(const ImportedPlacement& p, std::string& row) {
  row = p.code;
  for (double number : {p.x, p.y, p.angle})
    (row += '\t') += shortest_text(number);
  (((row += '\t') += p.ref) += '\t') += p.side;
}

// The longest text shortest_text writes, "-2.2250738585072014e-308", fits
// korvane's number field whole.
static_assert(kNumberFieldCapacity >= 24);

// Whether korvane reads the row back, with its own decoding, as the
// placement it was written from: as one line of six fields, whole (no
// NUL or Ctrl-Z ends it early), code, X, Y and angle as written.
bool reads_back(const std::string& row, const ImportedPlacement& p) {
  if (row.find_first_of(kUnwritable.substr(1)) != std::string::npos ||
      std::count(row.begin(), row.end(), '\t') != 5)
    return false;
  Placement read;
  decode_placement(row.c_str(), kXyColumns, read);
  // A code past korvane's line limit is left to the row-length check.
  return read.x == p.x && read.y == p.y && read.a == p.angle &&
         p.code.compare(0, kCodeCapacity, read.code) == 0;
}

// Reads the first line of the file at `path` into `line`. Returns kRead,
// kNotOpened or kReadFailed.
ReadStatus first_line(const std::string& path, std::string& line) {
  auto in = std::make_unique_for_overwrite<TextInput>();
  if (open_text_input(*in, path.c_str()) != ReadStatus::kRead)
    return ReadStatus::kNotOpened;
  std::vector<char> text(kRowCapacity + 1);
  read_line(*in, text.data(), text.size());
  line = text.data();
  ReadStatus status = input_status(*in);
  close_text_input(*in);
  return status;
}

// The columns of code, x, y and a as korvane uses them: 0 or less is
// column 1.
std::vector<int> drawn_columns(const ColumnMap& columns) {
  std::vector<int> drawn;
  for (int column : {columns.code, columns.x, columns.y, columns.a})
    drawn.push_back(column < 1 ? 1 : column);
  return drawn;
}

// True when `line` is the heading korvane-import writes into an xy file.
bool is_xy_heading(std::string_view line) {
  std::string text(trimmed(line, "\r"));
  const char* names[] = {"code", "x", "y", "angle", "reference", "side"};
  if (std::count(text.begin(), text.end(), '\t') != 5) return false;
  for (int i = 0; i < 6; ++i) {
    std::string field = field_text(text.c_str(), i + 1);
    if (i == 1 || i == 2) field = field.substr(0, field.find('('));
    if (field != names[i]) return false;
  }
  return true;
}

// Where the extension of the last name in `path` starts ("." included), or
// its end when it has none.
size_t extension_at(const std::string& path) {
  size_t start = folder_of(path).size();
  size_t dot = path.rfind('.');
  return dot == std::string::npos || dot <= start ? path.size() : dot;
}

}  // namespace

int xy_text(const std::vector<ImportedPlacement>& placements, size_t first,
            size_t count, std::string& text, Problem& problem) {
  Unit unit = count ? placements[first].x_unit : Unit::kNone;
  std::string in =
      unit == Unit::kNone ? "" : std::string("(") + unit_name(unit) + ")";
  text = "code\tx" + in + "\ty" + in + "\tangle\treference\tside\r\n";
  std::string row;
  for (size_t i = first; i < first + count; ++i) {
    row_text(placements[i], row);
    if (!reads_back(row, placements[i])) {
      problem = problem_at(placements[i].line,
                           "korvane would not read this row back as it is "
                           "written; check its code and numbers");
      return -1;
    }
    if (row.size() > static_cast<size_t>(kRowCapacity)) {
      problem =
          problem_at(placements[i].line,
                     "the row would be " + std::to_string(row.size()) +
                         " characters long, and korvane reads " +
                         std::to_string(kRowCapacity) + "; shorten the code");
      return -1;
    }
    (text += row) += "\r\n";
  }
  return 0;
}

std::string piece_name(const std::string& path, int n) {
  size_t dot = extension_at(path);
  return path.substr(0, dot) + '-' + std::to_string(n) + path.substr(dot);
}

std::string layer_name(const std::string& path) {
  return path.substr(0, extension_at(path));
}

std::vector<Problem> remove_stale_pieces(const std::string& path, int count) {
  std::vector<Problem> notes;
  for (int n = count + 1;; ++n) {
    std::string piece = piece_name(path, n);
    std::string heading;
    ReadStatus status = first_line(piece, heading);
    if (status == ReadStatus::kNotOpened) break;
    if (status == ReadStatus::kRead && is_xy_heading(heading) &&
        remove(piece.c_str()) == 0) {
      notes.push_back(problem_at(0,
                                 "removed: a piece of an earlier --split, "
                                 "past the " +
                                     std::to_string(count) + " this one writes",
                                 piece));
      continue;
    }
    notes.push_back(problem_at(0,
                               "left as it is, though it is named as a "
                               "piece past the " +
                                   std::to_string(count) +
                                   " this run writes: korvane-import did not "
                                   "write it; move it away before drawing the "
                                   "pieces",
                               piece));
  }
  return notes;
}

std::string settings_text() {
  std::string text =
      "# Columns of the xy files that korvane-import writes:\n"
      "# code, x, y, angle, reference, side.\n";
  for (int key : {4, 0, 1, 2, 3})  // code, x, y, a, row
    text += std::string(kColumnKeys[key]) + " = " +
            std::to_string(column_value(kXyColumns, key)) + "\n";
  return text + "end\n";
}

int settings_needed(bool replace, bool& needed, Problem& problem) {
  Settings settings;
  std::error_code error;
  bool exists = std::filesystem::exists(kSettingsFile, error);
  needed = !exists;
  if (!exists) return 0;
  if (read_settings(kSettingsFile, {}, settings) != ReadStatus::kRead) {
    problem =
        problem_at(0, "cannot read it to tell whether it fits; move it away",
                   kSettingsFile);
    return -1;
  }
  std::vector<int> found = drawn_columns(settings.columns);
  needed = found != drawn_columns(kXyColumns);
  if (!needed || replace) return 0;
  problem = problem_at(0,
                       "gives the columns code " + std::to_string(found[0]) +
                           ", x " + std::to_string(found[1]) + ", y " +
                           std::to_string(found[2]) + ", a " +
                           std::to_string(found[3]) +
                           ", not 1, 2, 3, 4 as the xy file has them; pass "
                           "--settings to replace it",
                       kSettingsFile);
  return -1;
}

int check_targets(const std::vector<WholeFile>& files, const char* guarded,
                  Problem& problem) {
  std::unordered_map<std::string, const std::string*> written;
  for (const WholeFile& file : files) {
    const std::string& path = file.path;
    if (writes_file(path, guarded)) {
      problem = problem_at(0, "is the export itself; name another file", path);
      return -1;
    }
    if (unsigned long names = name_count(path.c_str()); names > 1) {
      problem = problem_at(
          0,
          "has " + std::to_string(names) +
              " names (hard links): written whole, this name would get a "
              "new file, and " +
              (names == 2 ? std::string("the other name keeps")
                          : std::to_string(names - 1) + " other names keep") +
              " the old one; make it a file of its own (copy it, and move "
              "the copy over it), then run again",
          path);
      return -1;
    }
    auto [at, fresh] = written.emplace(destination_of(path), &path);
    if (fresh) continue;
    problem = problem_at(0,
                         "leads to the same file as " + *at->second +
                             ", which this run writes too; name another file",
                         path);
    return -1;
  }
  return 0;
}

}  // namespace korvane
