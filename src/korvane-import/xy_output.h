// Writing korvane's xy files and the lumbrex.ini that matches them, all or
// nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "input/working_files.h"
#include "korvane-import/import_records.h"
#include "os/replace_file.h"

namespace korvane {

// The most placements in one xy file or piece: all that korvane draws.
constexpr size_t kPlacementsPerFile = kMaxPlacements;

// The bytes of the xy file for placements[first, first + count), each line
// ended with CR LF: the heading, with the coordinates' unit when they have
// one ("x(mil)"), then per placement code, X, Y, angle, reference and side,
// TAB between them.
// Returns -1 with `problem` set when a row would be longer than korvane
// reads.
int xy_text(const std::vector<ImportedPlacement>& placements, size_t first,
            size_t count, std::string& text, Problem& problem);

// Removes the pieces of an earlier split of `path` numbered past `count`,
// as long as they follow one another, and only those that korvane-import
// wrote (their first line is its heading). Returns a warning for each
// piece removed or left.
std::vector<Problem> remove_stale_pieces(const std::string& path, int count);

// The name of piece n (from 1) of a split xy file: "board.txt" gives
// "board-1.txt", "out/board" gives "out/board-1".
std::string piece_name(const std::string& path, int n);

// The layer name that draws the xy file at `path` beside it: the path
// without its extension ("out/board.txt" gives "out/board").
std::string layer_name(const std::string& path);

// The settings that fit the xy file's columns.
std::string settings_text();

// Whether lumbrex.ini in the working directory must be written: when there
// is none, or it gives other columns and `replace` is set. Returns -1 with
// `problem` set when it gives other columns and `replace` is not set, or
// exists but cannot be read.
int settings_needed(bool replace, bool& needed, Problem& problem);

// Whether every file may be written whole (replace_files): `guarded` (the
// export) is never written over. Returns -1 with `problem` set when a
// file would replace `guarded`, has other names (hard links) that would
// keep the old file, or two files lead to one (through links, see
// destination_of).
int check_targets(const std::vector<WholeFile>& files, const char* guarded,
                  Problem& problem);

}  // namespace korvane
