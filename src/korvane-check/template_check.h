// Findings about the template fragments dxf11.txt, dxf12.txt, dxf13.txt.
#pragma once

#include "korvane-check/findings.h"

namespace korvane {

// Reads the three fragments and checks the drawing they make with
// korvane's own LAYER entries and, when `lines` is true, LINE entities:
// missing fragments, a last line without a line end, group code and value
// pairs, SECTION and ENDSEC, TABLE and ENDTAB, EOF last, and a header that
// declares a DXF version later than R12.
void check_templates(bool lines, Findings& findings);

}  // namespace korvane
