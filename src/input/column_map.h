// The column settings file: which column of the xy file holds the part
// code, X, Y and angle.
#pragma once

#include "input/records.h"
#include "text/text_input.h"

// Longest settings line kept, and longest key or value.
constexpr int kSettingsLineCapacity = 2047;
constexpr int kSettingsFieldCapacity = 1023;

// Reads key=value lines ("x", "y", "a", "row", "code"; letter case and
// spaces ignored) into `columns` until a line "end" or the end of the file.
// Lines starting with "#" are comments. Returns kNotOpened, changing
// nothing, when the file cannot be opened, and kReadFailed when reading it
// failed part way (`columns` then holds the lines read before).
int load_column_map(const char* path, ColumnMap& columns);

// One line of the settings file as load_column_map takes it.
struct SettingLine {
  bool end = false;      // the end marker: neither it nor any later line counts
  bool comment = false;  // its first byte is "#": skipped
  bool last = false;     // the file ended on this line
  bool cut = false;      // longer than kSettingsLineCapacity: its end dropped
  char clean[kSettingsLineCapacity + 1] = {};  // no spaces, "=" made TAB
  char key[kSettingsFieldCapacity + 1] = {};
  char value[kSettingsFieldCapacity + 1] = {};
};

// Reads the next line of an open settings file into `line`; key and value
// are filled unless it is the end marker or a comment. Never fails: the end
// of the file gives an empty last line.
void next_setting(TextInput& in, SettingLine& line);

// The entry of `columns` that `key` names (letter case ignored), or null.
int* column_entry(ColumnMap& columns, const char* key);
