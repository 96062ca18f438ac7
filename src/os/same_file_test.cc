#include "os/same_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_util.h"

namespace korvane {

namespace {

namespace fs = std::filesystem;

bool same(const std::string& a, const std::string& b) {
  return same_file(a.c_str(), b.c_str());
}

}  // namespace

TEST(SameFile, KnowsOneFileByEveryNameAndNoOther) {
  // One file is known by every name it has.
  std::string path = write_file(scratch_path("plate.dxf"), "h\n");
  fs::path file(path);
  EXPECT_EQ(true, same(path, path));
  EXPECT_EQ(true,
            same(path, (file.parent_path() / "." / file.filename()).string()));
  EXPECT_EQ(true, same(path, (file.parent_path() / ".." /
                              file.parent_path().filename() / file.filename())
                                 .string()));
  std::string link = scratch_path("link.dxf");
  fs::create_hard_link(path, link);
  EXPECT_EQ(true, same(path, link));
#ifdef _WIN32
  // Windows file names ignore letter case.
  std::string capitals = (file.parent_path() / "PLATE.DXF").string();
  fs::path plain = file.parent_path() / "plate.dxf";
  fs::rename(file, plain);
  EXPECT_EQ(true, same(plain.string(), capitals));
#endif
  // Two files of the same bytes are two; a missing file is no file.
  std::string a = write_file(scratch_path("a.txt"), "same bytes");
  std::string b = write_file(scratch_path("b.txt"), "same bytes");
  EXPECT_EQ(false, same(a, b));
  std::string missing = scratch_path("missing.txt");
  EXPECT_EQ(false, same(a, missing));
  EXPECT_EQ(false, same(missing, a));
  EXPECT_EQ(false, same(missing, missing));
}

}  // namespace korvane
