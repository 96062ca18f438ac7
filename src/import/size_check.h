// Telling which part codes korvane will not find in its size table.
#pragma once

#include <vector>

#include "import/import_records.h"

// One problem per part code of `placements` (at its first line) that the
// size table at `path` lacks, looked up as korvane looks it up. None when
// the table cannot be opened.
std::vector<Problem> codes_missing_from(
    const char* path, const std::vector<ImportedPlacement>& placements);
