#include "korvane-import/fields.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane {

namespace {

// The fields of the first record, joined by "|", or "error at N".
std::string cut(const std::string& text, Separator separator,
                size_t rest_from = 0) {
  size_t pos = 0;
  int line = 1;
  Record record;
  Problem problem;
  if (split_record(text, pos, line, separator, record, problem, rest_from) != 0)
    return "error at " + std::to_string(problem.line);
  std::string joined;
  for (size_t i = 0; i < record.fields.size(); ++i)
    joined += (i ? "|" : "") + record.fields[i];
  return joined;
}

struct SplitCase {
  const char* text;
  Separator separator;
  const char* fields;
};

}  // namespace

TEST(SplitRecord, CutsFieldsAsExportsWriteThem) {
  const Separator comma = Separator::kComma, tab = Separator::kTab;
  const SplitCase cases[] = {
      {"a,b,,c", comma, "a|b||c"},
      {" a , b ", comma, "a|b"},
      {"\"Molex 105450-0101\",\"1,5\"", comma, "Molex 105450-0101|1,5"},
      {"\"say \"\"hi\"\"\",x", comma, "say \"hi\"|x"},
      {"\"U6\"\t,\"SOIC-8\"\t,\"12.7mm\"", comma, "U6|SOIC-8|12.7mm"},
      {"\"two\nlines\",x\nnext", comma, "two\nlines|x"},
      {"a;b,c;\"d;e\"", Separator::kSemicolon, "a|b,c|d;e"},
      {"a\t b \t\tc", tab, "a|b||c"},
      {"\"a\" \tb", tab, "a|b"},
      {"  C1   100nF  \"10 k\"\t-85.09 ", Separator::kBlanks,
       "C1|100nF|10 k|-85.09"},
      {"", comma, ""},
      {"   ", Separator::kBlanks, ""},
      {"\"open,x\nstill open", comma, "error at 1"},
      {"a,\"b\"c,d", comma, "error at 1"},
      {"\"a\"\"b", Separator::kBlanks, "error at 1"},
  };
  for (const SplitCase& c : cases)
    EXPECT_EQ(c.fields, cut(c.text, c.separator)) << c.text;
}

TEST(SplitRecord, LastColumnTakesTheRestOfTheLine) {
  const struct {
    const char* text;
    size_t rest_from;
    const char* fields;
  } cases[] = {
      {"U1  0402  T  90.00  Solder  Bridge 0402 ", 5,
       "U1|0402|T|90.00|Solder  Bridge 0402"},
      {"U1 0402 \"Solder\" Bridge\nnext", 3, "U1|0402|Solder Bridge"},
      {"U1 0402   \nnext", 3, "U1|0402"},
      {"U1 0402 \"open", 3, "error at 1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.fields, cut(c.text, Separator::kBlanks, c.rest_from)) << c.text;
}

TEST(SplitRecord, MovesPastTheRecordAndCountsItsLines) {
  std::string text = "\"a\nb\",c\nd,e";
  size_t pos = 0;
  int line = 1;
  Record record;
  Problem problem;
  ASSERT_EQ(0,
            split_record(text, pos, line, Separator::kComma, record, problem));
  EXPECT_EQ(1, record.line);
  EXPECT_EQ(3, line);
  ASSERT_EQ(0,
            split_record(text, pos, line, Separator::kComma, record, problem));
  EXPECT_EQ(3, record.line);
  EXPECT_EQ("e", record.fields.at(1));
  EXPECT_EQ(text.size(), pos);
}

}  // namespace korvane
