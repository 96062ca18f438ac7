#include "kicad/sexpr.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The tokens as text: "(" and ")" with the index of their partner, atoms
// as written and strings in quotes, each after its line.
std::string tokens_of(std::string_view text) {
  Sexpr sexpr;
  Problem problem;
  if (read_sexpr(text, sexpr, problem) != 0)
    return std::to_string(problem.line) + ": " + problem.message;
  std::string all;
  for (const Token& t : sexpr.tokens) {
    all += std::to_string(t.line);
    all += t.kind == TokenKind::kOpen ? ":(" + std::to_string(t.close) : ":";
    if (t.kind == TokenKind::kClose) all += ")";
    if (t.kind == TokenKind::kString) all += '"';
    all += t.text;
    if (t.kind == TokenKind::kString) all += '"';
    all += " ";
  }
  return all;
}

}  // namespace

TEST(KicadSexpr, CutsListsAtomsAndStrings) {
  const char* const cases[][2] = {
      {"(at 1 -2.5)", "1:(4 1:at 1:1 1:-2.5 1:) "},
      {"(a(b\"x y\"))", "1:(6 1:a 1:(5 1:b 1:\"x y\" 1:) 1:) "},
      {"(s \"a\\\"b\\\\\")", "1:(3 1:s 1:\"a\\\"b\\\\\" 1:) "},
      {"\r\n(x\n\t\"two\nlines\"\n)", "2:(3 2:x 3:\"two\nlines\" 5:) "},
      {"", ""},
      {"(a\n (b)\n (c",
       "3: the list '(c' opened on this line lacks its ')'; "
       "add it"},
      {"(a\n (b\n (c)\n)",
       "2: the list '(b' opened on this line lacks its "
       "')'; add it"},
      {"(a)\n)",
       "2: a ')' on this line closes no list: remove it, or look "
       "for a '(' missing before it"},
      {"(a\n\"open\\\")",
       "2: a string opened by the '\"' on this line "
       "never closes: a '\"' is missing at its end"},
  };
  for (const auto& c : cases) EXPECT_EQ(c[1], tokens_of(c[0])) << c[0];
}

TEST(KicadSexpr, ReadsAMillionNestedListsWithoutRecursion) {
  std::string deep(1000000, '(');
  EXPECT_EQ("1: the list '(' opened on this line lacks its ')'; add it",
            tokens_of(deep));
  Sexpr sexpr;
  Problem problem;
  deep += std::string(deep.size(), ')');
  ASSERT_EQ(0, read_sexpr(deep, sexpr, problem));
  EXPECT_EQ(sexpr.tokens.size(), next_item(sexpr, 0));
}

TEST(KicadSexpr, ReadsNumbersAndStrings) {
  Sexpr sexpr;
  Problem problem;
  ASSERT_EQ(0, read_sexpr("(n 12.7 -0.5 1e3 +.5 abc 1.2.3 inf \"12\" 0x1 "
                          "\"a\\\"b\\\\c\\nd\")",
                          sexpr, problem));
  const char* const numbers[] = {"12.7", "-0.5", "1000", "0.5", "-",
                                 "-",    "-",    "-",    "-"};
  for (size_t i = 0; i < std::size(numbers); ++i) {
    double value = 0;
    bool read = token_number(sexpr.tokens[i + 2], value);
    char text[32] = "-";
    if (read) snprintf(text, sizeof text, "%g", value);
    EXPECT_EQ(numbers[i], std::string(text)) << i;
  }
  EXPECT_EQ("a\"b\\c\nd", token_text(sexpr.tokens[11]));
}
