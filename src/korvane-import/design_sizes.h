// The body sizes that a board file gives its part codes, gathered the same
// way by every board reader.
#pragma once

#include <string>
#include <vector>

#include "korvane-import/import_records.h"

namespace korvane {

// Takes `size` as the size of the part code `code`, unless a body of
// another size gave it first: that one stays, with a warning at
// size.line naming both. `part` names the part for the message ("the
// footprint R1 'Lib:R_0603'"), `kind` what its name is ("footprint",
// "package").
void add_design_size(const std::string& code, const KnownSize& size,
                     const std::string& part, const char* kind,
                     DesignSizes& sizes, std::vector<Problem>& warnings);

}  // namespace korvane
