// korvane-import's run, from the command line to the exit status.
#pragma once

namespace korvane {

// korvane-import's exit statuses.
constexpr int kImportDone = 0;         // every file written
constexpr int kImportWriteFailed = 1;  // a file could not be written
constexpr int kImportRefused = 2;      // a wrong command line, an export
                                       // it cannot read, or a refusal:
                                       // nothing written

// Reads the export named on the command line and writes the xy file (or
// its pieces) and, when needed, lumbrex.ini. Messages go to standard error
// as "file:line: message", or "korvane-import: message" for the command
// line; the pieces' names, with --split, to standard output.
int run_import(int argc, const char* const* argv);

}  // namespace korvane
