// KiCad board files (.kicad_pcb) as korvane-import's input: a placement
// for each footprint that goes into position files, and the size of each
// footprint's body.
#pragma once

#include <string_view>
#include <vector>

#include "korvane-import/import_records.h"

namespace korvane {

// True when `raw` is a KiCad board, whatever the file's name: "(kicad_pcb"
// first, after a UTF-8 byte order mark and blanks.
bool is_board_text(std::string_view raw);

// Reads the board in `raw`: per footprint on side `keep` (both for kAny)
// and not excluded from position files, a placement at its body's centre
// in korvane's frame, in mm, and the size of its name's body into `sizes`.
// A footprint without a body is left out, and one whose name another body
// already sized differently is not counted, each with a warning. Returns
// -1 with `problem` as read_board does, or for a name or reference that
// the xy file cannot hold.
int import_board(std::string_view raw, Side keep,
                 std::vector<ImportedPlacement>& placements, DesignSizes& sizes,
                 std::vector<Problem>& warnings, Problem& problem);

}  // namespace korvane
