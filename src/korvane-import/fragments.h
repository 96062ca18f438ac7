// The DXF template fragments korvane-import gives a working directory that
// lacks them: the shipped example's, built into the program.
#pragma once

#include <vector>

#include "os/replace_file.h"

namespace korvane {

// The shipped example's dxf11.txt, dxf12.txt and dxf13.txt, in that order,
// as the example folder holds them (LF line ends).
extern const char* const kShippedFragments[3];

// Adds to `files` each fragment that the working directory lacks (nothing
// stands at its name, not even a link), with the shipped example's text in
// CR LF line ends, as korvane copies it into a drawing. A fragment that is
// there, whatever it holds, or that cannot be looked at, is left alone.
void plan_fragments(std::vector<WholeFile>& files);

}  // namespace korvane
