// Each placement's size as korvane will draw it, and the findings about
// codes and size-table rows.
#pragma once

#include <vector>

#include "check/findings.h"
#include "input/placement.h"
#include "input/size_table.h"

// Where a drawn placement's size comes from.
struct DrawnSize {
  PartSize size;
  const SizeRow* row = nullptr;  // the row that set it, for this placement
                                 // or for the one it is carried over from
  long carried_from = 0;         // xy line whose size is carried over; 0: none
};

// Works out every drawn placement's size the way korvane's lookups will,
// adding a finding for each code that is missing, matches only through
// its cut, or would match but for spaces or the table's empty line.
std::vector<DrawnSize> resolve_sizes(const char* xy_path,
                                     const PlacementList& list,
                                     const SizeTable& table,
                                     Findings& findings);

// Adds the findings about size.txt: missing, unreadable, rows hidden by an
// empty line, rows in use whose length or width is no positive number, and
// codes in use given again later with another size.
void check_size_table(const PlacementList& list, const SizeTable& table,
                      const std::vector<DrawnSize>& sizes, Findings& findings);
