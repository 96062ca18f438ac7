#include "korvane/silent_mode.h"

namespace korvane {

// Fixed when the program is built; KORVANE_SILENT_MODE comes from CMake.
const bool silent_mode = KORVANE_SILENT_MODE;

}  // namespace korvane
