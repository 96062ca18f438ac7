// Findings about lumbrex.ini, the column settings file.
#pragma once

#include <string>

#include "check/findings.h"
#include "input/records.h"

// The columns korvane will use and where each was set.
struct SettingsReport {
  bool found = false;  // the file could be opened
  ColumnMap columns;   // as load_column_map leaves them
  long line[5] = {};   // line of the setting in force for x, y, a, row,
                       // code; 0 when the file does not set it
};

// Reads the settings file at `path` line by line as korvane does and adds
// findings: missing file, cut lines, unknown keys, values that are no
// column number, lines after the end marker, keys left unset.
SettingsReport check_settings(const char* path, Findings& findings);

// Adds a finding for each of code, x, y and a that names a column past
// `widest`, the most columns a drawn line of the xy file has.
void check_column_reach(const char* path, const SettingsReport& report,
                        int widest, const std::string& xy_name,
                        Findings& findings);
