// Findings about lumbrex.ini, the column settings file.
#pragma once

#include "korvane-check/findings.h"
#include "input/column_map.h"
#include "input/placement.h"

namespace korvane {

// Reads the settings file at `path` as korvane does and adds findings:
// missing file, cut lines, unknown keys, values that are no column
// number, a setting after the end marker, keys left unset.
Settings check_settings(const char* path, Findings& findings);

// Adds a finding for each of code, x, y and a that names a column past
// the widest drawn line of the xy file `xy_name`.
void check_column_reach(const char* path, const Settings& settings,
                        const PlacementList& list, const std::string& xy_name,
                        Findings& findings);

}  // namespace korvane
