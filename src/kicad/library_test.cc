#include "kicad/library.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "test_util.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace korvane {

namespace {

const std::string kFolder =
    std::string(KORVANE_SOURCE_DIR) + "/tests/data/footprints";

// A lookup as "Alpha.pretty F.Fab 1 x 0.5", "missing", or the problem's
// file name, line and message.
std::string lookup(FootprintLibraries& libraries, const char* name) {
  std::optional<LibraryFootprint> found;
  Problem problem;
  if (find_library_footprint(libraries, name, found, problem) != 0)
    return std::filesystem::path(problem.file).filename().string() + " " +
           line_and_message(problem);
  if (!found) return "missing";
  const BodyBox& box = found->footprint.body;
  char size[64];
  snprintf(size, sizeof size, " %g x %g", extent_length(box.extent),
           extent_width(box.extent));
  return found->library + " " + box.layer + size;
}

}  // namespace

// import_e2e's footprint library case finds TestPad_2mm in Beta.pretty's
// courtyard and names the line of Damaged.kicad_mod that is cut short.
TEST(KicadLibrary, FindsNamesInFolderOrderWhateverTheirCase) {
  FootprintLibraries libraries;
  Problem problem;
  ASSERT_EQ(0, add_library_folder(libraries, kFolder, problem));
  EXPECT_EQ(-1, add_library_folder(libraries, kFolder + "/None", problem));
  EXPECT_EQ("Alpha.pretty F.Fab 1 x 0.5", lookup(libraries, "chip_1005METRIC"));
  EXPECT_EQ("missing", lookup(libraries, "Chip_1005"));

  FootprintLibraries beta_first;
  ASSERT_EQ(0,
            add_library_folder(beta_first, kFolder + "/Beta.pretty/", problem));
  ASSERT_EQ(0, add_library_folder(beta_first, kFolder, problem));
  EXPECT_EQ("Beta.pretty F.Fab 1.2 x 0.6",
            lookup(beta_first, "Chip_1005Metric"));
}

#ifndef _WIN32
TEST(KicadLibrary, PassesOverWhatIsNoFileAndNamesFoldersThatHoldNone) {
  namespace fs = std::filesystem;
  fs::path root = scratch_path("libraries");
  for (const char* folder : {"A.pretty", "Empty.pretty", "plain"})
    fs::create_directories(root / folder);
  ASSERT_EQ(0, mkfifo((root / "A.pretty/R.kicad_mod").c_str(), 0600));
  FootprintLibraries libraries;
  Problem problem;
  for (const char* folder : {"A.pretty", "Empty.pretty", "plain"})
    ASSERT_EQ(0,
              add_library_folder(libraries, (root / folder).string(), problem));
  EXPECT_EQ("missing", lookup(libraries, "R"));
  std::string warnings;
  for (const Problem& w : libraries.warnings)
    warnings += fs::path(w.file).filename().string() + ": " + w.message + "\n";
  EXPECT_EQ(
      "R.kicad_mod: passed over: it is a pipe, not a footprint file\n"
      "A.pretty: holds no .kicad_mod footprint file, so --library finds no "
      "footprint in it\n"
      "Empty.pretty: holds no .kicad_mod footprint file, so --library finds "
      "no footprint in it\n"
      "plain: is no .pretty folder and holds none, so --library finds no "
      "footprint in it; name a .pretty folder of footprints, or a folder of "
      "them\n",
      warnings);
}
#endif

}  // namespace korvane
