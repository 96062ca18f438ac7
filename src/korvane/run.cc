#include "korvane/run.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "korvane/silent_mode.h"
#include "dxf/drawing.h"
#include "dxf/dxf_records.h"
#include "dxf/outline.h"
#include "dxf/template.h"
#include "input/column_map.h"
#include "input/placement.h"
#include "input/size_table.h"
#include "input/working_files.h"
#include "os/replace_file.h"
#include "text/scan.h"
#include "text/text_output.h"

namespace korvane {

namespace {

// Ends a run that wrote only to standard output: a failed write turns a
// success into -1.
int finish_messages(int status) {
  return flush_text_output(standard_output()) == 0 ? status : -1;
}

// --- the diagnostic echo, written from what the readers found -------------

void echo_columns(TextOutput& echo, const char* separator,
                  const char* const* labels, const ColumnMap& columns) {
  for (int i = 0; i < kColumnKeyCount; ++i) {
    put_text(echo, labels ? labels[i] : i ? separator : "");
    put_integer(echo, column_value(columns, i));
    if (labels) put_text(echo, "\n");
  }
}

// Each line taken, with the columns after it, then the columns in force.
void echo_settings(const Settings& settings) {
  TextOutput& echo = standard_output();
  ColumnMap columns;
  for (const SettingLine& line : settings.lines) {
    apply_setting(line, columns);
    put_line(echo, line.clean.c_str());
    put_text(echo, "init = ");
    echo_columns(echo, ",", nullptr, columns);
    put_text(echo, "\n");
  }
  const char* labels[] = {
      "x    = ", "y    = ", "a    = ", "row  = ", "code = "};
  if (settings.status != ReadStatus::kNotOpened)
    echo_columns(echo, "", labels, settings.columns);
}

void echo_names(const char* layer_name, const char* output_name) {
  TextOutput& echo = standard_output();
  put_text(echo, "argv[1]     = ");
  put_line(echo, layer_name);
  put_text(echo, "Output File = ");
  put_line(echo, output_name);
}

void echo_placement(const PlacementRow& row) {
  TextOutput& echo = standard_output();
  const Placement& p = row.placement;
  put_line(echo, row.text.c_str());
  put_text(echo, "CODE = ");
  put_text(echo, p.code.c_str());
  for (auto [label, value] :
       {std::pair{" : X = ", p.x}, std::pair{" : Y = ", p.y},
        std::pair{" : A = ", p.a}}) {
    put_text(echo, label);
    put_fixed(echo, value, 6);
  }
  put_text(echo, "\n");
}

// The codes a lookup walks, the table read row by row from its top up to
// the row that holds the code whole, and the size it leaves.
void echo_lookup(const SizeTable& table, const std::string& code,
                 const PartSize& size) {
  if (table.status == ReadStatus::kNotOpened) return;
  TextOutput& echo = standard_output();
  for (const std::string& row_code : table.codes) {
    put_line(echo, row_code.c_str());
    if (match_code(row_code.c_str(), code) == CodeMatch::kWhole) break;
  }
  put_text(echo, "L = ");
  put_fixed(echo, size.length, 6);
  put_text(echo, "\nW = ");
  put_fixed(echo, size.width, 6);
  put_text(echo, "\n");
}

// --- the drawing ----------------------------------------------------------

// Writes each placement's outline with the size korvane's rule gives it.
void draw_outlines(TextOutput& drawing, const PlacementList& list,
                   const SizeTable& table) {
  std::vector<DrawnSize> sizes = drawn_sizes(list, table);
  for (size_t i = 0; i < list.rows.size(); ++i) {
    const PlacementRow& row = list.rows[i];
    const Placement& p = row.placement;
    const PartSize& size = sizes[i].size;
    if (!silent_mode) {
      echo_placement(row);
      echo_lookup(table, p.code, size);
      write_part_outline(standard_output(), kOutlineLayer, p.x, p.y,
                         size.length, size.width, p.a, 0, 0, 0);
    }
    write_part_outline(drawing, kOutlineLayer, p.x, p.y, size.length,
                       size.width, p.a, 0, 0, 0);
  }
}

// Room made for a drawing at the start, so that it is not copied as it
// grows: an outline of four LINEs takes about 600 bytes.
constexpr size_t kDrawingReserve = 16 * 1024;
constexpr size_t kOutlineBytes = 640;

// Makes the whole drawing in `bytes`, step by step. Returns -1 when a
// fragment could not be read; missing fragments are left out.
int make_drawing(const PlacementList& list, const SizeTable& table,
                 std::string& bytes) {
  auto drawing = std::make_unique_for_overwrite<TextOutput>();
  start_text_in_memory(*drawing, bytes);
  bytes.reserve(kDrawingReserve + list.rows.size() * kOutlineBytes);
  for (const DrawingStep& step : kDrawingOrder) {
    if (step.part == DrawingPart::kFragment &&
        copy_template(*drawing, kFragmentFiles[step.fragment]) ==
            ReadStatus::kReadFailed)
      return -1;
    if (step.part == DrawingPart::kLayer) {
      if (!silent_mode) write_layer(standard_output(), step.layer);
      write_layer(*drawing, step.layer);
    }
    if (step.part == DrawingPart::kOutlines)
      draw_outlines(*drawing, list, table);
  }
  return flush_text_output(*drawing);
}

std::vector<std::string> codes_of(const PlacementList& list) {
  std::vector<std::string> codes;
  for (const PlacementRow& row : list.rows) codes.push_back(row.placement.code);
  return codes;
}

// Reads the inputs, makes the drawing of at most `most` placements and
// puts it in place of `output` whole, or leaves the old one. Returns 0 or
// -1.
int draw(const char* output, const char* xy_path, const ColumnMap& columns,
         size_t most) {
  PlacementList list;
  // Writing the drawing over an input would destroy it.
  if (read_placement_list(xy_path, columns, ListReading::kDrawn, list, most) !=
          ReadStatus::kRead ||
      input_overwritten_by(output, xy_path))
    return -1;
  SizeTable table;
  if (!list.rows.empty() && read_size_table(kSizeTableFile, codes_of(list),
                                            {.every_code = !silent_mode},
                                            table) == ReadStatus::kReadFailed)
    return -1;
  std::string bytes;
  Problem problem;
  if (make_drawing(list, table, bytes) != 0 ||
      replace_file_with(output, std::move(bytes), InPlace::kWhenAlone,
                        problem) != 0)
    return -1;
  return 0;
}

}  // namespace

int run_korvane(int argc, const char* const* argv) {
  TextOutput& messages = standard_output();
  // "--all" before the two arguments lifts the limit on placements; two
  // arguments alone are always a plain run.
  size_t most = kMaxPlacements;
  if (argc == 4 && std::strcmp(argv[1], "--all") == 0) {
    most = kEveryPlacement;
    --argc;
    ++argv;
  }
  if (argc != 3) {
    put_line(messages, "Error : Command or Parameter!!");
    put_line(messages, "korvane [Layer name] [xy file]");
    return finish_messages(-1);
  }
  if (text_equal(argv[1], "sys") && text_equal(argv[2], "ver")) {
    put_line(messages, KORVANE_VERSION);
    return finish_messages(0);
  }
  auto settings = std::make_unique<Settings>();
  if (read_settings(kSettingsFile, {.every_line = !silent_mode}, *settings) ==
      ReadStatus::kReadFailed)
    return finish_messages(-1);
  std::string output_name = std::string(argv[1]) + ".dxf";
  if (!silent_mode) {
    echo_settings(*settings);
    echo_names(argv[1], output_name.c_str());
  }
  return finish_messages(
      draw(output_name.c_str(), argv[2], settings->columns, most));
}

}  // namespace korvane
