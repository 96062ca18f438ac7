#include "input/column_map.h"

#include <array>
#include <memory>

#include "text/scan.h"
#include "text/text_input.h"
#include "text/text_output.h"

namespace {

// The entry of `columns` that `key` names, or null.
int* entry_for(ColumnMap& columns, const char* key) {
  if (text_equal(key, "x")) return &columns.x;
  if (text_equal(key, "y")) return &columns.y;
  if (text_equal(key, "a")) return &columns.a;
  if (text_equal(key, "row")) return &columns.row;
  if (text_equal(key, "code")) return &columns.code;
  return nullptr;
}

std::array<int, 5> column_values(const ColumnMap& columns) {
  return {columns.x, columns.y, columns.a, columns.row, columns.code};
}

void apply_setting(const char* line, ColumnMap& columns) {
  char clean[kSettingsLineCapacity + 1];
  char key[kSettingsFieldCapacity + 1];
  char value[kSettingsFieldCapacity + 1];
  strip_char(line, clean, sizeof clean, ' ');
  replace_char(clean, '=', '\t');
  get_field(clean, 1, key, sizeof key);
  get_field(clean, 2, value, sizeof value);
  if (int* entry = entry_for(columns, key)) *entry = to_integer(value);
  if (silent_mode) return;
  TextOutput& echo = standard_output();
  put_line(echo, clean);
  put_text(echo, "init = ");
  const char* separator = "";
  for (int entry : column_values(columns)) {
    put_text(echo, separator);
    put_integer(echo, entry);
    separator = ",";
  }
  put_text(echo, "\n");
}

void echo_columns(const ColumnMap& columns) {
  if (silent_mode) return;
  TextOutput& echo = standard_output();
  const char* labels[] = {
      "x    = ", "y    = ", "a    = ", "row  = ", "code = "};
  std::array<int, 5> values = column_values(columns);
  for (int i = 0; i < 5; ++i) {
    put_text(echo, labels[i]);
    put_integer(echo, values[i]);
    put_text(echo, "\n");
  }
}

}  // namespace

int load_column_map(const char* path, ColumnMap& columns) {
  auto in = std::make_unique<TextInput>();
  if (open_text_input(*in, path) != 0) return kNotOpened;
  char line[kSettingsLineCapacity + 1];
  for (;;) {
    bool at_end = read_line(*in, line, sizeof line);
    if (text_equal(line, "end")) break;
    if (line[0] != '#') apply_setting(line, columns);
    if (at_end) break;
  }
  echo_columns(columns);
  int status = in->failed ? kReadFailed : 0;
  close_text_input(*in);
  return status;
}
