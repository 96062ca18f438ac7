#include "os/replace_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_util.h"

namespace korvane {

namespace fs = std::filesystem;

namespace {

long files_in(const fs::path& folder) {
  return std::distance(fs::directory_iterator(folder), {});
}

}  // namespace

TEST(ReplaceFiles, PutsEveryFileInPlaceOrNone) {
  std::string a = scratch_path("a.txt"), b = scratch_path("b.txt");
  write_file(a, "old a");
  auto folder = fs::path(a).parent_path();
  long before = files_in(folder);
  Problem problem;
  ASSERT_EQ(0, replace_files({{a, "new a"}, {b, "new b"}}, InPlace::kNever,
                             problem));
  EXPECT_EQ("new a", read_file(a));
  EXPECT_EQ("new b", read_file(b));
  EXPECT_EQ(before + 1, files_in(folder));
  std::string nowhere = (folder / "nowhere" / "c.txt").string();
  EXPECT_EQ(-1, replace_files({{a, "lost"}, {nowhere, "lost"}},
                               InPlace::kNever, problem));
  EXPECT_EQ(nowhere, problem.file);
  EXPECT_EQ("new a", read_file(a));
  EXPECT_EQ(before + 1, files_in(folder));
}

#ifndef _WIN32
TEST(ReplaceFiles, KeepsThePermissionBitsOfTheFileALinkLeadsTo) {
  std::string target = scratch_path("real.dxf");
  std::string link = scratch_path("link.dxf");
  write_file(target, "old");
  fs::permissions(target, fs::perms(0640));
  fs::create_symlink(target, link);
  Problem problem;
  ASSERT_EQ(0, replace_file_with(link, "", InPlace::kNever, problem));
  EXPECT_EQ(true, fs::is_symlink(link));
  EXPECT_EQ("", read_file(target));
  EXPECT_EQ(fs::perms(0640),
            fs::status(target).permissions() & fs::perms::mask);
}

// A missing folder, a name too long and /dev/full are korvane-check's
// end-to-end cases.
TEST(ReplaceFiles, ForeseesWhatCannotBeWritten) {
  std::string folder = fs::path(scratch_path("x")).parent_path().string();
  struct {
    std::string path, why;
  } cases[] = {
      {folder + "/plate.dxf", ""},
      {folder, "it is a folder"},
      {"/dev/null", ""},
  };
  for (const auto& c : cases) {
    Problem problem;
    EXPECT_EQ(c.why.empty() ? 0 : -1, foresee_replacement(c.path, problem));
    EXPECT_EQ(c.why, problem.message) << c.path;
  }
}
#endif

}  // namespace korvane
