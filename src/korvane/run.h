// One run of korvane, from the command line to the exit status.
#pragma once

namespace korvane {

// Runs korvane with argv[1..argc-1] as its arguments, in the current
// directory. Returns the exit status: 0 when the drawing (or the version
// text) was written whole, -1 otherwise.
int run_korvane(int argc, const char* const* argv);

}  // namespace korvane
