// The command line of korvane-import.
#pragma once

#include <string>

#include "korvane-import/import_records.h"

namespace korvane {

// Reads the options and the two file names. Options come before, between
// or after the names, as "--x NAME" or "--x=NAME"; "--" ends them. Returns
// -1 with `problem` set on an unknown option, a missing or bad value or a
// file name count other than two (unless --help was asked for).
int parse_options(int argc, const char* const* argv, ImportOptions& options,
                  Problem& problem);

// The usage line alone, or with the list of options.
enum class Usage { kLine, kFull };
std::string usage_text(Usage usage);

}  // namespace korvane
