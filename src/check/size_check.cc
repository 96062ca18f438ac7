#include "check/size_check.h"

#include <set>
#include <tuple>

#include "input/part_size.h"
#include "text/scan.h"

namespace {

std::string cut_code(const std::string& code) {
  return code.substr(0, kCodeCutLength);
}

std::string dimensions(const PartSize& size) {
  return number(size.length) + " by " + number(size.width);
}

// The first row of `rows` with the given loose key, hidden or not as asked.
const SizeRow* loose_row(const SizeIndex& index, const std::string& code,
                         bool hidden) {
  std::string key = loose_key(code);
  for (const SizeRow& row : index.rows)
    if (row.hidden == hidden && loose_key(row.code) == key) return &row;
  return nullptr;
}

// What the table holds that korvane does not see for `code`.
std::string near_miss(const SizeIndex& index, const std::string& code) {
  if (const SizeRow* row = loose_row(index, code, false))
    return "; " + quoted(row->code) +
           " (size.txt:" + std::to_string(row->line) +
           ") differs from it only in spaces";
  if (const SizeRow* row = loose_row(index, code, true))
    return "; size.txt:" + std::to_string(row->line) + " holds " +
           quoted(row->code) + " below the empty line at size.txt:" +
           std::to_string(index.empty_line) + ", which korvane never reads";
  return "";
}

void missing_code(const char* path, const XyRow& r, const DrawnSize& drawn,
                  const SizeIndex& index, Findings& findings) {
  std::string message =
      "part code " + quoted(r.code) + " is not in size.txt; it is drawn ";
  if (drawn.row) {
    message += dimensions(drawn.size) + ", the size of " +
               quoted(drawn.row->code) +
               " (size.txt:" + std::to_string(drawn.row->line) + ")";
  } else {
    message += "as a point, since no size was found before it";
  }
  add_finding(findings, path, r.line, message + near_miss(index, r.code));
}

// A length or width field that korvane does not read as a positive number.
std::string bad_dimension(const char* what, const std::string& text,
                          double value) {
  std::string trimmed = text.substr(0, text.find_last_not_of(' ') + 1);
  size_t used = real_length(trimmed.c_str());
  std::string reads = "; korvane reads " + number(value);
  if (used == 0)
    return std::string(what) + " " + quoted(text) + " is not a number" + reads;
  if (used < trimmed.size())
    return std::string(what) + " " + quoted(text) + " is only partly a number" +
           reads;
  if (value <= 0)
    return std::string(what) + " " + number(value) + " is not above 0";
  return "";
}

void check_row_values(const SizeRow& row, Findings& findings) {
  for (auto [what, text, value] :
       {std::tuple{"length", row.length, row.size.length},
        std::tuple{"width", row.width, row.size.width}}) {
    std::string problem = bad_dimension(what, text, value);
    if (!problem.empty())
      add_finding(findings, "size.txt", row.line,
                  "the " + problem + " for " + quoted(row.code) +
                      ", which the placements use");
  }
}

// Later rows before the empty line that give `row`'s code another size.
void check_repeats(const SizeIndex& index, const SizeRow& row,
                   Findings& findings) {
  for (const SizeRow& later : index.rows) {
    if (later.hidden || later.line <= row.line ||
        !text_equal(later.code.c_str(), row.code.c_str()))
      continue;
    if (later.size.length == row.size.length &&
        later.size.width == row.size.width)
      continue;
    add_finding(findings, "size.txt", later.line,
                quoted(later.code) + " is given again, " +
                    dimensions(later.size) + "; korvane uses the first row, " +
                    dimensions(row.size) +
                    " (size.txt:" + std::to_string(row.line) + ")");
  }
}

// Codes that only rows below the empty line hold.
std::string hidden_codes(const XyList& xy, const SizeIndex& index) {
  std::set<std::string> named;
  std::string list;
  bool by_cut;
  for (const XyRow& r : xy.rows) {
    if (korvane_row(index, r.code, by_cut)) continue;
    for (const SizeRow& row : index.rows)
      if (row.hidden && text_equal(row.code.c_str(), r.code.c_str()) &&
          named.insert(loose_key(row.code)).second)
        list += (list.empty() ? "" : ", ") + quoted(row.code) +
                " (size.txt:" + std::to_string(row.line) + ")";
  }
  return list;
}

}  // namespace

std::vector<std::string> wanted_codes(const XyList& xy) {
  std::vector<std::string> keys;
  for (const XyRow& r : xy.rows) {
    keys.push_back(loose_key(r.code));
    if (r.code.size() > static_cast<size_t>(kCodeCutLength))
      keys.push_back(loose_key(cut_code(r.code)));
  }
  return keys;
}

std::vector<DrawnSize> resolve_sizes(const char* xy_path, const XyList& xy,
                                     const SizeIndex& index,
                                     Findings& findings) {
  std::vector<DrawnSize> sizes;
  DrawnSize current;
  long found_at = 0;  // xy line of the last placement whose code was found
  for (const XyRow& r : xy.rows) {
    bool by_cut;
    if (const SizeRow* row = korvane_row(index, r.code, by_cut)) {
      current = {row->size, row, 0};
      found_at = r.line;
      sizes.push_back(current);
      if (by_cut)
        add_finding(findings, xy_path, r.line,
                    "part code " + quoted(r.code) +
                        " is not in size.txt; "
                        "korvane matches its first " +
                        std::to_string(kCodeCutLength) + " characters, " +
                        quoted(row->code, 64) +
                        " (size.txt:" + std::to_string(row->line) +
                        "), and draws it " + dimensions(row->size));
      continue;
    }
    current.carried_from = found_at;
    sizes.push_back(current);
    if (index.found) missing_code(xy_path, r, current, index, findings);
  }
  return sizes;
}

void check_size_table(const char* path, const XyList& xy,
                      const SizeIndex& index,
                      const std::vector<DrawnSize>& sizes, Findings& findings) {
  if (!index.found) {
    add_finding(findings, path, 0,
                "missing; korvane draws every outline as a point");
    return;
  }
  if (index.failed)
    add_fatal(findings, path, 0, "cannot be read to its end; korvane fails");
  if (index.hidden_rows) {
    std::string codes = hidden_codes(xy, index);
    add_finding(findings, path, index.empty_line,
                "an empty line ends the table; korvane never reads the " +
                    count(index.hidden_rows, "row") + " after it" +
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
    check_repeats(index, *row, findings);
  }
}
