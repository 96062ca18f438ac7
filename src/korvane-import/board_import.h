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

// Reads the board in `raw`: per footprint on the side the options keep
// and not excluded from position files (nor marked do-not-populate, with
// --exclude-dnp), a placement at its body's centre in korvane's frame, in
// mm, and the size of its name's body into `sizes`. The body is the first
// of: its fab or courtyard drawing (see Footprint::body), the body of
// the library footprint of its name (mirrored for the bottom side), the
// size its name states centred on its pads, the box of its pads' copper;
// each of the last three is named in a warning, as is a fab drawing that
// looks incomplete. A footprint with none is left out with a warning, and
// one whose name another body already sized differently is not counted.
// Returns -1 with `problem` as read_board does, for a --library that is
// not a folder, a name or reference that the xy file cannot hold, an
// option that only exports take, or when no footprint is placed, saying
// why for each kind.
int import_board(std::string_view raw, const ImportOptions& options,
                 std::vector<ImportedPlacement>& placements, DesignSizes& sizes,
                 std::vector<Problem>& warnings, Problem& problem);

}  // namespace korvane
