#include "input/placement.h"

#include <memory>

#include "input/working_files.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace korvane {

namespace {

double number_field(const char* row, int column) {
  char field[kNumberFieldCapacity + 1];
  get_field(row, column, field, sizeof field);
  return to_real(field);
}

// Notes a line with text that korvane does not draw.
void leave_out(PlacementList& list, long line, const char* text) {
  if (list.left_out.size() < kMostListed) list.left_out.push_back({line, text});
}

// Reads on to the end of the file from the line after `line`, counting the
// lines with text and noting the first ones.
long lines_with_text(TextInput& in, std::vector<char>& row, long line,
                     PlacementList& list) {
  long n = 0;
  for (bool at_end = false; !at_end;) {
    at_end = read_line(in, row.data(), row.size());
    ++line;
    if (row[0] == '\0') continue;
    leave_out(list, line, row.data());
    ++n;
  }
  return n;
}

// Reads on after the list has ended at line `line`, which `row` holds
// (empty, or the last placement drawn), and counts what is left out.
void read_rest(TextInput& in, std::vector<char>& row, long line, bool at_end,
               PlacementList& list) {
  if (row[0] != '\0' && !at_end) {
    at_end = read_line(in, row.data(), row.size());
    ++line;
    if (row[0] != '\0') {
      list.first_undrawn = line;
      leave_out(list, line, row.data());
      list.undrawn = 1 + (at_end ? 0 : lines_with_text(in, row, line, list));
      return;
    }
  }
  if (row[0] != '\0' || at_end) return;
  list.after_empty = lines_with_text(in, row, line, list);
  if (list.after_empty) list.empty_line = line;
}

}  // namespace

void decode_placement(const char* row, const ColumnMap& columns,
                      Placement& placement) {
  char code[kCodeCapacity + 1];
  get_field(row, columns.code, code, sizeof code);
  placement.code = code;
  placement.x = number_field(row, columns.x);
  placement.y = number_field(row, columns.y);
  placement.a = number_field(row, columns.a);
}

Unit placement_unit(const PlacementList& list, const ColumnMap& columns) {
  return heading_unit(field_text(list.heading.c_str(), columns.x));
}

ReadStatus read_placement_list(const char* path, const ColumnMap& columns,
                               ListReading how, PlacementList& list,
                               size_t most) {
  list = PlacementList{};
  auto in = std::make_unique_for_overwrite<TextInput>();
  if (open_text_input(*in, path) != ReadStatus::kRead) return list.status;
  std::vector<char> row(kRowCapacity + 1);
  bool at_end = read_line(*in, row.data(), row.size());
  list.heading = row.data();
  long line = 1;
  while (!at_end && list.rows.size() < most) {
    PlacementRow r;
    at_end = read_line(*in, row.data(), row.size(), &r.cut);
    r.line = ++line;
    if (row[0] == '\0') break;
    r.text = row.data();
    decode_placement(row.data(), columns, r.placement);
    list.rows.push_back(std::move(r));
  }
  // Only what korvane reads counts: a read error further on does not.
  list.status = input_status(*in);
  if (how == ListReading::kToTheEnd && line > 1)
    read_rest(*in, row, line, at_end, list);
  close_text_input(*in);
  return list.status;
}

}  // namespace korvane
