// Eagle 6 to 9 and Fusion 360 Electronics files, XML: the packages of a
// board's or a library's libraries with their bodies, and the elements a
// board places. Every coordinate is in mm, Y up, from the board's origin.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "geometry/extent.h"
#include "text/problem.h"

namespace korvane {

// An Eagle rotation, "[S][M]R<degrees>": "R0", "MR90", "SMR22.5".
struct Rotation {
  bool mirrored = false;  // M: mirrored in X, on the bottom side
  double degrees = 0;     // counter-clockwise, from 0 up to 360
};

// A package's body and copper, in its frame: mm, Y up, as drawn on top.
struct PackageBody {
  Extent copper;           // every pad and smd; empty when none
  Extent box;              // the body; empty when none is found
  const char* layer = "";  // where the body comes from: "tDocu", "tPlace",
                           // "copper"
};

// Where the point p of a frame turned by `r` lands: turned counter-
// clockwise by r.degrees, then mirrored in X when r.mirrored.
Point rotated(Point p, const Rotation& r);

// One package of one library, in top-side form.
struct EaglePackage {
  int line = 0;         // its <package> tag
  std::string name;     // "R0603": the part code
  std::string library;  // its library's name, "rcl"; may be empty in a .lbr
  PackageBody body;
};

// One element of a board.
struct EagleElement {
  int line = 0;         // its <element> tag
  std::string name;     // "R1"
  std::string library;  // as the element names them, for messages
  std::string package_name;
  double x = 0, y = 0;     // its origin
  Rotation rotation;       // its rot; mirrored: on the bottom side
  bool populated = true;   // not populate="no" in the current variant
  int package = -1;        // index into EagleDesign::packages; -1 when its
                           // library holds no such package
  bool ambiguous = false;  // its library URN matches no library, and
                           // several have its library's name
};

struct EagleDesign {
  bool board = false;  // a board (.brd); else a library (.lbr)
  std::vector<EaglePackage> packages;
  std::vector<EagleElement> elements;
};

// True when `raw` reads as XML: '<' first, after a UTF-8 byte order mark
// and blanks. read_eagle tells an Eagle file from other XML.
bool is_eagle_text(std::string_view raw);

// Reads a board or a library. An element's library is the one of its
// library_urn when it has one and a library has it, else the first of its
// library name. Returns -1 with `problem` at the line to blame for XML that
// is broken (read_xml), a file that is no Eagle board or library (a
// schematic, another XML), or a number, rotation, name or design rule that
// cannot be read.
int read_eagle(std::string_view raw, EagleDesign& design, Problem& problem);

// The body of `package` placed as `element` places it: the point (u, v)
// of the package at (x + s (u cos a - v sin a), y + u sin a + v cos a),
// s = -1 when mirrored. Its angle is the rot angle on the top, 360 minus
// it on the bottom.
PlacedBody place_package(const EagleElement& element,
                         const EaglePackage& package);

}  // namespace korvane
