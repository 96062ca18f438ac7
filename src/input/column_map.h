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
