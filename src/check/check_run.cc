#include "check/check_run.h"

#include <sys/stat.h>

#include <cstring>
#include <string>

#include "check/findings.h"
#include "check/listing.h"
#include "check/settings_check.h"
#include "check/size_check.h"
#include "check/size_index.h"
#include "check/svg_board.h"
#include "check/template_check.h"
#include "check/xy_check.h"
#include "input/working_files.h"
#include "text/scan.h"
#include "text/text_output.h"

namespace {

bool is_directory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder part of a path, without its last separator; "" for none.
std::string folder_of(const std::string& path) {
  size_t cut = path.find_last_of(
#ifdef _WIN32
      "/\\"
#else
      "/"
#endif
  );
  return cut == std::string::npos ? "" : path.substr(0, cut ? cut : 1);
}

// Findings for a drawing korvane cannot write, or must not.
void check_drawing(const std::string& output, const char* xy_path,
                   Findings& findings) {
  std::string folder = folder_of(output);
  if (!folder.empty() && !is_directory(folder)) {
    add_fatal(findings, output, 0,
              "the folder " + quoted(folder, 200) +
                  " does not exist; korvane fails and draws nothing");
  } else if (is_directory(output)) {
    add_fatal(findings, output, 0,
              "is a folder; korvane fails and draws nothing");
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
  bool list = false;
  const char* svg = nullptr;  // where to draw the picture
  int label = 0;              // the xy column that names the parts
  const char* layer = nullptr;
  const char* xy = nullptr;
};

// Reads the options and the two arguments; false when they are wrong.
bool read_options(int argc, const char* const* argv, Options& o) {
  int i = 1;
  for (; i < argc && strncmp(argv[i], "--", 2) == 0; ++i) {
    if (strcmp(argv[i], "--list") == 0) {
      o.list = true;
    } else if (strcmp(argv[i], "--svg") == 0 && i + 1 < argc) {
      o.svg = argv[++i];
    } else if (strcmp(argv[i], "--label") == 0 && i + 1 < argc &&
               integer_length(argv[i + 1]) == strlen(argv[i + 1]) &&
               to_integer(argv[i + 1]) > 0) {
      o.label = to_integer(argv[++i]);
    } else {
      return false;
    }
  }
  if (argc - i != 2) return false;
  o.layer = argv[i];
  o.xy = argv[i + 1];
  return true;
}

// Draws the picture unless it would replace an input; false on failure,
// with a line that says why.
bool draw_picture(const Options& o, const ColumnMap& columns, const XyList& xy,
                  const std::vector<DrawnSize>& sizes,
                  const Findings& findings) {
  bool input = input_overwritten_by(o.svg, o.xy) != nullptr;
  std::string why = input ? "is an input; korvane-check leaves it alone"
                          : "cannot be written";
  if (!input &&
      write_board_svg(o.svg, o.xy, o.label, columns, xy, sizes, findings) == 0)
    return true;
  put_line(standard_output(), (std::string(o.svg) + ": " + why).c_str());
  return false;
}

// Everything the run has to say about the files, in file order; draws the
// picture when asked, and sets `drawn` to whether that went well.
Findings check_files(const Options& o, bool& drawn) {
  const char* xy_path = o.xy;
  Findings findings;
  SettingsReport settings = check_settings(kSettingsFile, findings);
  XyList xy = read_xy(xy_path, settings.columns, o.label);
  check_templates(!xy.rows.empty(), findings);
  SizeIndex index = index_sizes(kSizeTableFile, wanted_codes(xy));
  Findings xy_findings;
  std::vector<DrawnSize> sizes = resolve_sizes(xy_path, xy, index, xy_findings);
  check_size_table(kSizeTableFile, xy, index, sizes, findings);
  check_column_reach(kSettingsFile, settings, xy.widest, xy_path, findings);
  if (!xy.opened) {
    add_fatal(findings, xy_path, 0,
              "cannot be opened; korvane fails and writes no drawing");
  } else {
    check_xy(xy_path, xy, settings.columns, findings);
    findings.insert(findings.end(), xy_findings.begin(), xy_findings.end());
    if (xy.failed)
      add_fatal(findings, xy_path, 0,
                "cannot be read to its end; korvane fails");
    check_drawing(std::string(o.layer) + ".dxf", xy_path, findings);
  }
  if (o.list) print_listing(standard_output(), xy, sizes);
  sort_findings(findings, {kSettingsFile, kFragmentFiles[0], kFragmentFiles[1],
                           kFragmentFiles[2], kSizeTableFile, xy_path});
  drawn = !o.svg || draw_picture(o, settings.columns, xy, sizes, findings);
  return findings;
}

}  // namespace

int run_check(int argc, const char* const* argv) {
  TextOutput& out = standard_output();
  Options o;
  if (!read_options(argc, argv, o)) {
    put_line(out,
             "usage: korvane-check [--list] [--svg FILE [--label N]] "
             "<Layer name> <xy file>");
    flush_text_output(out);
    return 2;
  }
  // korvane answers the version query and draws nothing: nothing to check.
  if (text_equal(o.layer, "sys") && text_equal(o.xy, "ver")) return 0;
  bool drawn;
  Findings findings = check_files(o, drawn);
  print_findings(out, findings);
  if (flush_text_output(out) != 0 || !drawn) return 2;
  return findings_status(findings);
}
