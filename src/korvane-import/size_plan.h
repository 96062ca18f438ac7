// Sizing the part codes of an xy file: for each distinct code, whether
// size.txt has it, where its size is known from, or that it cannot be
// known; and the size.txt that holds the sizes known.
#pragma once

#include <vector>

#include "kicad/library.h"
#include "korvane-import/import_records.h"
#include "os/replace_file.h"

namespace korvane {

// Decides for each distinct part code of `placements` (letter case
// ignored, as korvane compares them) whether size.txt has it, else where
// its size is known from, in this order: `design` (a board's bodies), the
// Eagle libraries and boards of --library, the KiCad footprint libraries
// (the --library folders, then KiCad's own unless the options leave them
// out), the size its name states; else that it cannot be known. Adds
// size.txt to `files`, with a row per code known, when it is missing or
// --add-sizes is given. Adds a warning per code missing from the table that
// gets no row, per row that the board contradicts, and for a table in
// another unit than the coordinates. Returns -1 with `problem` for a
// --library that is neither a folder nor an Eagle file that can be read,
// or rows to add that cannot be: the table cannot be read whole, or
// declares another unit than the rows'. The placements are freed once
// their codes are taken, before the table is read, so that its rows can
// take their room.
int plan_sizes(const ImportOptions& options,
               std::vector<ImportedPlacement> placements,
               const DesignSizes& design, std::vector<WholeFile>& files,
               std::vector<Problem>& warnings, Problem& problem);

// Adds the --library folders to `libraries`, then KiCad's own unless the
// options leave them out; the Eagle files among them are left to
// add_eagle_libraries. Returns -1 with `problem` for a --library that is
// not a folder.
int open_libraries(const ImportOptions& options, FootprintLibraries& libraries,
                   Problem& problem);

// The body of the library footprint named `code` by its own drawings
// (Footprint::body) and its library: false when no library holds one
// with a body. A footprint file that cannot be read is warned of.
bool library_body(FootprintLibraries& libraries, const std::string& code,
                  BodyBox& body, std::string& library,
                  std::vector<Problem>& warnings);

}  // namespace korvane
