// What every board reader does with a part it has placed: its row of the
// xy file, and its body's size for its part code.
#pragma once

#include <string>
#include <vector>

#include "geometry/extent.h"
#include "korvane-import/import_records.h"

namespace korvane {

// A part of a board, placed by its reader.
struct BoardPart {
  int line = 0;           // where the board names it
  std::string code;       // footprint or package name
  std::string ref;        // its reference
  bool bottom = false;    // on the bottom side
  PlacedBody body;        // where korvane draws it, in mm
  const char* tag = "";   // its size row's source: "board", "lib", ...
  std::string note;       // and note: "board F.Fab"
  std::string named;      // for a message: "the footprint R1 'Lib:R_0603'"
  const char* kind = "";  // what its code names: "footprint", "package"
};

// Adds the placement of `part`, its centre kept to the nanometre, and
// gives its code its body's size (see add_design_size). Returns -1 with
// `problem` when its code or reference holds a byte that korvane would
// not read back as written.
int add_board_part(const BoardPart& part,
                   std::vector<ImportedPlacement>& placements,
                   DesignSizes& sizes, std::vector<Problem>& warnings,
                   Problem& problem);

// Takes `size` as the size of the part code `code`, unless a body of
// another size gave it first: that one stays, with a warning at
// size.line naming both. `part` names the part for the message ("the
// footprint R1 'Lib:R_0603'"), `kind` what its name is ("footprint",
// "package").
void add_design_size(const std::string& code, const KnownSize& size,
                     const std::string& part, const char* kind,
                     DesignSizes& sizes, std::vector<Problem>& warnings);

}  // namespace korvane
