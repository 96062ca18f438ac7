#include "input/column_map.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

#include "text/encoding.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace korvane {

namespace {

// A line as read, before korvane takes it apart.
struct RawLine {
  char text[kSettingsLineCapacity + 1];
  bool cut = false;
  bool last = false;  // the file ended on this line
};

// The entry of a ColumnMap that key kColumnKeys[index] sets.
constexpr int ColumnMap::*kEntries[kColumnKeyCount] = {
    &ColumnMap::x, &ColumnMap::y, &ColumnMap::a, &ColumnMap::row,
    &ColumnMap::code};

// The index of the key `key` names (letter case ignored), or -1.
int column_key(const std::string& key) {
  for (int i = 0; i < kColumnKeyCount; ++i)
    if (text_equal(key.c_str(), kColumnKeys[i])) return i;
  return -1;
}

bool is_end_marker(const RawLine& raw) { return text_equal(raw.text, "end"); }

bool is_comment(const RawLine& raw) { return raw.text[0] == '#'; }

// Takes a line apart: spaces dropped, "=" made TAB, key and value.
SettingLine take_apart(const RawLine& raw, long n) {
  char field[kSettingsFieldCapacity + 1];
  SettingLine line;
  line.line = n;
  line.cut = raw.cut;
  line.clean = raw.text;
  std::erase(line.clean, ' ');
  std::replace(line.clean.begin(), line.clean.end(), '=', '\t');
  const char* clean = line.clean.c_str();
  get_field(clean, 1, field, sizeof field);
  line.key = field;
  get_field(clean, 2, field, sizeof field);
  line.value = field;
  line.entry = column_key(line.key);
  return line;
}

// Reads one line; the first may start with a byte order mark, dropped.
void read_raw(TextInput& in, long n, RawLine& raw) {
  raw.last = read_line(in, raw.text, sizeof raw.text, &raw.cut);
  std::string_view text(raw.text);
  std::string_view rest = without_byte_order_mark(text);
  if (n != 1 || rest.size() == text.size()) return;
  memmove(raw.text, rest.data(), rest.size());
  raw.text[rest.size()] = '\0';
}

// Takes one line before the end marker.
void take_line(const SettingLine& line, const SettingsReading& how,
               Settings& s) {
  if (apply_setting(line, s.columns)) {
    s.key_line[line.entry] = line.line;
    s.key_value[line.entry] = line.value;
  }
  bool blank = line.key.empty() && line.value.empty();
  if (how.every_line || line.cut || (line.entry < 0 && !blank))
    s.lines.push_back(line);
}

// Finds the first line after the end marker that holds a setting.
void find_after_end(TextInput& in, long n, RawLine& raw, Settings& s) {
  while (!raw.last) {
    read_raw(in, ++n, raw);
    if (is_end_marker(raw) || is_comment(raw)) continue;
    SettingLine line = take_apart(raw, n);
    if (line.key.empty() && line.value.empty()) continue;
    s.after_end = n;
    return;
  }
}

}  // namespace

int column_value(const ColumnMap& columns, int index) {
  return columns.*kEntries[index];
}

bool apply_setting(const SettingLine& line, ColumnMap& columns) {
  if (line.entry < 0) return false;
  columns.*kEntries[line.entry] = to_integer(line.value.c_str());
  return true;
}

ReadStatus read_settings(const char* path, const SettingsReading& how,
                         Settings& settings) {
  settings = Settings{};
  auto in = std::make_unique_for_overwrite<TextInput>();
  if (open_text_input(*in, path) != ReadStatus::kRead) return settings.status;
  auto raw = std::make_unique<RawLine>();
  for (long n = 1;; ++n) {
    read_raw(*in, n, *raw);
    if (is_end_marker(*raw)) {
      settings.end_line = n;
      break;
    }
    if (!is_comment(*raw)) take_line(take_apart(*raw, n), how, settings);
    if (raw->last) break;
  }
  settings.status = input_status(*in);
  if (how.past_end && settings.end_line)
    find_after_end(*in, settings.end_line, *raw, settings);
  close_text_input(*in);
  return settings.status;
}

}  // namespace korvane
