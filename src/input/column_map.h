// The column settings file: which column of the xy file holds the part
// code, X, Y and angle.
#pragma once

#include <string>
#include <vector>

#include "input/records.h"
#include "text/text_input.h"

namespace korvane {

// Longest settings line kept, and longest key or value.
constexpr int kSettingsLineCapacity = 2047;
constexpr int kSettingsFieldCapacity = 1023;

// The keys of the settings file, in the order of column_entry's index.
inline constexpr const char* kColumnKeys[] = {"x", "y", "a", "row", "code"};
constexpr int kColumnKeyCount = 5;

// The column of `columns` that key kColumnKeys[index] sets.
int column_value(const ColumnMap& columns, int index);

// One line of the settings file as korvane takes it: neither a comment
// nor the end marker nor after it.
struct SettingLine {
  long line = 0;
  bool cut = false;   // longer than kSettingsLineCapacity: its end dropped
  std::string clean;  // without spaces, "=" made TAB
  std::string key;    // field 1 of `clean`, at most kSettingsFieldCapacity
  std::string value;  // field 2
  int entry = -1;     // column_key(key)
};

// The settings file as korvane reads it.
struct Settings {
  // kNotOpened, kReadFailed (a read error before the end marker) or kRead.
  ReadStatus status = ReadStatus::kNotOpened;
  ColumnMap columns;                    // the columns in force at the end
  long key_line[kColumnKeyCount] = {};  // where each key in force was set
  std::string key_value[kColumnKeyCount];
  // Every line taken, with `every_line`; else only the lines korvane cannot
  // use: cut, or with a key it does not know.
  std::vector<SettingLine> lines;
  long end_line = 0;   // the end marker, 0 when none
  long after_end = 0;  // with `past_end`: the first setting after it
};

// How much of the settings file to keep.
struct SettingsReading {
  bool every_line = false;  // keep every line taken in Settings::lines
  bool past_end = false;    // read on to find a setting after the end marker
};

// Reads key=value lines ("x", "y", "a", "row", "code"; letter case and
// spaces ignored) until a line "end" or the end of the file, skipping a
// UTF-8 byte order mark at its start and lines starting with "#". Returns
// settings.status: kNotOpened, leaving the defaults, when the file cannot
// be opened, and kReadFailed when reading failed before the end marker.
ReadStatus read_settings(const char* path, const SettingsReading& how,
                         Settings& settings);

// Sets the entry of `columns` a settings line names; returns false when it
// names none.
bool apply_setting(const SettingLine& line, ColumnMap& columns);

}  // namespace korvane
