#include "korvane-import/eagle_import.h"

#include <filesystem>
#include <system_error>

#include "eagle/eagle.h"
#include "input/size_table.h"
#include "korvane-import/board_parts.h"
#include "korvane-import/placements.h"
#include "korvane-import/size_rows.h"
#include "text/message.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace korvane {

namespace {

// The largest Eagle file read as a library: as large as an export.
constexpr size_t kLargestLibrary = 64u << 20;
// The most elements without copper named in their warning.
constexpr size_t kNamesListed = 100;

// "R1 'rcl:R0603'" for a message.
std::string named(const EagleElement& e) {
  return escaped(e.name) + " " +
         korvane::quoted(e.library + ":" + e.package_name, 80);
}

// One warning naming the elements left out for having no copper.
Problem no_copper(const std::vector<const EagleElement*>& left) {
  std::string names;
  for (size_t i = 0; i < left.size() && i < kNamesListed; ++i)
    names += (i > 0 ? ", " : "") + escaped(left[i]->name);
  if (left.size() > kNamesListed)
    names += " and " + std::to_string(left.size() - kNamesListed) + " more";
  return problem_at(left.front()->line,
                    count(static_cast<long>(left.size()), "element") +
                        " without a pad or smd (frames, logos, marks) " +
                        (left.size() > 1 ? "are" : "is") +
                        " left out of the xy file: " + names);
}

// Whether an element with copper is left out, its package missing or
// without a body; each is warned of.
bool left_out(const EagleDesign& design, const EagleElement& e,
              std::vector<Problem>& warnings) {
  if (e.ambiguous) {
    warnings.push_back(problem_at(
        e.line, "the element " + named(e) +
                    " names its library by a URN that no library of the "
                    "board has, and several libraries bear its library's "
                    "name, so it is left out of the xy file rather than "
                    "drawn with a package that may be another; update the "
                    "board's libraries in Eagle or Fusion and save it again"));
    return true;
  }
  if (e.package < 0) {
    warnings.push_back(problem_at(
        e.line, "the element " + named(e) +
                    " names a package that the board's libraries do not "
                    "hold, so it is left out of the xy file; the board is "
                    "damaged: open it in Eagle and save it again"));
    return true;
  }
  if (!design.packages[e.package].body.box.empty) return false;
  warnings.push_back(problem_at(
      e.line, "the element " + named(e) +
                  " has no body (its copper has no length or width), so it "
                  "is left out of the xy file; draw its body on tDocu"));
  return true;
}

// Places element `e` and takes its package's size.
int place_element(const EagleDesign& design, const EagleElement& e,
                  std::vector<ImportedPlacement>& placements,
                  DesignSizes& sizes, std::vector<Problem>& warnings,
                  Problem& problem) {
  const EaglePackage& package = design.packages[e.package];
  BoardPart part{e.line,
                 package.name,
                 e.name,
                 e.rotation.mirrored,
                 place_package(e, package),
                 kTagBoard,
                 std::string(kTagBoard) + " " + package.body.layer,
                 "the element " + named(e),
                 "package"};
  return add_board_part(part, placements, sizes, warnings, problem);
}

// Refuses a library or a board that leaves nothing to place.
int check_board(const EagleDesign& design, bool placed, Side keep,
                Problem& problem) {
  if (design.board && placed) return 0;
  problem = problem_at(
      0, !design.board
             ? "is an Eagle library, which places no part; give it with "
               "--library, and the board or a mount export to import"
             : std::string("no element of the board") +
                   (keep == Side::kAny ? "" : " on the side kept") +
                   " goes into the xy file: each has no pad or smd, is not "
                   "populated or has no body");
  return -1;
}

// Places the populated elements of `design` on side `keep` (both for
// kAny); those without copper are named in one warning.
int place_elements(const EagleDesign& design, Side keep,
                   std::vector<ImportedPlacement>& placements,
                   DesignSizes& sizes, std::vector<Problem>& warnings,
                   Problem& problem) {
  std::vector<const EagleElement*> without_copper;
  for (const EagleElement& e : design.elements) {
    Side side = e.rotation.mirrored ? Side::kBottom : Side::kTop;
    if (!e.populated || (keep != Side::kAny && side != keep)) continue;
    if (e.package >= 0 && design.packages[e.package].body.copper.empty) {
      without_copper.push_back(&e);
      continue;
    }
    if (!left_out(design, e, warnings) &&
        place_element(design, e, placements, sizes, warnings, problem) != 0)
      return -1;
  }
  if (!without_copper.empty()) warnings.push_back(no_copper(without_copper));
  return 0;
}

// The name of a library for a message: its own, else the file's.
std::string library_name(const EaglePackage& package, const std::string& path) {
  return package.library.empty()
             ? std::filesystem::path(path).filename().string()
             : package.library;
}

// Takes the bodies of `design`'s packages, read from `path`.
void add_packages(EagleLibraries& libraries, const EagleDesign& design,
                  const std::string& path) {
  std::string note = std::filesystem::path(path).filename().string();
  for (const EaglePackage& package : design.packages) {
    const Extent& box = package.body.box;
    if (box.empty) continue;
    std::string library = library_name(package, path);
    KnownSize size{extent_length(box),
                   extent_width(box),
                   kTagLibrary,
                   note + " " + package.body.layer,
                   library,
                   package.line};
    std::vector<Problem> warnings;
    add_design_size(package.name, size,
                    "the package " + korvane::quoted(package.name) +
                        " of library " + korvane::quoted(library),
                    "package", libraries.sizes, warnings);
    if (warnings.empty()) continue;
    warnings.front().file = path;
    libraries.conflicts.emplace(folded(package.name), warnings.front());
  }
}

// Adds the packages of the Eagle library or board `path`.
int add_eagle_library(EagleLibraries& libraries, const std::string& path,
                      Problem& problem) {
  std::string raw;
  ReadStatus read = read_file_bytes(path.c_str(), raw, kLargestLibrary);
  EagleDesign design;
  if (read != ReadStatus::kRead || !is_eagle_text(raw)) {
    const char* why = read == ReadStatus::kTooLarge
                          ? "is larger than 64 MiB; no Eagle library is"
                      : read != ReadStatus::kRead
                          ? "cannot be read; check its name"
                          : "is neither a folder of KiCad "
                            "footprints nor an Eagle library "
                            "(.lbr) or board (.brd)";
    problem = problem_at(0, why, path);
    return -1;
  }
  if (read_eagle(raw, design, problem) != 0) {
    problem.file = path;
    return -1;
  }
  add_packages(libraries, design, path);
  return 0;
}

}  // namespace

int import_eagle_board(std::string_view raw, const ImportOptions& options,
                       std::vector<ImportedPlacement>& placements,
                       DesignSizes& sizes, std::vector<Problem>& warnings,
                       Problem& problem) {
  EagleDesign design;
  size_t first = placements.size();
  if (read_eagle(raw, design, problem) != 0 ||
      place_elements(design, options.keep, placements, sizes, warnings,
                     problem) != 0)
    return -1;
  return check_board(design, placements.size() > first, options.keep, problem);
}

bool is_eagle_library(const std::string& path) {
  std::error_code error;
  auto status = std::filesystem::status(path, error);
  std::string extension =
      lowered(std::filesystem::path(path).extension().string());
  return std::filesystem::is_regular_file(status) ||
         (!std::filesystem::exists(status) &&
          (extension == ".lbr" || extension == ".brd"));
}

int add_eagle_libraries(EagleLibraries& libraries,
                        const std::vector<std::string>& paths,
                        Problem& problem) {
  for (const std::string& path : paths)
    if (is_eagle_library(path) &&
        add_eagle_library(libraries, path, problem) != 0)
      return -1;
  return 0;
}

bool eagle_library_size(const EagleLibraries& libraries,
                        const std::string& code, KnownSize& size,
                        std::vector<Problem>& warnings) {
  std::string key = folded(code);
  auto found = libraries.sizes.find(key);
  if (found == libraries.sizes.end()) return false;
  size = found->second;
  auto conflict = libraries.conflicts.find(key);
  if (conflict != libraries.conflicts.end())
    warnings.push_back(conflict->second);
  return true;
}

}  // namespace korvane
