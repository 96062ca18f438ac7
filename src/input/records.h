// The plain records that one run of korvane carries from reader to writer.
#pragma once

#include <string>

namespace korvane {

// Which tab-separated column of a placement row holds what. Columns count
// from 1; 0 or less selects column 1.
struct ColumnMap {
  int x = 0;     // X position
  int y = 0;     // Y position
  int a = 0;     // rotation angle in degrees
  int row = 0;   // read and echoed, consulted by nothing else
  int code = 0;  // part code
};

// Longest part code kept from a placement row: a whole xy-file line, so
// a code is never cut (see kCodeCutLength for how long codes are looked up).
constexpr int kCodeCapacity = 2048;

// From this size on, X, Y, a length or a width gives drawing coordinates
// whose four decimals a double no longer holds (its steps pass 1e-4).
constexpr double kLargestValue = 1e12;

// One decoded placement row.
struct Placement {
  std::string code;  // the code field as it stands, at most kCodeCapacity
  double x = 0;
  double y = 0;
  double a = 0;  // degrees, counter-clockwise
};

// The current part size; it carries over between placements until a lookup
// finds a new code.
struct PartSize {
  double length = 0;
  double width = 0;
};

}  // namespace korvane
