#include "driver/run.h"

#include <memory>
#include <string>
#include <vector>

#include "dxf/dxf_records.h"
#include "dxf/outline.h"
#include "dxf/template.h"
#include "input/column_map.h"
#include "input/part_size.h"
#include "input/placement.h"
#include "input/working_files.h"
#include "text/replace_file.h"
#include "text/scan.h"
#include "text/text_output.h"

namespace {

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
// most kMaxPlacements of them. Returns -1 when an input could not be read.
int draw_placements(TextInput& xy, TextOutput& drawing,
                    const ColumnMap& columns) {
  std::vector<char> row(kRowCapacity + 1);
  Placement placement;
  PartSize size;
  read_line(xy, row.data(), row.size());
  for (int count = 0; count < kMaxPlacements; ++count) {
    if (!next_placement(xy, row.data(), row.size(), columns, placement)) break;
    if (lookup_part_size(kSizeTableFile, placement.code, size) == kReadFailed)
      return -1;
    write_part_outline(drawing, kLayer, placement.x, placement.y, size.length,
                       size.width, placement.a, 0, 0, 0);
  }
  // A read error must not pass for the end of the list.
  return xy.failed ? -1 : 0;
}

// Writes the whole drawing: head, outlines, tail. Returns -1 when an input
// could not be read; missing fragments are left out.
int write_drawing(TextInput& xy, TextOutput& drawing,
                  const ColumnMap& columns) {
  if (copy_template(drawing, kFragmentFiles[0]) == kReadFailed) return -1;
  write_layer(drawing, "center");
  write_layer(drawing, "center2");
  if (copy_template(drawing, kFragmentFiles[1]) == kReadFailed) return -1;
  if (draw_placements(xy, drawing, columns) != 0) return -1;
  if (copy_template(drawing, kFragmentFiles[2]) == kReadFailed) return -1;
  return 0;
}

// Writes the drawing to a new file and puts it in place of `output` only
// when every input was read and every byte written; else the old drawing
// stays. Returns 0 or -1.
int replace_drawing(const char* output, TextInput& xy,
                    const ColumnMap& columns) {
  FileReplacement replacement;
  if (begin_replacement(replacement, output) != 0) return -1;
  auto drawing = std::make_unique<TextOutput>();
  start_text_output(*drawing, replacement.file);
  if (write_drawing(xy, *drawing, columns) != 0 ||
      flush_text_output(*drawing) != 0) {
    abandon_replacement(replacement);
    return -1;
  }
  return finish_replacement(replacement);
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
  if (load_column_map(kSettingsFile, columns) == kReadFailed)
    return finish_messages(-1);
  std::string output_name = std::string(argv[1]) + ".dxf";
  echo_names(argv[1], output_name.c_str());

  auto xy = std::make_unique<TextInput>();
  if (open_text_input(*xy, argv[2]) != 0) return finish_messages(-1);
  // Writing the drawing over an input would destroy it.
  int status = input_overwritten_by(output_name.c_str(), argv[2])
                   ? -1
                   : replace_drawing(output_name.c_str(), *xy, columns);
  close_text_input(*xy);
  return finish_messages(status);
}
