#include "check/size_check.h"

#include <set>
#include <tuple>

#include "input/working_files.h"
#include "text/message.h"
#include "text/scan.h"
#include "text/text_output.h"

namespace {

std::string dimensions(const PartSize& size) {
  return short_number(size.length, 4) + " by " + short_number(size.width, 4);
}

std::string size_row(long line) { return place(kSizeTableFile, line); }

// The first row with the code's loose key, hidden or not as asked.
const SizeRow* loose_row(const SizeTable& table, const std::string& code,
                         bool hidden) {
  auto rows = table.by_key.find(loose_key(code));
  if (rows == table.by_key.end()) return nullptr;
  for (size_t i : rows->second)
    if (table.rows[i].hidden == hidden) return &table.rows[i];
  return nullptr;
}

// What the table holds that korvane does not see for `code`.
std::string near_miss(const SizeTable& table, const std::string& code) {
  if (const SizeRow* row = loose_row(table, code, false))
    return "; " + quoted(row->code) + " (" + size_row(row->line) +
           ") differs from it only in spaces";
  if (const SizeRow* row = loose_row(table, code, true))
    return "; " + size_row(row->line) + " holds " + quoted(row->code) +
           " below the empty line at " + size_row(table.empty_line) +
           ", which korvane never reads";
  return "";
}

void missing_code(const char* path, const PlacementRow& r,
                  const DrawnSize& drawn, const SizeTable& table,
                  Findings& findings) {
  std::string code = r.placement.code;
  std::string message = "part code " + quoted(code) + " is not in " +
                        kSizeTableFile + "; it is drawn ";
  if (drawn.row) {
    message += dimensions(drawn.size) + ", the size of " +
               quoted(drawn.row->code) + " (" + size_row(drawn.row->line) + ")";
  } else {
    message += "as a point, since no size was found before it";
  }
  add_finding(findings, path, r.line, message + near_miss(table, code));
}

// A length or width field that korvane does not read as a positive number.
std::string bad_dimension(const char* what, const std::string& text,
                          double value) {
  std::string number(trimmed(text));
  size_t used = real_length(number.c_str());
  std::string reads = "; korvane reads " + short_number(value, 4);
  if (used == 0)
    return std::string(what) + " " + quoted(text) + " is not a number" + reads;
  if (used < number.size())
    return std::string(what) + " " + quoted(text) + " is only partly a number" +
           reads;
  if (value <= 0)
    return std::string(what) + " " + short_number(value, 4) + " is not above 0";
  return "";
}

void check_row_values(const SizeRow& row, Findings& findings) {
  for (auto [what, text, value] :
       {std::tuple{"length", row.length, row.size.length},
        std::tuple{"width", row.width, row.size.width}}) {
    std::string problem = bad_dimension(what, text, value);
    if (!problem.empty())
      add_finding(findings, kSizeTableFile, row.line,
                  "the " + problem + " for " + quoted(row.code) +
                      ", which the placements use");
  }
}

// Later rows before the empty line that give `row`'s code another size.
void check_repeats(const SizeTable& table, const SizeRow& row,
                   Findings& findings) {
  for (const SizeRow& later : table.rows) {
    if (later.hidden || later.line <= row.line ||
        !text_equal(later.code.c_str(), row.code.c_str()))
      continue;
    if (later.size.length == row.size.length &&
        later.size.width == row.size.width)
      continue;
    add_finding(findings, kSizeTableFile, later.line,
                quoted(later.code) + " is given again, " +
                    dimensions(later.size) + "; korvane uses the first row, " +
                    dimensions(row.size) + " (" + size_row(row.line) + ")");
  }
}

// Codes that only rows below the empty line hold.
std::string hidden_codes(const PlacementList& list, const SizeTable& table) {
  std::set<std::string> named;
  std::string codes;
  CodeMatch match;
  for (const PlacementRow& r : list.rows) {
    const char* code = r.placement.code;
    if (find_size_row(table, code, match)) continue;
    for (const SizeRow& row : table.rows)
      if (row.hidden && text_equal(row.code.c_str(), code) &&
          named.insert(loose_key(row.code)).second)
        codes += (codes.empty() ? "" : ", ") + quoted(row.code) + " (" +
                 size_row(row.line) + ")";
  }
  return codes;
}

}  // namespace

std::vector<DrawnSize> resolve_sizes(const char* xy_path,
                                     const PlacementList& list,
                                     const SizeTable& table,
                                     Findings& findings) {
  std::vector<DrawnSize> sizes;
  DrawnSize current;
  long found_at = 0;  // xy line of the last placement whose code was found
  for (const PlacementRow& r : list.rows) {
    CodeMatch match;
    const std::string code = r.placement.code;
    if (const SizeRow* row = find_size_row(table, code, match)) {
      current = {row->size, row, 0};
      found_at = r.line;
      sizes.push_back(current);
      if (match == CodeMatch::kCut)
        add_finding(findings, xy_path, r.line,
                    "part code " + quoted(code) + " is not in " +
                        kSizeTableFile + "; korvane matches its first " +
                        std::to_string(kCodeCutLength) + " characters, " +
                        quoted(row->code, 64) + " (" + size_row(row->line) +
                        "), and draws it " + dimensions(row->size));
      continue;
    }
    current.carried_from = found_at;
    sizes.push_back(current);
    // A table korvane cannot read is reported as such, not code by code.
    if (table.found && !table.failed)
      missing_code(xy_path, r, current, table, findings);
  }
  return sizes;
}

void check_size_table(const PlacementList& list, const SizeTable& table,
                      const std::vector<DrawnSize>& sizes, Findings& findings) {
  const char* path = kSizeTableFile;
  if (!table.found) {
    add_finding(findings, path, 0,
                "missing; korvane draws every outline as a point");
    return;
  }
  if (table.failed)
    add_fatal(findings, path, 0, "cannot be read to its end; korvane fails");
  if (table.hidden_rows) {
    std::string codes = hidden_codes(list, table);
    add_finding(findings, path, table.empty_line,
                "an empty line ends the table; korvane never reads the " +
                    count(table.hidden_rows, "row") + " after it" +
                    (codes.empty() ? ""
                                   : ", among them " + codes +
                                         ", which the placements use"));
  }
  std::set<long> seen;
  for (size_t i = 0; i < sizes.size(); ++i) {
    const SizeRow* row = sizes[i].row;
    if (!row || sizes[i].carried_from || !seen.insert(row->line).second)
      continue;
    check_row_values(*row, findings);
    check_repeats(table, *row, findings);
  }
}
