#include "input/column_map.h"

#include <array>
#include <memory>

#include "text/scan.h"
#include "text/text_input.h"
#include "text/text_output.h"

namespace {

std::array<int, 5> column_values(const ColumnMap& columns) {
  return {columns.x, columns.y, columns.a, columns.row, columns.code};
}

void apply_setting(const SettingLine& line, ColumnMap& columns) {
  if (int* entry = column_entry(columns, line.key))
    *entry = to_integer(line.value);
  if (silent_mode) return;
  TextOutput& echo = standard_output();
  put_line(echo, line.clean);
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

int* column_entry(ColumnMap& columns, const char* key) {
  if (text_equal(key, "x")) return &columns.x;
  if (text_equal(key, "y")) return &columns.y;
  if (text_equal(key, "a")) return &columns.a;
  if (text_equal(key, "row")) return &columns.row;
  if (text_equal(key, "code")) return &columns.code;
  return nullptr;
}

void next_setting(TextInput& in, SettingLine& line) {
  char raw[kSettingsLineCapacity + 1];
  line.last = read_line_cut(in, raw, sizeof raw, line.cut);
  line.end = text_equal(raw, "end");
  line.comment = raw[0] == '#';
  line.clean[0] = line.key[0] = line.value[0] = '\0';
  if (line.end || line.comment) return;
  strip_char(raw, line.clean, sizeof line.clean, ' ');
  replace_char(line.clean, '=', '\t');
  get_field(line.clean, 1, line.key, sizeof line.key);
  get_field(line.clean, 2, line.value, sizeof line.value);
}

int load_column_map(const char* path, ColumnMap& columns) {
  auto in = std::make_unique<TextInput>();
  if (open_text_input(*in, path) != 0) return kNotOpened;
  auto line = std::make_unique<SettingLine>();
  for (;;) {
    next_setting(*in, *line);
    if (line->end) break;
    if (!line->comment) apply_setting(*line, columns);
    if (line->last) break;
  }
  echo_columns(columns);
  int status = in->failed ? kReadFailed : 0;
  close_text_input(*in);
  return status;
}
