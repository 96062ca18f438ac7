// One run of korvane-check, from the command line to the exit status.
#pragma once

namespace korvane {

// Checks what `korvane <Layer name> <xy file>` would do in the current
// directory, writing nothing but its findings (and, with --list, the
// placements) to standard output. Returns 0 when there is nothing to
// report, 1 with findings, 2 when korvane would fail or the command line
// is wrong.
int run_check(int argc, const char* const* argv);

}  // namespace korvane
