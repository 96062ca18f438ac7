#include "kicad/sexpr.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_util.h"

namespace korvane {

namespace {

// The tokens as text, each after its line: "(" with the index of its ")",
// numbers as "#" and their value, other atoms as written, strings quoted
// with their escapes undone.
std::string tokens_of(std::string_view text) {
  Sexpr sexpr;
  Problem problem;
  if (read_sexpr(text, sexpr, problem) != 0) return line_and_message(problem);
  std::string all;
  for (const Token& t : sexpr.tokens) {
    char word[40] = ")";
    double value = 0;
    if (t.kind == TokenKind::kOpen) snprintf(word, sizeof word, "(%u", t.close);
    if (token_number(t, value)) snprintf(word, sizeof word, "#%g", value);
    std::string shown = word;
    if (t.kind == TokenKind::kAtom && word[0] != '#') shown = t.text;
    if (t.kind == TokenKind::kString) shown = '"' + token_text(t) + '"';
    all += std::to_string(t.line) + ":" + shown + " ";
  }
  return all;
}

}  // namespace

TEST(KicadSexpr, CutsListsAtomsAndStrings) {
  const char* const cases[][2] = {
      {"(at 1 -2.5)", "1:(4 1:at 1:#1 1:#-2.5 1:) "},
      {"(a(b\"x y\"))", "1:(6 1:a 1:(5 1:b 1:\"x y\" 1:) 1:) "},
      {"(n 1e3 +.5 abc 1.2.3 inf 0x1 \"12\")",
       "1:(9 1:n 1:#1000 1:#0.5 1:abc 1:1.2.3 1:inf 1:0x1 1:\"12\" 1:) "},
      {"(s \"a\\\"b\\\\c\\nd\")", "1:(3 1:s 1:\"a\"b\\c\nd\" 1:) "},
      {"\r\n(x\n\t\"two\nlines\"\n)", "2:(3 2:x 3:\"two\nlines\" 5:) "},
      {"(a\n (b)\n (c",
       "3: the list '(c' opened on this line lacks its ')'; add it"},
      {"(a\n (b\n (c)\n)",
       "2: the list '(b' opened on this line lacks its ')'; add it"},
      {"(a)\n)",
       "2: a ')' on this line closes no list: remove it, or look "
       "for a '(' missing before it"},
      {"(a\n\"open\\\")",
       "2: a string opened by the '\"' on this line never "
       "closes: a '\"' is missing at its end"},
  };
  for (const auto& c : cases) EXPECT_EQ(c[1], tokens_of(c[0])) << c[0];
}

TEST(KicadSexpr, ReadsAMillionNestedListsWithoutRecursion) {
  std::string deep(1000000, '(');
  EXPECT_EQ("1: the list '(' opened on this line lacks its ')'; add it",
            tokens_of(deep));
  Sexpr sexpr;
  Problem problem;
  deep += "a";
  deep += std::string(deep.size() - 1, ')');
  ASSERT_EQ(0, read_sexpr(deep, sexpr, problem));
  EXPECT_EQ(sexpr.tokens.size(), next_item(sexpr, 0));
}

TEST(KicadSexpr, EmptyListsTakeNoRoom) {
  EXPECT_EQ("1:(5 1:a 2:(4 2:b 2:) 3:) ", tokens_of("(a () (())\n(b ())\n())"));
  EXPECT_EQ("", tokens_of("(() (\n))"));
  Sexpr sexpr;
  Problem problem;
  std::string empty = "(kicad_pcb" + std::string(1000000, ' ');
  for (size_t i = 11; i < empty.size(); i += 4) empty.replace(i, 2, "()");
  ASSERT_EQ(0, read_sexpr(empty + ")", sexpr, problem));
  EXPECT_EQ(3u, sexpr.tokens.capacity());
}

}  // namespace korvane
