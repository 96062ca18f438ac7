#include "text/replace_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_util.h"

namespace fs = std::filesystem;

TEST(ReplaceFile, PutsTheNewFileInPlaceOnlyWhenFinished) {
  std::string path = scratch_path("plate.dxf");
  write_file(path, "old");
  auto folder = fs::path(path).parent_path();
  auto files = std::distance(fs::directory_iterator(folder), {});
  FileReplacement r;
  ASSERT_EQ(0, begin_replacement(r, path.c_str()));
  fputs("lost", r.file);
  abandon_replacement(r);
  EXPECT_EQ("old", read_file(path));
  ASSERT_EQ(0, begin_replacement(r, path.c_str()));
  fputs("new", r.file);
  fflush(r.file);
  EXPECT_EQ("old", read_file(path));
  EXPECT_EQ(0, finish_replacement(r));
  EXPECT_EQ("new", read_file(path));
  EXPECT_EQ(files, std::distance(fs::directory_iterator(folder), {}));
}

#ifndef _WIN32
TEST(ReplaceFile, KeepsThePermissionBitsOfTheFileALinkLeadsTo) {
  std::string target = scratch_path("real.dxf");
  std::string link = scratch_path("link.dxf");
  write_file(target, "old");
  fs::permissions(target, fs::perms(0640));
  fs::create_symlink(target, link);
  FileReplacement r;
  ASSERT_EQ(0, begin_replacement(r, link.c_str()));
  EXPECT_EQ(0, finish_replacement(r));
  EXPECT_EQ(true, fs::is_symlink(link));
  EXPECT_EQ("", read_file(target));
  EXPECT_EQ(fs::perms(0640),
            fs::status(target).permissions() & fs::perms::mask);
}
#endif
