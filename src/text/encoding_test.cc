#include "text/encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane {

using namespace std::string_literals;

TEST(Utf16, IsToldByItsMarkOrItsNulBytes) {
  EXPECT_EQ(Utf16::kLittleEndian, utf16_mark("\xff\xfex\0"s));
  EXPECT_EQ(Utf16::kBigEndian, utf16_mark("\xfe\xff\0x"s));
  EXPECT_EQ(Utf16::kNone, utf16_mark("x\0y\0"s));
  for (std::string utf16 : {"\xfe\xff"s, "x\0y\0"s, "\0x\0y"s})
    EXPECT_TRUE(starts_as_utf16(utf16));
  for (std::string other :
       {std::string(kByteOrderMark) + "x\0"s, "x\0\0y"s, "x\0"s})
    EXPECT_FALSE(starts_as_utf16(other));
}

// "\032" is Ctrl-Z.
TEST(CtrlZStop, CountsTheLinesWithTextItHides) {
  auto stop = [](std::string_view bytes) {
    CtrlZStop s = ctrl_z_stop(bytes);
    return std::to_string(s.line) + " " + std::to_string(s.hidden);
  };
  EXPECT_EQ("0 0", stop("a\nb\n"));
  EXPECT_EQ("2 0", stop("a\n\032 \r\n\t\032\n"));
  EXPECT_EQ("2 2", stop("a\nb\032c\n\nd"));
}

}  // namespace korvane
