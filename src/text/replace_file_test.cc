#include "text/replace_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_util.h"

namespace {

namespace fs = std::filesystem;

// The names in the folder of `path`.
int files_beside(const std::string& path) {
  auto folder = fs::path(path).parent_path();
  return static_cast<int>(std::distance(fs::directory_iterator(folder),
                                        fs::directory_iterator()));
}

// Replaces `path` with `bytes`, then finishes or abandons the replacement.
int replace(const std::string& path, const std::string& bytes, bool finish) {
  FileReplacement r;
  if (begin_replacement(r, path.c_str()) != 0) return -1;
  fputs(bytes.c_str(), r.file);
  if (finish) return finish_replacement(r);
  abandon_replacement(r);
  return 0;
}

}  // namespace

TEST(ReplaceFile, PutsTheNewFileInPlaceOnlyWhenFinished) {
  std::string path = scratch_path("plate.dxf");
  write_file(path, "old");
  int files = files_beside(path);
  FileReplacement r;
  ASSERT_EQ(0, begin_replacement(r, path.c_str()));
  fputs("new", r.file);
  fflush(r.file);
  EXPECT_EQ("old", read_file(path));
  EXPECT_EQ(0, finish_replacement(r));
  EXPECT_EQ("new", read_file(path));
  EXPECT_EQ(0, replace(path, "lost", false));
  EXPECT_EQ("new", read_file(path));
  EXPECT_EQ(files, files_beside(path));
}

TEST(ReplaceFile, CreatesNothingWhereTheFolderIsMissing) {
  std::string path = scratch_path("none") + "/plate.dxf";
  EXPECT_EQ(-1, replace(path, "new", true));
}

#ifndef _WIN32
TEST(ReplaceFile, ReplacesWhatALinkLeadsToWithItsPermissionBits) {
  std::string target = scratch_path("real.dxf");
  std::string link = scratch_path("link.dxf");
  write_file(target, "old");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write |
                              fs::perms::group_read);
  fs::create_symlink(target, link);
  EXPECT_EQ(0, replace(link, "new", true));
  EXPECT_EQ(true, fs::is_symlink(link));
  EXPECT_EQ("new", read_file(target));
  EXPECT_EQ(fs::perms(0640),
            fs::status(target).permissions() & fs::perms::mask);
}

TEST(ReplaceFile, WritesADeviceInPlace) {
  FileReplacement r;
  ASSERT_EQ(0, begin_replacement(r, "/dev/null"));
  EXPECT_EQ("", r.temporary);
  EXPECT_EQ(0, finish_replacement(r));
}
#endif
