#include "korvane-import/import_run.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "eagle/eagle.h"
#include "korvane-import/board_import.h"
#include "korvane-import/decode.h"
#include "korvane-import/eagle_import.h"
#include "korvane-import/fragments.h"
#include "korvane-import/heading.h"
#include "korvane-import/options.h"
#include "korvane-import/placements.h"
#include "korvane-import/size_plan.h"
#include "korvane-import/xy_output.h"
#include "os/same_file.h"
#include "text/message.h"
#include "text/text_input.h"
#include "text/text_output.h"

namespace korvane {

namespace {

const char kProgram[] = "korvane-import";
// Exports of real boards are a few hundred kilobytes; KiCad boards with
// filled zones run to a hundred megabytes and more.
constexpr size_t kExportLimit = 64u << 20;
constexpr size_t kBoardLimit = 1u << 30;

// Writes the problem to standard error, `kind` before the message, at
// `file` (the export) when it names no file.
void print_problem(const std::string& file, Problem problem,
                   const char* kind = "") {
  if (problem.file.empty()) problem.file = file;
  put_problem(standard_error(), problem, kind);
  flush_text_output(standard_error());
}

// Prints the problem and returns `status`.
int report(const std::string& file, const Problem& problem,
           int status = kImportRefused) {
  print_problem(file, problem);
  return status;
}

int usage_error(const Problem& problem) {
  report_error(kProgram, problem.message);
  put_text(standard_error(), usage_text(Usage::kLine).c_str());
  flush_text_output(standard_error());
  return kImportRefused;
}

// True when the file at `path` starts as a KiCad board does.
bool starts_as_board(const char* path) {
  auto in = std::make_unique_for_overwrite<TextInput>();
  if (open_text_input(*in, path) != ReadStatus::kRead) return false;
  const char* bytes = "";
  bool board = is_board_text(std::string_view(bytes, peek_raw(*in, &bytes)));
  close_text_input(*in);
  return board;
}

// Reads the file named on the command line, as it stands, into `raw`.
int read_export(const ImportOptions& options, std::string& raw,
                Problem& problem) {
  const char* path = options.export_path.c_str();
  ReadStatus status = read_file_bytes(path, raw, kExportLimit);
  bool board = status == ReadStatus::kTooLarge && starts_as_board(path);
  if (board) status = read_file_bytes(path, raw, kBoardLimit);
  if (status == ReadStatus::kTooLarge)
    problem = problem_at(0, board ? "is a KiCad board larger than 1 GiB, "
                                    "more than korvane-import reads"
                                  : "is larger than 64 MiB, and no KiCad "
                                    "board; is it an export?");
  else if (status != ReadStatus::kRead)
    problem = problem_at(0, "cannot be read; check its name");
  return status == ReadStatus::kRead ? 0 : -1;
}

// The placements of an export, as the options find and keep them.
int read_rows(const ImportOptions& options, std::string raw,
              std::vector<ImportedPlacement>& all,
              std::vector<Problem>& warnings, Problem& problem) {
  std::string text;
  ExportLayout layout;
  if (options.exclude_dnp) {
    problem = problem_at(0,
                         "--exclude-dnp reads a KiCad board's do-not-populate "
                         "marks, and an export has none; leave it out");
    return -1;
  }
  if (decode_export(std::move(raw), text, warnings, problem) != 0 ||
      find_layout(text, options, layout, problem) != 0 ||
      read_placements(text, layout, all, warnings, problem) != 0 ||
      settle_bottom_x(all, layout, options.negative_bottom_x, warnings,
                      problem) != 0 ||
      keep_side(all, layout, options.keep, problem) != 0)
    return -1;
  if (!all.empty()) return 0;
  problem =
      problem_at(layout.heading_line, options.keep == Side::kAny
                                          ? "no placement follows the heading"
                                          : "no placement on the side kept");
  return -1;
}

// Refuses the options that only an export takes, for a board file
// (`board`: "a KiCad board", "an Eagle board"): it has no columns for the
// column options to name and no bottom-side X to mend.
int refuse_export_options(const ImportOptions& options, const char* board,
                          Problem& problem) {
  if (options.negative_bottom_x) {
    problem = problem_at(0, std::string("--negative-bottom-x mends an "
                                        "export's bottom-side X, and ") +
                                board + " needs no mending; leave it out");
    return -1;
  }
  for (Role role : kAllRoles) {
    if (!given(options.column[role])) continue;
    problem = problem_at(0, std::string(kColumnOptions[role]) +
                                " names a column of an export, and a board "
                                "file has none; leave it out");
    return -1;
  }
  return 0;
}

// The placements of the board or export `raw`, and a board's body sizes.
int read_design(const ImportOptions& options, std::string raw,
                std::vector<ImportedPlacement>& all, DesignSizes& design,
                std::vector<Problem>& warnings, Problem& problem) {
  if (is_board_text(raw))
    return refuse_export_options(options, "a KiCad board", problem) != 0
               ? -1
               : import_board(raw, options, all, design, warnings, problem);
  if (is_eagle_text(raw))
    return refuse_export_options(options, "an Eagle board", problem) != 0
               ? -1
               : import_eagle_board(raw, options, all, design, warnings,
                                    problem);
  return read_rows(options, std::move(raw), all, warnings, problem);
}

// All placements to write, as the options keep and convert them, the body
// sizes of a board, and the warnings of their reading.
int gather(const ImportOptions& options, std::vector<ImportedPlacement>& all,
           DesignSizes& design, std::vector<Problem>& warnings,
           Problem& problem) {
  std::string raw;
  if (read_export(options, raw, problem) != 0 ||
      read_design(options, std::move(raw), all, design, warnings, problem) !=
          0 ||
      settle_units(all, options.units, problem) != 0)
    return -1;
  if (options.mirror) mirror_placements(all);
  return 0;
}

// The xy file, or with --split its pieces of at most kPlacementsPerFile
// placements.
int plan_files(const ImportOptions& options,
               const std::vector<ImportedPlacement>& all,
               std::vector<WholeFile>& files, Problem& problem) {
  size_t per_file = options.split ? kPlacementsPerFile : all.size();
  for (size_t first = 0; first < all.size(); first += per_file) {
    size_t count = std::min(per_file, all.size() - first);
    WholeFile file;
    file.path =
        options.split
            ? piece_name(options.xy_path,
                         static_cast<int>(first / kPlacementsPerFile) + 1)
            : options.xy_path;
    if (xy_text(all, first, count, file.bytes, problem) != 0) return -1;
    files.push_back(std::move(file));
  }
  return 0;
}

// For an xy file of more placements than plain korvane draws, the command
// that draws them all; none with --split.
std::vector<Problem> all_needed(const ImportOptions& options, size_t count) {
  if (options.split || count <= kPlacementsPerFile) return {};
  const std::string& xy = options.xy_path;
  return {problem_at(0,
                     std::to_string(count) +
                         " placements, and korvane draws the first " +
                         std::to_string(kMaxPlacements) +
                         " of an xy file; draw them all with korvane --all " +
                         layer_name(xy) + " " + xy,
                     xy)};
}

// Adds lumbrex.ini to the files when it must be written, and the DXF
// fragments the working directory lacks; refuses an xy file that is one of
// korvane's own files.
int plan_settings(const ImportOptions& options, std::vector<WholeFile>& files,
                  Problem& problem) {
  const std::pair<const char*, const char*> own[] = {
      {kSettingsFile, "is korvane's settings file"},
      {kSizeTableFile, "is korvane's size table"},
      {kFragmentFiles[0], "is a DXF fragment of korvane's"},
      {kFragmentFiles[1], "is a DXF fragment of korvane's"},
      {kFragmentFiles[2], "is a DXF fragment of korvane's"}};
  for (const WholeFile& file : files)
    for (auto [name, what] : own) {
      if (!writes_file(file.path, name)) continue;
      problem = problem_at(0, std::string(what) + "; name another xy file",
                           file.path);
      return -1;
    }
  bool needed = false;
  if (settings_needed(options.settings, needed, problem) != 0) return -1;
  if (needed) files.push_back({kSettingsFile, with_crlf(settings_text())});
  plan_fragments(files);
  return 0;
}

void print_warnings(const std::string& source,
                    const std::vector<Problem>& warnings) {
  for (const Problem& warning : warnings)
    print_problem(source, warning, "warning: ");
}

// Writes the lines to standard output; a write that fails is reported.
int print_lines(const std::vector<std::string>& lines) {
  TextOutput& out = standard_output();
  for (const std::string& line : lines) put_line(out, line.c_str());
  if (flush_text_output(out) == 0) return kImportDone;
  report_error(kProgram, "standard output cannot be written");
  return kImportWriteFailed;
}

// With --split, the pieces' names, one a line: the first `pieces` files.
int print_pieces(const ImportOptions& options,
                 const std::vector<WholeFile>& files, size_t pieces) {
  std::vector<std::string> names;
  for (size_t i = 0; options.split && i < pieces; ++i)
    names.push_back(files[i].path);
  return print_lines(names);
}

}  // namespace

int run_import(int argc, const char* const* argv) {
  ImportOptions options;
  Problem problem;
  if (parse_options(argc, argv, options, problem) != 0)
    return usage_error(problem);
  if (options.help) {
    put_text(standard_output(), usage_text(Usage::kFull).c_str());
    return print_lines({});
  }
  std::vector<ImportedPlacement> all;
  DesignSizes design;
  std::vector<Problem> warnings, size_warnings;
  std::vector<WholeFile> files;
  const std::string& source = options.export_path;
  if (gather(options, all, design, warnings, problem) != 0) {
    print_warnings(source, warnings);  // what left the parts out, if any
    return report(source, problem);
  }
  if (plan_files(options, all, files, problem) != 0)
    return report(source, problem);
  size_t pieces = files.size();
  std::vector<Problem> notes = all_needed(options, all.size());
  if (plan_settings(options, files, problem) != 0 ||
      plan_sizes(options, std::move(all), design, files, size_warnings,
                 problem) != 0)
    return report(source, problem);
  if (check_targets(files, source.c_str(), problem) != 0)
    return report(source, problem);
  if (replace_files(files, InPlace::kNever, problem) != 0)
    return report(source, problem, kImportWriteFailed);
  if (options.split)
    print_warnings(
        source, remove_stale_pieces(options.xy_path, static_cast<int>(pieces)));
  print_warnings(source, warnings);
  print_warnings(source, size_warnings);
  print_warnings(source, notes);
  return print_pieces(options, files, pieces);
}

}  // namespace korvane
