// korvane-import's run, from the command line to the exit status.
#pragma once

// Reads the export named on the command line and writes the xy file (or
// its pieces) and, when needed, lumbrex.ini. Returns 0 on success; 2, with
// a "file:line: message" on standard error and nothing written, on a bad
// command line, bad input or a refusal; 1 when a file cannot be written.
int run_import(int argc, const char* const* argv);
