#include "import/options.h"

#include <cstring>
#include <vector>

#include "import/units.h"

namespace {

const char* const kColumnOptions[kRoles] = {
    "--ref", "--code", "--x", "--y", "--angle", "--side-column"};

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
  if (role >= 0 && !value.empty() &&
      value.find_first_not_of('0') != std::string::npos) {
    options.column[role] = value;
    return 0;
  }
  if (name == "--units") {
    options.units = unit_from_name(value);
    if (value == "mm" || value == "mil" || value == "in") return 0;
  } else if (name == "--side") {
    options.keep = value == "top" ? Side::kTop : Side::kBottom;
    if (value == "top" || value == "bottom") return 0;
  }
  message = name == "--units"  ? "--units takes mm, mil or in"
            : name == "--side" ? "--side takes top or bottom"
                               : name +
                                     " takes a column name, or a number "
                                     "from 1";
  return -1;
}

bool takes_value(const std::string& name) {
  return column_option(name) >= 0 || name == "--units" || name == "--side";
}

// One option at argv[i]; moves i past its value. Returns -1 with `message`
// set when it is unknown or lacks its value.
int take_option(int argc, const char* const* argv, int& i,
                ImportOptions& options, std::string& message) {
  std::string name = argv[i];
  size_t equals = name.find('=');
  std::string value;
  bool inline_value = equals != std::string::npos;
  if (inline_value) {
    value = name.substr(equals + 1);
    name.resize(equals);
  }
  if (!inline_value && (name == "--split" || name == "--settings" ||
                        name == "--help" || name == "-h")) {
    (name == "--split"      ? options.split
     : name == "--settings" ? options.settings
                            : options.help) = true;
    return 0;
  }
  if (!takes_value(name)) {
    message = "unknown option " + name;
    return -1;
  }
  if (!inline_value) {
    if (i + 1 >= argc) {
      message = name + " needs a value";
      return -1;
    }
    value = argv[++i];
  }
  return set_value(name, value, options, message);
}

}  // namespace

int parse_options(int argc, const char* const* argv, ImportOptions& options,
                  std::string& message) {
  std::vector<std::string> names;
  bool options_end = false;
  for (int i = 1; i < argc; ++i) {
    bool option = !options_end && argv[i][0] == '-' && argv[i][1] != '\0';
    if (option && std::strcmp(argv[i], "--") == 0) {
      options_end = true;
    } else if (option) {
      if (take_option(argc, argv, i, options, message) != 0) return -1;
    } else {
      names.push_back(argv[i]);
    }
  }
  if (options.help) return 0;
  if (names.size() != 2) {
    message = "give the export file and the xy file to write";
    return -1;
  }
  options.export_path = names[0];
  options.xy_path = names[1];
  return 0;
}

std::string usage_text(bool full) {
  std::string text =
      "usage: korvane-import [options] <export file> <xy file>\n";
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
         "  --settings        replace a lumbrex.ini that gives other columns\n";
}
