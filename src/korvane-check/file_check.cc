#include "korvane-check/file_check.h"

#include <memory>
#include <string>
#include <string_view>

#include "input/units.h"
#include "input/working_files.h"
#include "os/same_file.h"
#include "text/encoding.h"
#include "text/message.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace korvane {

namespace {

constexpr size_t kLargestXyFile = 64u << 20;  // searched for a Ctrl-Z

// "so no placement finds its size there", "so 3 of the 5 placements ...".
std::string sizes_lost(size_t lost, size_t all) {
  if (lost == all) return "so no placement finds its size there";
  return "so " + std::to_string(lost) + " of the " +
         count(static_cast<long>(all), "placement") + " find no size there";
}

// The unit as a message names it.
std::string unit_words(Unit unit) {
  return unit == Unit::kIn ? "inches" : unit_name(unit);
}

// What the size table's heading says of the unit it declares, `unit`.
std::string table_unit_words(const SizeTable& table, Unit unit) {
  if (unit == Unit::kNone) return "no unit for its lengths and widths";
  std::string field;
  for (int n : {4, 3})
    if (heading_unit(field_text(table.heading.c_str(), n)) != Unit::kNone)
      field = field_text(table.heading.c_str(), n);
  return "lengths and widths in " + unit_words(unit) + " (" + quoted(field) +
         ")";
}

// What korvane draws from an xy file in `xy` and a table in `sizes` (none:
// mm, as most are), and what to do.
std::string unit_effect(Unit xy, Unit sizes) {
  bool undeclared = sizes == Unit::kNone;
  std::string drawn = scale_words(undeclared ? Unit::kMm : sizes, xy);
  return "; korvane converts neither, so " +
         std::string(undeclared ? "if the table is in mm, as most are, " : "") +
         "every part is drawn " + drawn +
         " for its spacing; give both files one unit" +
         (undeclared ? " and name it in the table's heading, as 'Length(mm)'"
                     : "");
}

// The finding about a size table saved as `form`, for which `lost` of
// `all` placements find no size.
std::string size_form_message(TextForm form, size_t lost, size_t all) {
  std::string cause =
      form_words(form) + (form == TextForm::kUtf16
                              ? ", and finds no part code in it"
                              : "; korvane sees each such row as one field "
                                "and finds no part code (field 2) in it");
  return cause + ", " + sizes_lost(lost, all) + "; " + form_remedy(form);
}

// The finding about an xy file saved as `form`, of which korvane draws
// `drawn` placements.
std::string xy_form_message(TextForm form, size_t drawn) {
  if (form != TextForm::kUtf16)
    return form_words(form) +
           "; korvane sees each line as one field, so every column past the "
           "first reads empty; convert it with korvane-import, which reads "
           "comma- and semicolon-separated files";
  std::string what = drawn == 0 ? "nothing"
                                : count(static_cast<long>(drawn), "placement") +
                                      " from what is left of their lines";
  return form_words(TextForm::kUtf16) + ", and draws " + what +
         "; save it as UTF-8 or ANSI, or let korvane-import convert it";
}

}  // namespace

bool check_settings_form(const char* path, Findings& findings) {
  if (file_form(path, FormLook::kStart).form != TextForm::kUtf16) return false;
  add_finding(findings, path, 0,
              form_words(TextForm::kUtf16) +
                  ", and finds no setting in it: it reads the part code, X, "
                  "Y and the angle all from column 1; save it as UTF-8 or "
                  "ANSI");
  return true;
}

bool check_size_form(const PlacementList& list,
                     const std::vector<DrawnSize>& sizes, Findings& findings) {
  if (list.rows.empty()) return false;
  FileForm form = file_form(kSizeTableFile, FormLook::kRows);
  std::vector<long> lines;
  for (size_t i = 0; i < sizes.size(); ++i)
    if (!own_size(sizes[i])) lines.push_back(list.rows[i].line);
  if (form.form == TextForm::kText || lines.empty()) return false;
  add_finding(findings, kSizeTableFile, form.line,
              size_form_message(form.form, lines.size(), list.rows.size()));
  findings.back().placements = lines;
  return true;
}

bool check_xy_form(const char* path, const PlacementList& list,
                   Findings& findings) {
  FileForm form = file_form(path, FormLook::kRows);
  if (form.form == TextForm::kText) return false;
  std::vector<long> lines;
  for (const PlacementRow& r : list.rows)
    if (r.line != form.line) lines.push_back(r.line);
  add_finding(findings, path, form.line,
              xy_form_message(form.form, list.rows.size()));
  findings.back().placements = lines;
  return true;
}

void check_ctrl_z(const char* path, Findings& findings) {
  std::string bytes;
  if (!is_regular_file(path) ||
      read_file_bytes(path, bytes, kLargestXyFile) != ReadStatus::kRead)
    return;
  CtrlZStop stop = ctrl_z_stop(bytes);
  if (stop.hidden == 0) return;
  add_finding(findings, path, stop.line,
              "a Ctrl-Z byte stands here, and korvane reads nothing after "
              "it: it never sees the " +
                  count(stop.hidden, "line") +
                  " with text from there on; remove it");
}

void check_units(const char* xy_path, const PlacementList& list,
                 const ColumnMap& columns, const SizeTable& table,
                 Findings& findings) {
  if (list.rows.empty() || table.status == ReadStatus::kNotOpened) return;
  Unit xy = placement_unit(list, columns), sizes = size_table_unit(table);
  if (!units_disagree(xy, sizes)) return;
  std::string xy_says = "X in " + unit_words(xy) + " (" +
                        quoted(field_text(list.heading.c_str(), columns.x)) +
                        ")";
  std::string table_says = table_unit_words(table, sizes);
  std::string effect = unit_effect(xy, sizes);
  add_finding(findings, kSizeTableFile, 1,
              "the heading gives " + table_says + ", but " + xy_path +
                  ":1 gives " + xy_says + effect);
  add_finding(findings, xy_path, 1,
              "the heading gives " + xy_says + ", but " + kSizeTableFile +
                  ":1 gives " + table_says + effect);
}

}  // namespace korvane
