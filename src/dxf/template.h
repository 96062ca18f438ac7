// Copying the user's DXF template fragments into the drawing.
#pragma once

#include "text/text_input.h"
#include "text/text_output.h"

namespace korvane {

// Copies the fragment at `path` into `out` through the text rules: CRs
// dropped, a Ctrl-Z ends the fragment, LFs written as CR LF. Returns
// kNotOpened, writing nothing, when the fragment cannot be opened, and
// kReadFailed, having copied only a part, when reading it failed.
ReadStatus copy_template(TextOutput& out, const char* path);

}  // namespace korvane
