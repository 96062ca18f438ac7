#include "text/scan.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace korvane {

namespace {

std::string field(const char* line, int n, size_t size = 64) {
  char out[64];
  get_field(line, n, out, size);
  return out;
}

}  // namespace

TEST(GetField, CountsTabsFromOneAndKeepsWhatFits) {
  // Fields count from 1; a number below picks the first.
  const char* line = "left\t\tright";
  EXPECT_EQ("left", field(line, 1));
  EXPECT_EQ("", field(line, 2));
  EXPECT_EQ("right", field(line, 3));
  EXPECT_EQ("", field(line, 4));
  EXPECT_EQ("left", field(line, 0));
  EXPECT_EQ("left", field(line, -7));
  EXPECT_EQ("", field(line, INT_MAX));
  // Everything but TAB is text.
  EXPECT_EQ("a b ", field("a b ", 1));
  EXPECT_EQ("", field("a b ", 2));
  EXPECT_EQ("", field("\tx", 1));
  EXPECT_EQ("x", field("\tx", 2));
  EXPECT_EQ("", field("", 1));
  EXPECT_EQ("", field("", 3));
  // What fits the room is kept.
  EXPECT_EQ("abc", field("abcdef\tgh", 1, 4));
  EXPECT_EQ("gh", field("abcdef\tgh", 2, 4));
  EXPECT_EQ("", field("abcdef", 1, 1));
}

TEST(TextEqual, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(text_equal("code", "CODE"));
  EXPECT_TRUE(text_equal("EnD", "end"));
  EXPECT_TRUE(text_equal("", ""));
  EXPECT_FALSE(text_equal("end ", "end"));
  EXPECT_FALSE(text_equal("end", "end "));
  EXPECT_FALSE(text_equal("ab1", "AB2"));
  EXPECT_FALSE(text_equal("\xe9", "\xc9"));
  EXPECT_FALSE(text_equal("[", "{"));
  EXPECT_FALSE(text_equal("@", "`"));
}

TEST(ToInteger, ReadsLeadingDigitsAndSaturates) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"3", 3},   {"+3", 3}, {"3abc", 3}, {" \t\n\v\f\r3", 3},
               {"-2", -2}, {"", 0},   {"x", 0},    {"- 3", 0},
               {"+-3", 0}};
  for (const auto& c : cases) EXPECT_EQ(c.value, to_integer(c.text)) << c.text;
  EXPECT_EQ(INT_MAX, to_integer("2147483647"));
  EXPECT_EQ(INT_MAX, to_integer("2147483648"));
  EXPECT_EQ(-INT_MAX, to_integer("-2147483647"));
  EXPECT_EQ(INT_MIN, to_integer("-99999999999999999999999"));
  EXPECT_EQ(INT_MAX, to_integer(std::string(1000, '9').c_str()));
}

// No number reads as 0, and neither do other forms: hexadecimal,
// infinities, NaN.
TEST(ToReal, ReadsDecimalsAsFromCharsDoes) {
  // The decimal grammar, rounded correctly.
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"12.5", 12.5},    {"12.5mm", 12.5}, {".5", 0.5},       {"5.", 5.0},
      {" \t-3", -3.0},   {"+3", 3.0},      {"1.5e3", 1500.0}, {"1.5E+3x", 1500},
      {"1.5e-2", 0.015}, {"1.5e", 1.5},    {"1.5e+", 1.5},    {"1,5", 1.0},
      {"", 0},           {" ", 0},         {".", 0},          {"-", 0},
      {"+.", 0},         {"e5", 0},        {"-.e1", 0},       {"x1", 0},
      {"\t", 0},         {"0x1p3", 0},     {"inf", 0},        {"-infinity", 0},
      {"nan", 0},        {"NAN(1)", 0},    {"0.1", 0.1}};
  for (const auto& c : cases) EXPECT_EQ(c.value, to_real(c.text)) << c.text;
  EXPECT_EQ(0.30000000000000004, to_real("0.30000000000000004"));
  EXPECT_EQ(9007199254740992.0, to_real("9007199254740993"));
  EXPECT_EQ(DBL_MIN, to_real("2.2250738585072014e-308"));
  EXPECT_EQ(5e-324, to_real("4.9406564584124654e-324"));
  // Up to 15 digits are read by one exact division, more by from_chars.
  for (const char* text :
       {"0.1", "123456789.012345", ".5", "5.", "000000000000007",
        "0.00000000000001", "1234567890123.45", "1234567890123456",
        "0.1234567890123456"}) {
    double want = 0;
    std::from_chars(text, text + strlen(text), want);
    EXPECT_EQ(want, to_real(text)) << text;
  }
  // Values out of range are held finite.
  EXPECT_EQ(DBL_MAX, to_real("1e999"));
  EXPECT_EQ(-DBL_MAX, to_real("-1e400"));
  EXPECT_EQ(DBL_MAX, to_real("0.0001e99999999999999999999"));
  EXPECT_EQ(DBL_MAX, to_real(std::string(400, '0').insert(0, 1, '1').c_str()));
  EXPECT_EQ(0.0, to_real("1e-999"));
  EXPECT_TRUE(std::signbit(to_real("-1e-999")));
  EXPECT_EQ(0.0, to_real("123e-99999999999999999999"));
  EXPECT_EQ(1.0, to_real(std::string(1000, '0').insert(0, "1.").c_str()));
}

TEST(FieldLength, MeasuresTheWholeField) {
  EXPECT_EQ(5u, field_length("left\t\tright", 3));
  EXPECT_EQ(0u, field_length("left\t\tright", 2));
  EXPECT_EQ(4u, field_length("left\t\tright", 0));
  EXPECT_EQ(0u, field_length("left", 9));
}

TEST(NumberLength, CountsWhatTheConversionReads) {
  struct Case {
    const char* text;
    size_t real, integer;
  } cases[] = {{"12,5", 2, 2}, {" 12.5mm", 5, 3}, {"-.5e3x", 5, 0},
               {"5.e", 2, 1},  {"x1", 0, 0},      {"", 0, 0},
               {"+", 0, 0},    {"1e+", 1, 1},     {"\t7", 2, 2}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.real, real_length(c.text)) << c.text;
    EXPECT_EQ(c.integer, integer_length(c.text)) << c.text;
  }
}

}  // namespace korvane
