// The xy file read as korvane walks it, and the findings about its lines.
#pragma once

#include <string>
#include <vector>

#include "check/findings.h"
#include "input/records.h"

// One placement that korvane draws.
struct XyRow {
  long line = 0;
  std::string code;     // the code field, as korvane keeps it
  Placement placement;  // decoded by korvane's own routine
  bool cut = false;     // the line was longer than korvane keeps
  std::string x, y, a;  // the whole numeric fields
  std::string label;    // the field that names the part, when asked for
};

// The xy file as korvane will take it.
struct XyList {
  bool opened = false;
  bool failed = false;      // a read error: korvane fails
  std::string heading;      // line 1, skipped
  std::vector<XyRow> rows;  // the placements drawn, in order
  int widest = 0;           // most columns in a drawn line
  long empty_line = 0;      // an empty line that ends the list early
  long after_empty = 0;     // lines with text after it
  long first_undrawn = 0;   // the first line past the 100th placement
  long undrawn = 0;         // lines with text from there on
};

// Reads the xy file at `path` as korvane does: heading, then placements up
// to the first empty line, the end or the 100th, then counts what is left.
// With `label` above 0, each row's field `label` is kept as its name.
XyList read_xy(const char* path, const ColumnMap& columns, int label);

// Adds the findings about the xy file's own lines: the heading that reads
// like a placement, cut lines, numbers that are not numbers or only partly,
// the empty line and the placements past the 100th.
void check_xy(const char* path, const XyList& xy, const ColumnMap& columns,
              Findings& findings);
