// Whether korvane echoes what it does on standard output.
#pragma once

namespace korvane {

// When true (the program as built), a run writes nothing to standard output
// but the usage lines and the version text. Built with it false, the run
// echoes the settings, each placement, each size lookup and each record.
extern const bool silent_mode;

}  // namespace korvane
