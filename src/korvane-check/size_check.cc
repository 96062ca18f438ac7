#include "korvane-check/size_check.h"

#include <cstring>
#include <map>
#include <set>
#include <tuple>

#include "input/working_files.h"
#include "text/encoding.h"
#include "text/message.h"
#include "text/scan.h"
#include "text/text_output.h"

namespace korvane {

namespace {

std::string dimensions(const PartSize& size) {
  return short_number(size.length, 4) + " by " + short_number(size.width, 4);
}

std::string size_row(long line) { return place(kSizeTableFile, line); }

// Where a row stands: above the first empty line, or below it, hidden.
enum class RowPlace { kRead, kHidden };

// The first row with the code's loose key, hidden or not as asked.
const SizeRow* loose_row(const SizeTable& table, const std::string& code,
                         RowPlace place) {
  const KeyRows* rows = key_rows(table, loose_key(code));
  if (!rows) return nullptr;
  for (size_t i = rows->first; i != kNoRow; i = table.rows[i].next)
    if (table.rows[i].hidden == (place == RowPlace::kHidden))
      return &table.rows[i];
  return nullptr;
}

// A row that holds `code` in another encoding, as a message says it.
std::string other_encoding(const SizeTable& table, const std::string& code) {
  for (const CodeVariant& v : code_variants(code)) {
    CodeMatch match;
    if (const SizeRow* row = find_size_row(table, v.code, match))
      return std::string("; ") + v.before + " " + quoted(size_field(*row, 2)) +
             ", which " + size_row(row->line) + " holds" + v.after;
  }
  return "";
}

// What the table holds that korvane does not see for `code`.
std::string near_miss(const SizeTable& table, const std::string& code) {
  std::string encoding = other_encoding(table, code);
  if (!encoding.empty()) return encoding;
  if (const SizeRow* row = loose_row(table, code, RowPlace::kRead))
    return "; " + quoted(size_field(*row, 2)) + " (" + size_row(row->line) +
           ") differs from it only in spaces";
  if (const SizeRow* row = loose_row(table, code, RowPlace::kHidden))
    return "; " + size_row(row->line) + " holds " +
           quoted(size_field(*row, 2)) + " below the empty line at " +
           size_row(table.empty_line) + ", which korvane never reads";
  return "";
}

// The placements of one part code that korvane does not find whole, by
// their index in the list, in order.
struct CodeGroup {
  std::vector<size_t> rows;
  const SizeRow* cut_row = nullptr;  // the row its cut matches, if any
};

// The codes korvane does not find whole, each with its placements, in the
// order of their first line.
std::vector<CodeGroup> code_groups(const PlacementList& list,
                                   const SizeTable& table) {
  std::vector<CodeGroup> groups;
  std::map<std::string, size_t> by_code;  // folded code: index in groups
  for (size_t i = 0; i < list.rows.size(); ++i) {
    CodeMatch match;
    const std::string& code = list.rows[i].placement.code;
    const SizeRow* row = find_size_row(table, code, match);
    if (match == CodeMatch::kWhole) continue;
    auto [at, added] = by_code.try_emplace(folded(code), groups.size());
    if (added) groups.push_back({{}, row});
    groups[at->second].rows.push_back(i);
  }
  return groups;
}

// Where else a group's code stands: "" for one placement, else " on 3
// lines, this one and 5 and 7".
std::string also_on(const std::vector<long>& lines) {
  constexpr size_t kNamed = 5;  // other lines named; the rest are counted
  if (lines.size() < 2) return "";
  return " on " + count(static_cast<long>(lines.size()), "line") +
         ", this one and " +
         listed_numbers({lines.begin() + 1, lines.end()}, kNamed,
                        ListStyle::kAnd);
}

// What a missing code is drawn at: at its first placement, and elsewhere.
std::string drawn_at(const CodeGroup& group,
                     const std::vector<DrawnSize>& sizes) {
  const DrawnSize& first = sizes[group.rows.front()];
  bool one = group.rows.size() == 1;
  bool points = true;
  for (size_t i : group.rows) points = points && !sizes[i].row;
  if (points)
    return std::string("it is drawn as a point") + (one ? "" : " on each") +
           ", since no size was found before it";
  std::string here = first.row
                         ? dimensions(first.size) + ", the size of " +
                               quoted(size_field(*first.row, 2)) + " (" +
                               size_row(first.row->line) + ")"
                         : "as a point, since no size was found before it";
  return one ? "it is drawn " + here
             : "here it is drawn " + here +
                   ", elsewhere with the size of the last part found before "
                   "it";
}

// The finding about one code that korvane does not find whole.
void report_code(const char* path, const PlacementList& list,
                 const SizeTable& table, const std::vector<DrawnSize>& sizes,
                 const CodeGroup& group, Findings& findings) {
  std::vector<long> lines;
  for (size_t i : group.rows) lines.push_back(list.rows[i].line);
  std::string code = list.rows[group.rows.front()].placement.code;
  std::string message = "part code " + quoted(code) + " is not in " +
                        kSizeTableFile + also_on(lines) + "; ";
  if (const SizeRow* row = group.cut_row)
    message += "korvane matches its first " + std::to_string(kCodeCutLength) +
               " characters, " + quoted(size_field(*row, 2), 64) + " (" +
               size_row(row->line) + "), and draws it " + dimensions(row->size);
  else
    message += drawn_at(group, sizes) + near_miss(table, code);
  add_grouped(findings, path, lines, message);
}

// A length or width field that korvane does not read as a positive number.
std::string bad_dimension(const char* what, std::string_view text,
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
       {std::tuple{"length", size_field(row, 3), row.size.length},
        std::tuple{"width", size_field(row, 4), row.size.width}}) {
    std::string problem = bad_dimension(what, text, value);
    std::string large = too_large(value, Quantity::kLength);
    if (!problem.empty())
      add_finding(findings, kSizeTableFile, row.line,
                  "the " + problem + " for " + quoted(size_field(row, 2)) +
                      ", which the placements use");
    else if (!large.empty())
      add_finding(findings, kSizeTableFile, row.line,
                  std::string("the ") + what + " " + quoted(text) + " for " +
                      quoted(size_field(row, 2)) + large);
  }
}

// Later rows before the empty line that give `row`'s code another size.
void check_repeats(const SizeTable& table, const SizeRow& row,
                   Findings& findings) {
  for (const SizeRow& later : table.rows) {
    if (later.hidden || later.line <= row.line ||
        !text_equal(size_field(later, 2), size_field(row, 2)))
      continue;
    if (later.size.length == row.size.length &&
        later.size.width == row.size.width)
      continue;
    add_finding(findings, kSizeTableFile, later.line,
                quoted(size_field(later, 2)) + " is given again, " +
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
    const char* code = r.placement.code.c_str();
    if (find_size_row(table, code, match)) continue;
    for (const SizeRow& row : table.rows)
      if (row.hidden && text_equal(size_field(row, 2), code) &&
          named.insert(loose_key(size_field(row, 2))).second)
        codes += (codes.empty() ? "" : ", ") + quoted(size_field(row, 2)) +
                 " (" + size_row(row.line) + ")";
  }
  return codes;
}

}  // namespace

bool own_size(const DrawnSize& drawn) {
  return drawn.row && !drawn.carried_from;
}

std::string size_row_name(const SizeRow& row) {
  for (const char* tag : kSourceTags)
    if (strcmp(size_field(row, 1), tag) == 0)
      return size_row(row.line) + " (" + tag + ")";
  return size_row(row.line);
}

std::vector<CodeVariant> code_variants(const std::string& code) {
  std::vector<CodeVariant> variants;
  std::string_view unmarked = without_byte_order_mark(code);
  if (unmarked.size() < code.size())
    variants.push_back({std::string(unmarked),
                        "without the UTF-8 byte order mark at its start it is",
                        ""});
  std::string other;
  if (!is_utf8(code))
    variants.push_back({utf8_from_windows_1252(code),
                        "it is not UTF-8, and read as Windows-1252 it is",
                        ": the xy file is saved as Windows-1252 (ANSI) and "
                        "size.txt as UTF-8; save both alike"});
  else if (windows_1252_from_utf8(code, other) && other != code)
    variants.push_back({other, "in Windows-1252 it is",
                        ": size.txt is saved as Windows-1252 (ANSI) and the "
                        "xy file as UTF-8; save both alike"});
  return variants;
}

void check_codes(const char* xy_path, const PlacementList& list,
                 const SizeTable& table, const std::vector<DrawnSize>& sizes,
                 Findings& findings) {
  // A table korvane cannot read is reported as such, not code by code.
  if (table.status != ReadStatus::kRead) return;
  for (const CodeGroup& group : code_groups(list, table))
    report_code(xy_path, list, table, sizes, group, findings);
}

void check_size_table(const PlacementList& list, const SizeTable& table,
                      const std::vector<DrawnSize>& sizes, Findings& findings) {
  const char* path = kSizeTableFile;
  if (table.status == ReadStatus::kNotOpened) {
    add_finding(findings, path, 0,
                "missing; korvane draws every outline as a point");
    return;
  }
  if (table.status == ReadStatus::kReadFailed)
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

}  // namespace korvane
