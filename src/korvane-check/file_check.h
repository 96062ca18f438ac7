// Findings about a working file as a whole: how it is saved (UTF-16, or
// with commas or semicolons between its fields), a Ctrl-Z before its end,
// and the units its heading declares.
#pragma once

#include <vector>

#include "input/file_form.h"
#include "korvane-check/findings.h"
#include "korvane-check/size_check.h"

namespace korvane {

// Adds a finding when lumbrex.ini is UTF-16: korvane then finds no setting
// in it. Returns whether it did, so that the lines it cannot read are not
// judged one by one.
bool check_settings_form(const char* path, Findings& findings);

// Adds a finding when size.txt is UTF-16 or separated by commas or
// semicolons, with how many placements find no size in it, marking them.
// Returns whether it did, so that the missing codes are not reported one
// by one.
bool check_size_form(const PlacementList& list,
                     const std::vector<DrawnSize>& sizes, Findings& findings);

// Adds a finding when the xy file is UTF-16 or separated by commas or
// semicolons, marking every placement drawn. Returns whether it did, so
// that its rows are not judged one by one.
bool check_xy_form(const char* path, const PlacementList& list,
                   Findings& findings);

// Adds a finding at a Ctrl-Z in the file at `path` that lines with text
// follow: korvane reads nothing after it.
void check_ctrl_z(const char* path, Findings& findings);

// Adds a finding at both headings when the xy file declares X in another
// unit than the size table its lengths, or in mil or inches while the
// table declares none: korvane converts neither.
void check_units(const char* xy_path, const PlacementList& list,
                 const ColumnMap& columns, const SizeTable& table,
                 Findings& findings);

}  // namespace korvane
