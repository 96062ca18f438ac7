// Eagle and Fusion 360 boards (.brd) as korvane-import's input, and Eagle
// libraries (.lbr, or the libraries a board holds) as sources of part
// sizes for --library.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "korvane-import/import_records.h"

namespace korvane {

// Reads the Eagle board in `raw`: per populated element with copper on
// the side the options keep, a placement at its body's centre, in mm, its
// code the package's name, and the size of each package's body into
// `sizes`. Elements without copper are left out and named in one warning;
// an element whose package is missing or has no body is left out with a
// warning. Returns -1 with `problem` as read_eagle does, for a library or
// a schematic, for a name the xy file cannot hold, for an option that only
// exports take, or when no element is left to place.
int import_eagle_board(std::string_view raw, const ImportOptions& options,
                       std::vector<ImportedPlacement>& placements,
                       DesignSizes& sizes, std::vector<Problem>& warnings,
                       Problem& problem);

// The package bodies of the Eagle files given to --library.
struct EagleLibraries {
  DesignSizes sizes;  // by loose_key of the package name: the first file's,
                      // and in it the first library's
  // A second body of another size for one name, warned of when the name is
  // looked up.
  std::unordered_map<std::string, Problem> conflicts;
};

// Whether the --library `path` is an Eagle library or board: a file, or a
// name ending in .lbr or .brd that names nothing. Other names are KiCad
// library folders.
bool is_eagle_library(const std::string& path);

// Adds the packages of the Eagle libraries and boards among `paths`, in
// their order. Returns -1 with `problem` for one that cannot be read or is
// no Eagle library or board.
int add_eagle_libraries(EagleLibraries& libraries,
                        const std::vector<std::string>& paths,
                        Problem& problem);

// Sets `size` from the package named `code` (letter case ignored); false
// when no Eagle library holds it with a body. A second body of another
// size under the name is warned of.
bool eagle_library_size(const EagleLibraries& libraries,
                        const std::string& code, KnownSize& size,
                        std::vector<Problem>& warnings);

}  // namespace korvane
