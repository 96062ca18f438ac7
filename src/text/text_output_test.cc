#include "text/text_output.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "test_util.h"

namespace korvane {

TEST(TextOutput, WritesEveryLfAsCrLfAcrossBuffers) {
  // Every LF is written as CR LF,
  EXPECT_EQ("a\r\n\r\nb\r\r\n",
            captured([](TextOutput& out) { put_text(out, "a\n\nb\r\n"); }));
  EXPECT_EQ(std::string("\0\xff\r\n", 4),
            captured([](TextOutput& out) { put_bytes(out, "\0\xff\n", 3); }));
  // and no line end is split across buffers.
  std::string text;
  for (int i = 0; i < 30000; ++i) text += i % 7 ? "x" : "\n";
  std::string expected;
  for (char c : text) expected += c == '\n' ? "\r\n" : std::string(1, c);
  std::string all_lf(kTextOutputBuffer * 2 + 1, '\n');
  EXPECT_EQ(expected,
            captured([&](TextOutput& out) { put_text(out, text.c_str()); }));
  std::string got =
      captured([&](TextOutput& out) { put_text(out, all_lf.c_str()); });
  EXPECT_EQ(all_lf.size() * 2, got.size());
  EXPECT_EQ(std::string::npos, got.find("\n\n"));
}

TEST(TextOutput, FormatsNumbersWithoutTheLocale) {
  EXPECT_EQ("-7,0.000000,2.500000,0.0312", captured([](TextOutput& out) {
              put_integer(out, -7);
              put_text(out, ",");
              put_fixed(out, 0, 6);
              put_text(out, ",");
              put_fixed(out, 2.5, 6);
              put_text(out, ",");
              put_fixed(out, 0.03125, 4);
            }));
}

TEST(TextOutput, KeepsTheLargestNumberWithTheMostDecimalsInItsBuffer) {
  char text[kFixedTextCapacity];
  size_t n = format_fixed(text, -1.7976931348623157e308, 1000);
  EXPECT_EQ(1 + 309 + 1 + static_cast<size_t>(kMaxDecimals), n);
  EXPECT_EQ(n, strlen(text));
  EXPECT_EQ(std::string("0"), std::string(text, format_fixed(text, 0.4, -3)));
}

#ifndef _WIN32
TEST(TextOutput, ReportsAFailedWrite) {
  auto out = std::make_unique<TextOutput>();
  ASSERT_NE(nullptr, out->file = fopen("/dev/full", "wb"));
  put_text(*out, "lost\n");
  EXPECT_EQ(-1, flush_text_output(*out));
  fclose(out->file);
}
#endif

}  // namespace korvane
