#include "kicad/sexpr.h"

#include <cmath>

#include "text/scan.h"

namespace korvane {

namespace {

constexpr uint32_t kNoList = UINT32_MAX;

// A list not closed yet: its "(" and the indentation of its line.
struct OpenList {
  uint32_t token = 0;
  uint32_t indent = 0;
};

// Where the cutting stands in the text.
struct Cursor {
  std::string_view text;
  size_t pos = 0;
  uint32_t line = 1;
  uint32_t indent = 0;         // blanks before the line's first token
  bool line_empty = true;      // no token yet on this line
  std::vector<OpenList> open;  // innermost last
  uint32_t suspect = kNoList;  // the first list that holds a list starting a
                               // later line no deeper than its own
};

bool is_blank(char c) {
  return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f' ||
         c == '\v';
}

bool ends_atom(char c) {
  return is_blank(c) || c == '(' || c == ')' || c == '"';
}

// A few characters of a token for a message, cut at 40.
std::string quoted_words(std::string_view text) {
  std::string words = "'";
  words += text.substr(0, 40);
  return words + "'";
}

// Moves past a string whose opening quote is at the cursor; returns false
// when the text ends before its closing quote.
bool skip_string(Cursor& c) {
  for (++c.pos; c.pos < c.text.size(); ++c.pos) {
    char ch = c.text[c.pos];
    if (ch == '"') {
      ++c.pos;
      return true;
    }
    if (ch == '\\' && c.pos + 1 < c.text.size()) ++c.pos;
    if (c.text[c.pos] == '\n') ++c.line;
  }
  return false;
}

void add_token(Sexpr& sexpr, TokenKind kind, std::string_view text,
               uint32_t line) {
  Token token;
  token.kind = kind;
  token.text = text;
  token.line = line;
  sexpr.tokens.push_back(token);
}

// Moves past the atom at the cursor.
void skip_atom(Cursor& c) {
  while (c.pos < c.text.size() && !ends_atom(c.text[c.pos])) ++c.pos;
}

// Adds the string or atom at the cursor and moves past it.
int add_word(Cursor& c, Sexpr& sexpr, Problem& problem) {
  size_t start = c.pos;
  uint32_t line = c.line;
  if (c.text[start] != '"') {
    skip_atom(c);
    add_token(sexpr, TokenKind::kAtom, c.text.substr(start, c.pos - start),
              line);
    return 0;
  }
  if (!skip_string(c)) {
    problem = problem_at(line,
                         "a string opened by the '\"' on this line never "
                         "closes: a '\"' is missing at its end");
    return -1;
  }
  add_token(sexpr, TokenKind::kString,
            c.text.substr(start + 1, c.pos - start - 2), line);
  return 0;
}

// Moves past a blank, counting lines and indentation.
void skip_blank(Cursor& c) {
  if (c.text[c.pos] == '\n') {
    ++c.line;
    c.indent = 0;
    c.line_empty = true;
  } else if (c.line_empty) {
    ++c.indent;
  }
  ++c.pos;
}

// Adds the "(" at the cursor. KiCad indents a list starting a line deeper
// than the list around it: where it does not, that list likely lacks its
// ")".
void open_list(Cursor& c, Sexpr& sexpr) {
  if (c.line_empty && !c.open.empty() && c.suspect == kNoList) {
    const OpenList& outer = c.open.back();
    if (sexpr.tokens[outer.token].line != c.line && c.indent <= outer.indent)
      c.suspect = outer.token;
  }
  c.open.push_back({static_cast<uint32_t>(sexpr.tokens.size()), c.indent});
  add_token(sexpr, TokenKind::kOpen, {}, c.line);
  ++c.pos;
}

// Adds the ")" at the cursor and pairs it with the innermost open list.
// An empty list, which says nothing, is dropped with its "(": a text of
// empty lists takes no room.
int close_list(Cursor& c, Sexpr& sexpr, Problem& problem) {
  std::vector<OpenList>& open = c.open;
  if (open.empty()) {
    problem = problem_at(c.line,
                         "a ')' on this line closes no list: remove it, or "
                         "look for a '(' missing before it");
    return -1;
  }
  auto at = static_cast<uint32_t>(sexpr.tokens.size());
  if (open.back().token + 1 == at) {
    sexpr.tokens.pop_back();
    if (c.suspect != kNoList && c.suspect + 1 >= at) c.suspect = kNoList;
  } else {
    sexpr.tokens[open.back().token].close = at;
    add_token(sexpr, TokenKind::kClose, {}, c.line);
  }
  open.pop_back();
  ++c.pos;
  return 0;
}

// How many tokens read_sexpr makes of `text`, or a few more (a list that
// holds only empty lists counts), so that they are made in room taken
// once: a text of a million lists then takes no more than they need.
size_t count_tokens(std::string_view text) {
  Cursor c;
  c.text = text;
  size_t count = 0;
  bool after_open = false;  // the last token counted is a "("
  while (c.pos < text.size()) {
    char ch = text[c.pos];
    if (is_blank(ch)) {
      ++c.pos;
      continue;
    }
    if (ch == ')' && after_open)
      --count;
    else
      ++count;
    after_open = ch == '(';
    if (ch == '(' || ch == ')')
      ++c.pos;
    else if (ch != '"')
      skip_atom(c);
    else if (!skip_string(c))
      break;
  }
  return count;
}

// The problem of lists still open at the end of the text: the suspect
// list, else the innermost.
Problem unclosed_list(const Sexpr& sexpr, const Cursor& c) {
  uint32_t open = c.suspect != kNoList ? c.suspect : c.open.back().token;
  std::string head = "(";
  if (open + 1 < sexpr.tokens.size() &&
      sexpr.tokens[open + 1].kind == TokenKind::kAtom)
    head += sexpr.tokens[open + 1].text;
  return problem_at(sexpr.tokens[open].line,
                    "the list " + quoted_words(head) +
                        " opened on this line lacks its ')'; add it");
}

// KiCad's own coordinates stop at about 2147 mm; past this bound, sums
// of coordinates could overflow.
constexpr double kLargestNumber = 100000;

}  // namespace

bool is_word(const Token& token) {
  return token.kind == TokenKind::kAtom || token.kind == TokenKind::kString;
}

std::string list_words(const Sexpr& sexpr, size_t open) {
  std::string words = "(";
  words += list_head(sexpr, open);
  return words + " ...)";
}

int read_sexpr(std::string_view text, Sexpr& sexpr, Problem& problem) {
  sexpr.tokens.clear();
  if (text.size() >= UINT32_MAX) {
    problem = problem_at(0, "is 4 GiB or more; no KiCad file is this large");
    return -1;
  }
  sexpr.tokens.reserve(count_tokens(text));
  Cursor c;
  c.text = text;
  while (c.pos < text.size()) {
    char ch = text[c.pos];
    if (is_blank(ch)) {
      skip_blank(c);
      continue;
    }
    if (ch == '(') {
      open_list(c, sexpr);
    } else if (ch == ')') {
      if (close_list(c, sexpr, problem) != 0) return -1;
    } else if (add_word(c, sexpr, problem) != 0) {
      return -1;
    }
    c.line_empty = false;
  }
  if (c.open.empty()) return 0;
  problem = unclosed_list(sexpr, c);
  return -1;
}

size_t next_item(const Sexpr& sexpr, size_t i) {
  const Token& token = sexpr.tokens[i];
  return token.kind == TokenKind::kOpen ? token.close + 1 : i + 1;
}

std::string_view list_head(const Sexpr& sexpr, size_t open) {
  const Token& first = sexpr.tokens[open + 1];
  return first.kind == TokenKind::kAtom ? first.text : std::string_view();
}

size_t find_child(const Sexpr& sexpr, size_t open, std::string_view head) {
  for (size_t i = open + 1; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i)) {
    if (sexpr.tokens[i].kind == TokenKind::kOpen && list_head(sexpr, i) == head)
      return i;
  }
  return 0;
}

bool token_number(const Token& token, double& value) {
  return token.kind == TokenKind::kAtom && token.text.size() < 64 &&
         read_decimal(token.text, value);
}

std::string token_text(const Token& token) {
  if (token.kind != TokenKind::kString) return std::string(token.text);
  std::string text;
  text.reserve(token.text.size());
  for (size_t i = 0; i < token.text.size(); ++i) {
    char ch = token.text[i];
    if (ch == '\\' && i + 1 < token.text.size()) {
      ch = token.text[++i];
      if (ch == 'n') ch = '\n';
      if (ch == 't') ch = '\t';
      if (ch == 'r') ch = '\r';
    }
    text += ch;
  }
  return text;
}

int read_numbers(const Sexpr& sexpr, size_t open, double* values, int count,
                 int extra, Problem& problem) {
  size_t i = open + (sexpr.tokens[open + 1].kind == TokenKind::kAtom ? 2 : 1);
  for (int k = 0; k < count + extra; ++k, ++i) {
    const Token& token = sexpr.tokens[i];
    if (!is_word(token) && k >= count) return 0;
    if (!is_word(token)) {
      problem =
          problem_at(token.line, list_words(sexpr, open) + " needs " +
                                     std::to_string(count) +
                                     " numbers and has " + std::to_string(k));
      return -1;
    }
    std::string where =
        quoted_words(token.text) + " in " + list_words(sexpr, open);
    if (!token_number(token, values[k])) {
      problem = problem_at(token.line, where +
                                           " is not a number as KiCad "
                                           "writes them: 12.7");
      return -1;
    }
    if (std::fabs(values[k]) > kLargestNumber) {
      problem = problem_at(token.line, where +
                                           " lies beyond 100 m; no "
                                           "KiCad board is this large");
      return -1;
    }
  }
  return 0;
}

}  // namespace korvane
