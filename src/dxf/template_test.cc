#include "dxf/template.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace korvane {

namespace {

// What copy_template writes for a fragment holding `bytes`.
std::string copied(const std::string& bytes) {
  std::string path = write_file(scratch_path("dxf11.txt"), bytes);
  return captured([&](TextOutput& out) {
    EXPECT_EQ(ReadStatus::kRead, copy_template(out, path.c_str()));
  });
}

}  // namespace

TEST(CopyTemplate, CopiesEveryByteWithCrLfUpToCtrlZ) {
  // Every line ends in CR LF, whatever it ended in.
  EXPECT_EQ("  0\r\nSECTION\r\n", copied("  0\nSECTION\n"));
  EXPECT_EQ("  0\r\nSECTION\r\n", copied("  0\r\nSECTION\r\n"));
  EXPECT_EQ("  0SECTION", copied("  0\rSECTION\r"));
  EXPECT_EQ("  0\r\nEOF", copied("  0\nEOF"));
  EXPECT_EQ("", copied(""));
  // Every other byte is copied, up to Ctrl-Z.
  EXPECT_EQ(std::string("a\xff\0b\r\n", 6),
            copied(std::string("a\xff\0b\n", 5)));
  EXPECT_EQ("EOF\r\n", copied("EOF\n\x1a garbage\n"));
  std::string big(100000, 'x');
  big[70000] = '\n';
  std::string expected = big;
  expected.insert(expected.begin() + 70000, '\r');
  EXPECT_EQ(expected, copied(big));
}

TEST(CopyTemplate, SkipsAMissingFragment) {
  EXPECT_EQ("", captured([](TextOutput& out) {
              EXPECT_EQ(ReadStatus::kNotOpened,
                        copy_template(out, scratch_path("none").c_str()));
            }));
}

}  // namespace korvane
