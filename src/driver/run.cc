#include "driver/run.h"

#include <memory>
#include <string>
#include <vector>

#include "text/same_file.h"
#include "dxf/dxf_records.h"
#include "dxf/outline.h"
#include "dxf/template.h"
#include "text/text_output.h"
#include "input/column_map.h"
#include "input/part_size.h"
#include "input/placement.h"
#include "text/scan.h"

namespace {

constexpr int kMaxPlacements = 100;
const char kLayer[] = "center";

// Ends a run that wrote only to standard output: a failed write turns a
// success into -1.
int finish_messages(int status) {
  return flush_text_output(standard_output()) == 0 ? status : -1;
}

void echo_names(const char* layer_name, const char* output_name) {
  if (silent_mode) return;
  TextOutput& echo = standard_output();
  put_text(echo, "argv[1]     = ");
  put_line(echo, layer_name);
  put_text(echo, "Output File = ");
  put_line(echo, output_name);
}

// Skips the heading line, then draws each placement as it is read, at
// most kMaxPlacements of them.
void draw_placements(TextInput& xy, TextOutput& drawing,
                     const ColumnMap& columns) {
  std::vector<char> row(kRowCapacity + 1);
  Placement placement;
  PartSize size;
  read_line(xy, row.data(), row.size());
  for (int count = 0; count < kMaxPlacements; ++count) {
    if (!next_placement(xy, row.data(), row.size(), columns, placement)) break;
    lookup_part_size("size.txt", placement.code, size);
    write_part_outline(drawing, kLayer, placement.x, placement.y, size.length,
                       size.width, placement.a, 0, 0, 0);
  }
}

// Writes the whole drawing: head, outlines, tail.
void write_drawing(TextInput& xy, TextOutput& drawing,
                   const ColumnMap& columns) {
  copy_template(drawing, "dxf11.txt");
  write_layer(drawing, "center");
  write_layer(drawing, "center2");
  copy_template(drawing, "dxf12.txt");
  draw_placements(xy, drawing, columns);
  copy_template(drawing, "dxf13.txt");
}

}  // namespace

int run_korvane(int argc, const char* const* argv) {
  TextOutput& messages = standard_output();
  if (argc != 3) {
    put_line(messages, "Error : Command or Parameter!!");
    put_line(messages, "korvane [Layer name] [xy file]");
    return finish_messages(-1);
  }
  if (text_equal(argv[1], "sys") && text_equal(argv[2], "ver")) {
    put_line(messages, "1.01");
    return finish_messages(0);
  }
  ColumnMap columns;
  load_column_map("lumbrex.ini", columns);
  std::string output_name = std::string(argv[1]) + ".dxf";
  echo_names(argv[1], output_name.c_str());

  auto xy = std::make_unique<TextInput>();
  if (open_text_input(*xy, argv[2]) != 0) return finish_messages(-1);
  // Writing the drawing over its own placement list would destroy it.
  if (same_file(argv[2], output_name.c_str())) {
    close_text_input(*xy);
    return finish_messages(-1);
  }
  auto drawing = std::make_unique<TextOutput>();
  if (open_text_output(*drawing, output_name.c_str()) != 0) {
    close_text_input(*xy);
    return finish_messages(-1);
  }
  write_drawing(*xy, *drawing, columns);
  int status = close_text_output(*drawing);
  // A read error must not pass for the end of the list.
  if (xy->failed) status = -1;
  close_text_input(*xy);
  return finish_messages(status);
}
