// KiCad footprint libraries: .pretty folders of .kicad_mod files, searched
// by footprint name. The folders are listed once, on the first lookup, and
// only the file looked up is read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "kicad/footprint.h"
#include "text/problem.h"

namespace korvane {

// The libraries to search and the index of their footprints.
struct FootprintLibraries {
  std::vector<std::string> folders;  // .pretty folders or folders of them,
                                     // searched in the order added
  bool indexed = false;              // `index` holds what `folders` hold
  // Lower-cased name to its file; the first folder wins.
  std::unordered_map<std::string, std::string> index;
  size_t given = 0;  // the first `given` folders were named by the user
  // What the index passed over: entries named .kicad_mod that are no
  // regular file, and folders among the first `given` that held no
  // footprint file.
  std::vector<Problem> warnings;
};

// What a lookup found.
struct LibraryFootprint {
  Footprint footprint;  // its body from F.Fab, else F.CrtYd
  std::string library;  // the folder it is in: "Resistor_SMD.pretty"
};

// Adds a folder the user named, to search after those added before: a
// .pretty folder, or a folder whose .pretty folders each count, in name
// order. Returns -1 with `problem` when `folder` is not a folder; nothing
// is listed yet. Call it before add_default_libraries.
int add_library_folder(FootprintLibraries& libraries, const std::string& folder,
                       Problem& problem);

// Adds the folders named by KICAD9_FOOTPRINT_DIR down to
// KICAD6_FOOTPRINT_DIR, those set, then KiCad's installed library where it
// is: /usr/share/kicad/footprints, or on Windows each
// %ProgramFiles%\KiCad\<version>\share\kicad\footprints, newest first.
void add_default_libraries(FootprintLibraries& libraries);

// Lists the folders into the index unless done already, passing over
// every entry that is no regular file (a pipe would never be read to its
// end). Folders that cannot be listed add nothing. Each entry passed
// over, and each folder named by the user that held no footprint file,
// gets a warning in `libraries.warnings`.
void index_libraries(FootprintLibraries& libraries);

// Finds the footprint `name` ("R_0603_1608Metric", letter case ignored)
// and reads its file into `found`, which stays empty when no folder holds
// it. Returns -1 with `problem` naming the file when it cannot be read or
// is not a footprint.
int find_library_footprint(FootprintLibraries& libraries, std::string_view name,
                           std::optional<LibraryFootprint>& found,
                           Problem& problem);

}  // namespace korvane
