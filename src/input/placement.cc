#include "input/placement.h"

#include "text/scan.h"
#include "text/text_output.h"

namespace {

double number_field(const char* row, int column) {
  char field[kNumberFieldCapacity + 1];
  get_field(row, column, field, sizeof field);
  return to_real(field);
}

void echo_placement(const char* row, const Placement& p) {
  if (silent_mode) return;
  TextOutput& echo = standard_output();
  put_line(echo, row);
  put_text(echo, "CODE = ");
  put_text(echo, p.code);
  put_text(echo, " : X = ");
  put_fixed(echo, p.x, 6);
  put_text(echo, " : Y = ");
  put_fixed(echo, p.y, 6);
  put_text(echo, " : A = ");
  put_fixed(echo, p.a, 6);
  put_text(echo, "\n");
}

}  // namespace

void decode_placement(const char* row, const ColumnMap& columns,
                      Placement& placement) {
  get_field(row, columns.code, placement.code, sizeof placement.code);
  placement.x = number_field(row, columns.x);
  placement.y = number_field(row, columns.y);
  placement.a = number_field(row, columns.a);
}

bool next_placement(TextInput& in, char* row, size_t size,
                    const ColumnMap& columns, Placement& placement) {
  read_line(in, row, size);
  if (row[0] == '\0') return false;
  decode_placement(row, columns, placement);
  echo_placement(row, placement);
  return true;
}
