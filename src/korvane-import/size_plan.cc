#include "korvane-import/size_plan.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#include "input/file_form.h"
#include "input/size_table.h"
#include "input/working_files.h"
#include "kicad/library.h"
#include "korvane-import/eagle_import.h"
#include "korvane-import/name_size.h"
#include "korvane-import/size_rows.h"
#include "korvane-import/units.h"
#include "text/key_slots.h"
#include "text/message.h"
#include "text/scan.h"
#include "text/text_input.h"
#include "text/text_output.h"

namespace korvane {

namespace {

// The largest size.txt that rows are inserted into.
constexpr size_t kLargestTable = 64u << 20;
// The most other lines a warning names for one code.
constexpr size_t kLinesNamed = 10;

enum class SizeFrom : unsigned char { kTable, kKnown, kUnknown };

// A size from a source other than the table, and its size.txt row.
struct SourcedSize {
  KnownSize size;  // in mm
  std::string row;
};

// No other line: the end of a chain of them, or an empty one.
constexpr uint32_t kNoMore = UINT32_MAX;

// A line that a code stands on after its first, and the next such line.
struct MoreLine {
  int line = 0;
  uint32_t next = kNoMore;
};

// What is known of the size of one distinct part code of the placements.
struct CodeSizing {
  int line = 0;  // the first line it stands on
  SizeFrom from = SizeFrom::kUnknown;
  // Its other lines, chained through SizePlan::more: most codes have none.
  uint32_t more = kNoMore;
  uint32_t last_more = kNoMore;
  // With a source other than the table; most codes have none, and a run
  // may hold many thousands.
  std::unique_ptr<SourcedSize> sourced;
};

// What one run knows of sizes.
struct SizePlan {
  SizeTable table;             // size.txt, as korvane reads it
  bool exists = false;         // size.txt is there, readable or not
  Unit xy_unit = Unit::kNone;  // the coordinates' unit
  Unit unit = Unit::kMm;       // the rows': see rows_unit
  bool adding = false;         // rows go into size.txt
  // The distinct codes, as each first stands, and what is known of each,
  // by the same index: the codes are the list the table is read for.
  std::vector<std::string> codes;
  std::vector<CodeSizing> sizing;
  std::vector<MoreLine> more;  // the lines that codes stand on again
  EagleLibraries eagle;        // the Eagle files of --library
};

// Enters the distinct codes (as korvane tells codes apart: byte for byte,
// letters a to z taken as A to Z) in the plan, in the order they first
// stand, found through open-addressed slots.
void distinct_codes(const std::vector<ImportedPlacement>& placements,
                    SizePlan& plan) {
  plan.codes.reserve(placements.size());
  plan.sizing.reserve(placements.size());
  std::vector<uint32_t> slots = free_slots(placements.size());
  for (const ImportedPlacement& p : placements) {
    size_t at = key_slot(slots, folded(p.code),
                         [&](uint32_t i) { return folded(plan.codes[i]); });
    if (slots[at] != kFreeSlot) {
      CodeSizing& c = plan.sizing[slots[at]];
      auto next = static_cast<uint32_t>(plan.more.size());
      (c.more == kNoMore ? c.more : plan.more[c.last_more].next) = next;
      c.last_more = next;
      plan.more.push_back({p.line});
      continue;
    }
    slots[at] = static_cast<uint32_t>(plan.codes.size());
    plan.codes.push_back(p.code);
    plan.sizing.emplace_back().line = p.line;
  }
}

// Reads size.txt for the codes. One that is there but cannot be read is
// warned of; with --add-sizes it is refused: returns -1 with `problem`.
int read_table(const ImportOptions& options, SizePlan& plan,
               std::vector<Problem>& warnings, Problem& problem) {
  ReadStatus status =
      read_size_table(kSizeTableFile, plan.codes, {}, plan.table);
  std::error_code error;
  plan.exists = std::filesystem::exists(kSizeTableFile, error);
  if (status == ReadStatus::kRead || !plan.exists) return 0;
  Problem unread = problem_at(0,
                              status == ReadStatus::kReadFailed
                                  ? "cannot be read to its end, so korvane "
                                    "would fail; its codes were not checked"
                                  : "cannot be opened; its codes were not "
                                    "checked",
                              kSizeTableFile);
  if (options.add_sizes)
    problem = unread;
  else
    warnings.push_back(unread);
  return options.add_sizes ? -1 : 0;
}

// Refuses to add rows to a table that korvane cannot read as it is
// saved: UTF-16, or commas or semicolons where it looks for TABs.
int check_table_form(Problem& problem) {
  FileForm form = file_form(kSizeTableFile, FormLook::kRows);
  if (form.form == TextForm::kText) return 0;
  problem = problem_at(static_cast<int>(form.line),
                       form_words(form.form) +
                           ", so korvane finds no size in it, nor in rows "
                           "added to it; " +
                           form_remedy(form.form) + ", then run again",
                       kSizeTableFile);
  return -1;
}

// The unit the rows are written in: the coordinates', else the one the
// table declares, else mm.
Unit rows_unit(const SizePlan& plan) {
  if (plan.xy_unit != Unit::kNone) return plan.xy_unit;
  Unit declared = size_table_unit(plan.table);
  return declared != Unit::kNone ? declared : Unit::kMm;
}

// The size of the library footprint named `code`: false when no library
// holds one with a body.
bool library_size(FootprintLibraries& libraries, const std::string& code,
                  KnownSize& size, std::vector<Problem>& warnings) {
  BodyBox body;
  std::string library;
  if (!library_body(libraries, code, body, library, warnings)) return false;
  size.length = extent_length(body.extent);
  size.width = extent_width(body.extent);
  size.tag = kTagLibrary;
  size.note = library + " " + body.layer;
  return true;
}

// The size the code's name states.
bool name_size(const std::string& code, KnownSize& size) {
  NamedSize named;
  if (!size_from_name(code, named)) return false;
  size.length = named.length;
  size.width = named.width;
  size.tag = kTagName;
  size.note = named.source;
  return true;
}

// Where the size of `code` comes from, noted in `c`: the table, the
// design, a library or its name, the first that has one.
void size_code(const std::string& code, CodeSizing& c, const SizePlan& plan,
               const DesignSizes& design, FootprintLibraries& libraries,
               std::vector<Problem>& warnings) {
  CodeMatch match;
  if (find_size_row(plan.table, code, match)) {
    c.from = SizeFrom::kTable;
    return;
  }
  auto sourced = std::make_unique<SourcedSize>();
  KnownSize& size = sourced->size;
  auto body = design.find(folded(code));
  if (body != design.end())
    size = body->second;
  else if (!eagle_library_size(plan.eagle, code, size, warnings) &&
           !library_size(libraries, code, size, warnings) &&
           !name_size(code, size))
    return;
  sourced->row = size_row(code, size, plan.unit);
  c.from = sourced->row.size() <= size_t{kSizeLineCapacity}
               ? SizeFrom::kKnown
               : SizeFrom::kUnknown;
  c.sourced = std::move(sourced);
}

// Warns when the table's row for `code` differs from the board's body.
void compare_row(const std::string& code, const SizePlan& plan,
                 const DesignSizes& design, const std::string& board,
                 std::vector<Problem>& warnings) {
  auto body = design.find(folded(code));
  if (body == design.end()) return;
  CodeMatch match;
  const SizeRow* row = find_size_row(plan.table, code, match);
  Unit declared = size_table_unit(plan.table);
  if (!row || (declared != Unit::kNone && declared != plan.unit)) return;
  const KnownSize& b = body->second;
  double length = length_in(b.length, plan.unit);
  double width = length_in(b.width, plan.unit);
  if (std::fabs(row->size.length - length) <= kSameSize &&
      std::fabs(row->size.width - width) <= kSameSize)
    return;
  warnings.push_back(problem_at(
      static_cast<int>(row->line),
      "the row for " + korvane::quoted(code) + " gives " +
          size_words(row->size.length, row->size.width) +
          ", and the board's body is " + size_words(length, width) + " (" +
          escaped(b.reference) + " at " + place(board, b.line) + ", " + b.note +
          "): korvane draws the row's size; correct the row if the board "
          "is right",
      kSizeTableFile));
}

// Warns when the coordinates have a unit that the table does not declare,
// unless they are in mm and the table declares none.
void check_table_unit(const SizePlan& plan, std::vector<Problem>& warnings) {
  Unit declared = size_table_unit(plan.table);
  Unit xy = plan.xy_unit;
  if (plan.table.status == ReadStatus::kNotOpened ||
      !units_disagree(xy, declared))
    return;
  std::string in = unit_name(xy);
  std::string message =
      declared == Unit::kNone
          ? "does not say which unit its sizes are in, and the coordinates "
            "are in " +
                in +
                ": if the sizes are in mm, korvane draws every "
                "part " +
                scale_words(Unit::kMm, xy) +
                "; pass --units mm, or if "
                "they are in " +
                in + ", write Length(" + in + ") and Width(" + in +
                ") in its heading"
          : "gives its sizes in " + std::string(unit_name(declared)) +
                ", and the coordinates are in " + in +
                ": korvane draws every part " + scale_words(declared, xy) +
                "; pass --units " + unit_name(declared) +
                ", or use a size table in " + in;
  warnings.push_back(problem_at(1, message, kSizeTableFile));
}

// " (3 parts; also on lines 7, 9)" for a code that stands on more lines.
std::string other_lines(const SizePlan& plan, const CodeSizing& c) {
  std::vector<long> more;
  for (uint32_t i = c.more; i != kNoMore; i = plan.more[i].next)
    more.push_back(plan.more[i].line);
  if (more.empty()) return "";
  return " (" + count(static_cast<long>(more.size() + 1), "part") +
         "; also on line" + (more.size() > 1 ? "s " : " ") +
         listed_numbers(more, kLinesNamed, ListStyle::kCommas) + ")";
}

// The warning for a code that the table lacks and gets no row.
Problem missing_code(const std::string& code, const CodeSizing& c,
                     const SizePlan& plan) {
  std::string start = "the part code " + korvane::quoted(code) +
                      other_lines(plan, c) + " is not in " + kSizeTableFile;
  if (c.from == SizeFrom::kKnown)
    return problem_at(
        c.line, start +
                    ", so korvane would draw it with the size of the last part "
                    "found before it; --add-sizes would add " +
                    size_words(length_in(c.sourced->size.length, plan.unit),
                               length_in(c.sourced->size.width, plan.unit)) +
                    " from " + c.sourced->size.note);
  std::string why = !c.sourced
                        ? "its size cannot be known: no footprint library "
                          "holds it and its name states none"
                        : "its row would be longer than the " +
                              std::to_string(kSizeLineCapacity) +
                              " characters korvane reads there";
  return problem_at(c.line,
                    start + ", and " + why +
                        "; korvane would draw it with the size of the last "
                        "part found before it, or as a point: add its row "
                        "to size.txt by hand");
}

// Refuses rows in another unit than the one the table declares.
int check_adding_unit(const SizePlan& plan, Problem& problem) {
  Unit declared = size_table_unit(plan.table);
  if (declared == Unit::kNone || declared == plan.unit) return 0;
  std::string in = unit_name(declared);
  problem = problem_at(
      1,
      "gives its sizes in " + in + ", and the rows to add are in " +
          unit_name(plan.unit) + ", the coordinates' unit; pass --units " + in +
          ", or add the rows by hand",
      kSizeTableFile);
  return -1;
}

// The bytes of the new size.txt: the table as it is, or a heading when
// there is none, with the rows inserted.
int table_bytes(const SizePlan& plan, const std::vector<std::string>& rows,
                std::string& bytes, Problem& problem) {
  std::string old;
  ReadStatus status = plan.exists
                          ? read_file_bytes(kSizeTableFile, old, kLargestTable)
                          : ReadStatus::kRead;
  if (status != ReadStatus::kRead) {
    problem = problem_at(0,
                         status == ReadStatus::kTooLarge
                             ? "is larger than 64 MiB; add the rows by hand"
                             : "cannot be read whole; no row is added",
                         kSizeTableFile);
    return -1;
  }
  if (plan.exists && check_adding_unit(plan, problem) != 0) return -1;
  // A new table ends its lines with CR LF, as every file korvane-import
  // writes; rows added to an old one take its own line ends.
  if (old.empty()) old = size_heading(plan.unit) + "\r\n";
  bytes = with_rows(old, rows);
  return 0;
}

// Adds size.txt to the files when rows go into it, and a warning for each
// code that the table lacks and gets no row.
int add_rows(const SizePlan& plan, std::vector<WholeFile>& files,
             std::vector<Problem>& warnings, Problem& problem) {
  std::vector<std::string> rows;
  for (size_t i = 0; i < plan.codes.size(); ++i) {
    const CodeSizing& c = plan.sizing[i];
    if (c.from == SizeFrom::kKnown && plan.adding)
      rows.push_back(c.sourced->row);
    else if (c.from != SizeFrom::kTable)
      warnings.push_back(missing_code(plan.codes[i], c, plan));
  }
  if (rows.empty()) return 0;
  WholeFile table{kSizeTableFile, ""};
  if (table_bytes(plan, rows, table.bytes, problem) != 0) return -1;
  files.push_back(std::move(table));
  return 0;
}

}  // namespace

int open_libraries(const ImportOptions& options, FootprintLibraries& libraries,
                   Problem& problem) {
  for (const std::string& folder : options.libraries)
    if (!is_eagle_library(folder) &&
        add_library_folder(libraries, folder, problem) != 0)
      return -1;
  if (options.default_libraries) add_default_libraries(libraries);
  return 0;
}

bool library_body(FootprintLibraries& libraries, const std::string& code,
                  BodyBox& body, std::string& library,
                  std::vector<Problem>& warnings) {
  std::optional<LibraryFootprint> found;
  Problem problem;
  if (find_library_footprint(libraries, code, found, problem) != 0) {
    problem.message += "; no size is taken from it";
    warnings.push_back(problem);
  }
  if (!found || found->footprint.body.extent.empty) return false;
  body = found->footprint.body;
  library = found->library;
  return true;
}

int plan_sizes(const ImportOptions& options,
               std::vector<ImportedPlacement> placements,
               const DesignSizes& design, std::vector<WholeFile>& files,
               std::vector<Problem>& warnings, Problem& problem) {
  FootprintLibraries libraries;
  SizePlan plan;
  if (placements.empty() ||
      add_eagle_libraries(plan.eagle, options.libraries, problem) != 0 ||
      open_libraries(options, libraries, problem) != 0)
    return placements.empty() ? 0 : -1;
  distinct_codes(placements, plan);
  plan.xy_unit = placements.front().x_unit;
  std::vector<ImportedPlacement>().swap(placements);  // their room, too
  if (read_table(options, plan, warnings, problem) != 0) return -1;
  if (plan.exists && plan.table.status != ReadStatus::kRead) return 0;
  if (plan.exists && options.add_sizes && check_table_form(problem) != 0)
    return -1;
  plan.unit = rows_unit(plan);
  plan.adding = !plan.exists || options.add_sizes;
  for (size_t i = 0; i < plan.codes.size(); ++i) {
    size_code(plan.codes[i], plan.sizing[i], plan, design, libraries, warnings);
    if (plan.sizing[i].from == SizeFrom::kTable && !design.empty())
      compare_row(plan.codes[i], plan, design, options.export_path, warnings);
  }
  warnings.insert(warnings.end(), libraries.warnings.begin(),
                  libraries.warnings.end());
  check_table_unit(plan, warnings);
  return add_rows(plan, files, warnings, problem);
}

}  // namespace korvane
