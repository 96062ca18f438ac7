#include "dxf/dxf_records.h"

#include <string>

namespace korvane {

namespace {

// Stands in a record's line list where the next coordinate goes.
const char kCoordinate[] = "<coordinate>";

// Writes one record's lines, each coordinate as three spaces and four
// decimals, put together first and handed over at once.
void write_record(TextOutput& out, const char* const* lines, int count,
                  const double* coordinates) {
  std::string record;
  record.reserve(256);
  for (int i = 0; i < count; ++i) {
    if (lines[i] == kCoordinate) {
      char number[kFixedTextCapacity];
      record += "   ";
      record.append(number, format_fixed(number, *coordinates++, 4));
    } else {
      record += lines[i];
    }
    record += '\n';
  }
  put_bytes(out, record.data(), record.size());
}

}  // namespace

void write_layer(TextOutput& out, const char* name) {
  const char* lines[] = {"  0",    "LAYER", "  2",    name,  " 70",
                         "    64", " 62",   "     7", "  6", "CONTINUOUS"};
  write_record(out, lines, 10, nullptr);
}

void write_line(TextOutput& out, const char* layer, double x1, double y1,
                double x2, double y2) {
  const char* lines[] = {"  0", "LINE",       "  8", layer,
                         "  6", "CONTINUOUS", " 62", "    1",
                         " 10", kCoordinate,  " 20", kCoordinate,
                         " 11", kCoordinate,  " 21", kCoordinate};
  const double coordinates[] = {x1, y1, x2, y2};
  write_record(out, lines, 16, coordinates);
}

}  // namespace korvane
