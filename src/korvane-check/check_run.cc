#include "korvane-check/check_run.h"

#include <climits>
#include <iterator>
#include <string>

#include "input/working_files.h"
#include "korvane-check/file_check.h"
#include "korvane-check/findings.h"
#include "korvane-check/listing.h"
#include "korvane-check/settings_check.h"
#include "korvane-check/size_check.h"
#include "korvane-check/svg_board.h"
#include "korvane-check/template_check.h"
#include "korvane-check/xy_check.h"
#include "os/command_line.h"
#include "os/replace_file.h"
#include "text/message.h"
#include "text/scan.h"
#include "text/text_output.h"

namespace korvane {

namespace {

const char kProgram[] = "korvane-check";
const char kUsage[] =
    "usage: korvane-check [--all] [--list] [--svg FILE [--label N]] <Layer "
    "name> <xy file>";

// Findings for a drawing korvane cannot write, or must not.
void check_drawing(const std::string& output, const char* xy_path,
                   Findings& findings) {
  Problem problem;
  if (foresee_replacement(output, problem) != 0) {
    add_fatal(findings, output, 0,
              problem.message + "; korvane fails and draws nothing");
  } else if (const char* input =
                 input_overwritten_by(output.c_str(), xy_path)) {
    std::string what = input == xy_path ? std::string("the xy file ") : "";
    add_fatal(findings, output, 0,
              "the drawing would overwrite " + what + input +
                  "; korvane fails and leaves it as it is");
  }
}

// What the command line asks for.
struct Options {
  bool all = false;  // korvane --all: every placement drawn
  bool list = false;
  const char* svg = nullptr;  // where to draw the picture
  int label = 0;              // the xy column that names the parts
  const char* layer = nullptr;
  const char* xy = nullptr;
};

// The options, in the order of kOptions.
enum class OptionId { kList, kSvg, kLabel, kAll };
constexpr Option kOptions[] = {
    {"--list", false}, {"--svg", true}, {"--label", true}, {"--all", false}};

// Reads the options and the two arguments. Returns -1 with `problem` when
// they are wrong.
int read_options(int argc, const char* const* argv, Options& o,
                 Problem& problem) {
  CommandLine line{argc, argv};
  for (int found;;) {
    if (next_option(line, kOptions, std::size(kOptions), found, problem) != 0)
      return -1;
    if (found == kNoOption) break;
    long label = 0;
    auto id = static_cast<OptionId>(found);
    if (id == OptionId::kList) o.list = true;
    if (id == OptionId::kSvg) o.svg = line.value;
    if (id == OptionId::kAll) o.all = true;
    if (id != OptionId::kLabel) continue;
    if (!read_whole_number(line.value, INT_MAX, label) || label < 1) {
      problem = problem_at(0, "--label takes a column number from 1");
      return -1;
    }
    o.label = static_cast<int>(label);
  }
  if (line.operands.size() != 2) {
    problem =
        problem_at(0, "give the layer name and the xy file, as to korvane");
    return -1;
  }
  o.layer = line.operands[0];
  o.xy = line.operands[1];
  return 0;
}

// Draws the picture unless it would replace an input. Returns -1 with a
// line on standard error that says why it was not drawn.
int draw_picture(const Options& o, const ColumnMap& columns,
                 const PlacementList& list, const std::vector<DrawnSize>& sizes,
                 const Findings& findings) {
  Problem problem;
  bool input = input_overwritten_by(o.svg, o.xy) != nullptr;
  if (!input && write_board_svg(o.svg, o.xy, o.label, columns, list, sizes,
                                findings, problem) == 0)
    return 0;
  report_error(kProgram,
               std::string(o.svg) +
                   (input ? ": is an input; korvane-check leaves it alone"
                          : ": cannot be written"));
  return -1;
}

// Reads size.txt as korvane does, keeping the rows that the placements'
// codes, and those codes in other encodings, may need.
SizeTable read_sizes(const PlacementList& list) {
  std::vector<std::string> codes;
  for (const PlacementRow& row : list.rows) {
    codes.push_back(row.placement.code);
    for (const CodeVariant& v : code_variants(row.placement.code))
      codes.push_back(v.code);
  }
  SizeTable table;
  read_size_table(kSizeTableFile, codes, {.past_empty_line = true}, table);
  // korvane opens the table only for a placement.
  if (list.rows.empty() && table.status == ReadStatus::kReadFailed)
    table.status = ReadStatus::kRead;
  return table;
}

// The findings about the placements of an xy file that opened: how it and
// size.txt are saved, their units, the rows and the codes. A file saved in
// a way korvane cannot read gets one finding, and its rows none.
void check_placements(const char* xy_path, const Settings& settings,
                      const PlacementList& list, const SizeTable& table,
                      const std::vector<DrawnSize>& sizes, Findings& findings) {
  bool xy_read = !check_xy_form(xy_path, list, findings);
  bool sizes_read = !check_size_form(list, sizes, findings);
  if (xy_read) {
    check_column_reach(kSettingsFile, settings, list, xy_path, findings);
    check_ctrl_z(xy_path, findings);
  }
  check_xy(xy_path, list, settings.columns, xy_read, findings);
  if (!xy_read || !sizes_read) return;
  check_units(xy_path, list, settings.columns, table, findings);
  check_codes(xy_path, list, table, sizes, findings);
}

// Everything the run has to say about the files, in file order; draws the
// picture when asked, and sets `drawn` to whether that went well.
Findings check_files(const Options& o, bool& drawn) {
  const char* xy_path = o.xy;
  Findings findings;
  Settings settings = check_settings(kSettingsFile, findings);
  PlacementList list;
  ReadStatus xy_status = read_placement_list(
      xy_path, settings.columns, ListReading::kToTheEnd, list,
      o.all ? kEveryPlacement : size_t{kMaxPlacements});
  check_templates(!list.rows.empty(), findings);
  SizeTable table = read_sizes(list);
  std::vector<DrawnSize> sizes = drawn_sizes(list, table);
  check_size_table(list, table, sizes, findings);
  if (xy_status == ReadStatus::kNotOpened) {
    add_fatal(findings, xy_path, 0,
              "cannot be opened; korvane fails and writes no drawing");
  } else {
    check_placements(xy_path, settings, list, table, sizes, findings);
    if (xy_status == ReadStatus::kReadFailed)
      add_fatal(findings, xy_path, 0,
                "cannot be read to its end; korvane fails");
    check_drawing(std::string(o.layer) + ".dxf", xy_path, findings);
  }
  if (o.list) print_listing(standard_output(), list, sizes);
  sort_findings(findings, {kSettingsFile, kFragmentFiles[0], kFragmentFiles[1],
                           kFragmentFiles[2], kSizeTableFile, xy_path});
  drawn =
      !o.svg || draw_picture(o, settings.columns, list, sizes, findings) == 0;
  return findings;
}

}  // namespace

int run_check(int argc, const char* const* argv) {
  Options o;
  Problem problem;
  if (read_options(argc, argv, o, problem) != 0) {
    report_error(kProgram, problem.message);
    put_line(standard_error(), kUsage);
    flush_text_output(standard_error());
    return kCheckFails;
  }
  // korvane answers the version query and draws nothing: nothing to check.
  if (text_equal(o.layer, "sys") && text_equal(o.xy, "ver")) return kCheckClean;
  bool drawn;
  Findings findings = check_files(o, drawn);
  TextOutput& out = standard_output();
  print_findings(out, findings);
  if (flush_text_output(out) != 0) {
    report_error(kProgram, "standard output cannot be written");
    return kCheckFails;
  }
  if (!drawn) return kCheckFails;
  return findings_status(findings);
}

}  // namespace korvane
