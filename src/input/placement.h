// The placement list: the xy file's rows after its heading line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "input/records.h"
#include "input/units.h"
#include "input/working_files.h"
#include "text/text_input.h"

namespace korvane {

// Longest xy-file line kept, and longest numeric field.
constexpr int kRowCapacity = 2048;
constexpr int kNumberFieldCapacity = 31;

// Lines not drawn that a list keeps, to name them; the rest are counted.
constexpr size_t kMostListed = 20;

// Decodes a row as korvane does: code, x, y, a by `columns`, each numeric
// field cut at kNumberFieldCapacity.
void decode_placement(const char* row, const ColumnMap& columns,
                      Placement& placement);

// One placement row that korvane draws.
struct PlacementRow {
  long line = 0;
  std::string text;     // the line as korvane keeps it
  bool cut = false;     // the line was longer than kRowCapacity: its end
                        // was dropped
  Placement placement;  // decoded by decode_placement
};

// A line with text that korvane does not draw.
struct LeftOut {
  long line = 0;
  std::string text;
};

// The xy file as korvane walks it: the heading skipped, then placements up
// to the first empty line, the end of the file or the last one it draws.
struct PlacementList {
  // kNotOpened, kReadFailed (a read error before the list ended: korvane
  // fails) or kRead.
  ReadStatus status = ReadStatus::kNotOpened;
  std::string heading;  // line 1
  std::vector<PlacementRow> rows;  // the placements drawn, in order
  long empty_line = 0;             // an empty line that ends the list early
  long after_empty = 0;            // lines with text after it
  long first_undrawn = 0;  // the first line past the last placement drawn
  long undrawn = 0;        // lines with text from there on
  std::vector<LeftOut> left_out;  // the first kMostListed of those lines
};

// The unit the xy file's heading declares for X, as in "x(mil)" in the
// column `columns` gives X; kNone when it declares none.
Unit placement_unit(const PlacementList& list, const ColumnMap& columns);

// No limit on the placements of a list: korvane --all draws them all.
constexpr size_t kEveryPlacement = static_cast<size_t>(-1);

// How far to read the xy file: up to the end of the list, or on to the
// end of the file to count and name the lines left out.
enum class ListReading { kDrawn, kToTheEnd };

// Reads the xy file at `path` as korvane does, taking at most `most`
// placements. A read error after the list has ended does not count as
// failed. Returns list.status.
ReadStatus read_placement_list(const char* path, const ColumnMap& columns,
                               ListReading how, PlacementList& list,
                               size_t most = kMaxPlacements);

}  // namespace korvane
