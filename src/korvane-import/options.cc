#include "korvane-import/options.h"

#include <iterator>

#include "korvane-import/units.h"
#include "os/command_line.h"

namespace korvane {

namespace {

int column_option(const std::string& name) {
  for (int role = 0; role < kRoles; ++role)
    if (name == kColumnOptions[role]) return role;
  return -1;
}

// Sets the option `name` to `value`; returns -1 with `message` set when
// the value does not fit.
int set_value(const std::string& name, const std::string& value,
              ImportOptions& options, std::string& message) {
  int role = column_option(name);
  // A number (signed or not) is a column number, which counts from 1.
  size_t digits = value.find_first_not_of("+-") == 0 ? 0 : 1;
  bool number =
      value.size() > digits &&
      value.find_first_not_of("0123456789", digits) == std::string::npos;
  if (role >= 0 && !value.empty() && !number) {
    options.column[role] = value;
    return 0;
  }
  if (role >= 0 && number && value[0] != '-' &&
      value.find_first_not_of('0', digits) != std::string::npos) {
    options.column[role] = value.substr(value.find_first_not_of("+0"));
    return 0;
  }
  if (name == "--library") {
    options.libraries.push_back(value);
    if (!value.empty()) return 0;
  } else if (name == "--units") {
    options.units = unit_from_name(value);
    if (value == "mm" || value == "mil" || value == "in") return 0;
  } else if (name == "--side") {
    options.keep = value == "top" ? Side::kTop : Side::kBottom;
    if (value == "top" || value == "bottom") return 0;
  }
  message = name == "--units"     ? "--units takes mm, mil or in"
            : name == "--side"    ? "--side takes top or bottom"
            : name == "--library" ? "--library takes a folder of footprints"
                                  : name +
                                        " takes a column name, or a number "
                                        "from 1";
  return -1;
}

// Sets the option `name` that takes no value.
void set_flag(const std::string& name, ImportOptions& options) {
  if (name == "--no-default-libraries") {
    options.default_libraries = false;
    return;
  }
  bool& flag = name == "--split"       ? options.split
               : name == "--settings"  ? options.settings
               : name == "--add-sizes" ? options.add_sizes
                                       : options.help;
  flag = true;
}

}  // namespace

int parse_options(int argc, const char* const* argv, ImportOptions& options,
                  std::string& message) {
  // The column options first, in the order of the roles.
  static const Option kOptions[] = {{"--ref", true},
                                    {"--code", true},
                                    {"--x", true},
                                    {"--y", true},
                                    {"--angle", true},
                                    {"--side-column", true},
                                    {"--units", true},
                                    {"--side", true},
                                    {"--library", true},
                                    {"--split", false},
                                    {"--settings", false},
                                    {"--add-sizes", false},
                                    {"--no-default-libraries", false},
                                    {"--help", false},
                                    {"-h", false}};
  CommandLine line = command_line(argc, argv);
  for (int found;
       (found = next_option(line, kOptions, std::size(kOptions))) != -1;) {
    if (found == -2) {
      message = line.message;
      return -1;
    }
    if (!kOptions[found].takes_value)
      set_flag(kOptions[found].name, options);
    else if (set_value(kOptions[found].name, line.value, options, message) != 0)
      return -1;
  }
  if (options.help) return 0;
  if (line.operands.size() != 2) {
    message = "give the export file and the xy file to write";
    return -1;
  }
  options.export_path = line.operands[0];
  options.xy_path = line.operands[1];
  if (!options.export_path.empty() && !options.xy_path.empty()) return 0;
  message = options.export_path.empty() ? "the export file's name is empty"
                                        : "the xy file's name is empty";
  return -1;
}

std::string usage_text(bool full) {
  std::string text =
      "usage: korvane-import [options] <export or .kicad_pcb file> <xy "
      "file>\n";
  if (!full) return text;
  return text +
         "  --code COLUMN     column of the part code (footprint or package)\n"
         "  --x COLUMN        column of X     --y COLUMN    column of Y\n"
         "  --angle COLUMN    column of the rotation\n"
         "  --ref COLUMN      column of the reference designator\n"
         "  --side-column COLUMN  column of the side or layer\n"
         "                    (COLUMN: a heading name, or a number from 1)\n"
         "  --side top|bottom keep the placements of one side\n"
         "  --units mm|mil|in convert every coordinate to this unit\n"
         "  --split           write pieces of 100 placements: xy-1.txt, ...\n"
         "  --settings        replace a lumbrex.ini that gives other columns\n"
         "  --add-sizes       add the sizes it knows to an existing size.txt\n"
         "  --library DIR     look part codes up in these KiCad footprints\n"
         "                    (a .pretty folder or a folder of them), before\n"
         "                    KiCad's own library\n"
         "  --no-default-libraries  search no KiCad library but --library's\n";
}

}  // namespace korvane
