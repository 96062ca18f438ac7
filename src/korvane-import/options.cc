#include "korvane-import/options.h"

#include <iterator>

#include "korvane-import/units.h"
#include "os/command_line.h"
#include "text/scan.h"

namespace korvane {

namespace {

// The options after the column options, in the order of kOptions.
enum class OptionId {
  kUnits = kRoles,
  kSide,
  kLibrary,
  kSplit,
  kMirror,
  kSettings,
  kAddSizes,
  kNoDefaultLibraries,
  kExcludeDnp,
  kNegativeBottomX,
  kHelp,
  kShortHelp
};

// The column options, in the order of the roles, then those of OptionId.
constexpr Option kOptions[] = {{"--ref", true},
                               {"--code", true},
                               {"--x", true},
                               {"--y", true},
                               {"--angle", true},
                               {"--side-column", true},
                               {"--units", true},
                               {"--side", true},
                               {"--library", true},
                               {"--split", false},
                               {"--mirror", false},
                               {"--settings", false},
                               {"--add-sizes", false},
                               {"--no-default-libraries", false},
                               {"--exclude-dnp", false},
                               {"--negative-bottom-x", false},
                               {"--help", false},
                               {"-h", false}};

// Beyond any export's columns.
constexpr long kMostColumns = 1000000;

// Sets a column option: a number from 1 (with a sign or not), or a
// heading name.
bool set_column(Role role, std::string_view value, ImportOptions& options) {
  size_t sign = value.starts_with('+') || value.starts_with('-') ? 1 : 0;
  bool numeric =
      value.size() > sign &&
      value.find_first_not_of("0123456789", sign) == std::string_view::npos;
  if (!numeric) {
    options.column[role] = {0, std::string(value)};
    return !value.empty();
  }
  long number = 0;
  if (value[0] == '-' || !read_whole_number(value, kMostColumns, number) ||
      number < 1)
    return false;
  options.column[role] = {static_cast<int>(number), ""};
  return true;
}

// Sets the option `id` to `value` (null for an option that takes none);
// false when the value does not fit.
bool set_option(OptionId id, const char* value, ImportOptions& options) {
  std::string_view text = value ? value : "";
  switch (id) {
    case OptionId::kUnits:
      options.units = unit_from_name(text);
      return text == "mm" || text == "mil" || text == "in";
    case OptionId::kSide:
      options.keep = text == "top" ? Side::kTop : Side::kBottom;
      return text == "top" || text == "bottom";
    case OptionId::kLibrary:
      options.libraries.emplace_back(text);
      return !text.empty();
    case OptionId::kSplit:
      return options.split = true;
    case OptionId::kMirror:
      return options.mirror = true;
    case OptionId::kSettings:
      return options.settings = true;
    case OptionId::kAddSizes:
      return options.add_sizes = true;
    case OptionId::kNoDefaultLibraries:
      options.default_libraries = false;
      return true;
    case OptionId::kExcludeDnp:
      return options.exclude_dnp = true;
    case OptionId::kNegativeBottomX:
      return options.negative_bottom_x = true;
    case OptionId::kHelp:
    case OptionId::kShortHelp:
      return options.help = true;
    default:
      return set_column(static_cast<Role>(id), text, options);
  }
}

// Why the value of option `id` does not fit.
std::string bad_value(OptionId id) {
  switch (id) {
    case OptionId::kUnits:
      return "--units takes mm, mil or in";
    case OptionId::kSide:
      return "--side takes top or bottom";
    case OptionId::kLibrary:
      return "--library takes a folder of KiCad footprints or an Eagle "
             "library";
    default:
      return std::string(kOptions[static_cast<int>(id)].name) +
             " takes a column name, or a number from 1 to " +
             std::to_string(kMostColumns);
  }
}

}  // namespace

int parse_options(int argc, const char* const* argv, ImportOptions& options,
                  Problem& problem) {
  CommandLine line{argc, argv};
  for (int found;;) {
    if (next_option(line, kOptions, std::size(kOptions), found, problem) != 0)
      return -1;
    if (found == kNoOption) break;
    auto id = static_cast<OptionId>(found);
    if (!set_option(id, line.value, options)) {
      problem = problem_at(0, bad_value(id));
      return -1;
    }
  }
  if (options.help) return 0;
  if (line.operands.size() != 2) {
    problem = problem_at(0, "give the export file and the xy file to write");
    return -1;
  }
  options.export_path = line.operands[0];
  options.xy_path = line.operands[1];
  if (!options.export_path.empty() && !options.xy_path.empty()) return 0;
  problem = problem_at(0, options.export_path.empty()
                              ? "the export file's name is empty"
                              : "the xy file's name is empty");
  return -1;
}

std::string usage_text(Usage usage) {
  std::string text =
      "usage: korvane-import [options] <export, .kicad_pcb or .brd file> "
      "<xy file>\n";
  if (usage == Usage::kLine) return text;
  return text +
         "  --code COLUMN     column of the part code (footprint or package)\n"
         "  --x COLUMN        column of X     --y COLUMN    column of Y\n"
         "  --angle COLUMN    column of the rotation\n"
         "  --ref COLUMN      column of the reference designator\n"
         "  --side-column COLUMN  column of the side or layer\n"
         "                    (COLUMN: a heading name, \"Mid X\", or a number\n"
         "                    from 1)\n"
         "  --side top|bottom keep the placements of one side\n"
         "  --units mm|mil|in convert every coordinate to this unit\n"
         "  --split           write pieces of 100 placements: xy-1.txt, ...\n"
         "  --mirror          every part as seen from below the board: X and\n"
         "                    the angle negated (with --side bottom)\n"
         "  --settings        replace a lumbrex.ini that gives other columns\n"
         "  --add-sizes       add the sizes it knows to an existing size.txt\n"
         "  --library DIR     look part codes up in these KiCad footprints\n"
         "                    (a .pretty folder or a folder of them), before\n"
         "                    KiCad's own library\n"
         "  --library FILE    look part codes up in this Eagle library (.lbr)\n"
         "                    or board (.brd) first\n"
         "  --no-default-libraries  search no KiCad library but --library's\n"
         "  --exclude-dnp     leave out a KiCad board's do-not-populate parts\n"
         "  --negative-bottom-x  negate the X of bottom-side rows, which a\n"
         "                    KiCad option writes negative\n";
}

}  // namespace korvane
