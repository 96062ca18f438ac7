#include "korvane-import/fields.h"

#include <algorithm>

namespace korvane {

namespace {

struct Cursor {
  std::string_view text;
  size_t pos;
  int line;
};

bool at_end(const Cursor& c) { return c.pos >= c.text.size(); }

char peek(const Cursor& c) { return at_end(c) ? '\n' : c.text[c.pos]; }

// Blanks that may stand around a field: spaces, and TABs unless a TAB
// separates the fields.
bool is_blank(char c, Separator separator) {
  return c == ' ' || (c == '\t' && separator != Separator::kTab);
}

bool is_separator(char c, Separator separator) {
  switch (separator) {
    case Separator::kComma:
      return c == ',';
    case Separator::kSemicolon:
      return c == ';';
    case Separator::kTab:
      return c == '\t';
    case Separator::kBlanks:
      return c == ' ' || c == '\t';
  }
  return false;
}

void skip_blanks(Cursor& c, Separator separator) {
  while (!at_end(c) && is_blank(c.text[c.pos], separator)) ++c.pos;
}

// A quoted field from its opening quote up to its closing one.
int quoted_field(Cursor& c, std::string& field, int start_line,
                 Problem& problem) {
  for (++c.pos; !at_end(c); ++c.pos) {
    char ch = c.text[c.pos];
    if (ch == '"' && peek(Cursor{c.text, c.pos + 1, 0}) != '"') {
      ++c.pos;
      return 0;
    }
    if (ch == '"') ++c.pos;
    if (ch == '\n') ++c.line;
    field += ch;
  }
  problem = problem_at(start_line,
                       "a quote opened on this line never closes; close "
                       "it or export the file again");
  return -1;
}

// Appends the text from `start` up to the cursor, trailing blanks dropped.
void append_to_here(const Cursor& c, size_t start, std::string& field) {
  size_t end = c.pos;
  while (end > start && (c.text[end - 1] == ' ' || c.text[end - 1] == '\t'))
    --end;
  field.append(c.text, start, end - start);
}

// An unquoted field up to the next separator or line end, trailing blanks
// dropped.
void plain_field(Cursor& c, Separator separator, std::string& field) {
  size_t start = c.pos;
  while (!at_end(c) && c.text[c.pos] != '\n' &&
         !is_separator(c.text[c.pos], separator))
    ++c.pos;
  append_to_here(c, start, field);
}

// A field that takes the rest of the line: a quoted start, then the text
// up to the line end, trailing blanks dropped.
int rest_field(Cursor& c, int start_line, std::string& field,
               Problem& problem) {
  skip_blanks(c, Separator::kBlanks);
  if (peek(c) == '"' && quoted_field(c, field, start_line, problem) != 0)
    return -1;
  size_t start = c.pos;
  while (!at_end(c) && c.text[c.pos] != '\n') ++c.pos;
  append_to_here(c, start, field);
  return 0;
}

// One field; leaves the cursor on the separator or line end after it.
int next_field(Cursor& c, Separator separator, int start_line,
               std::string& field, Problem& problem) {
  skip_blanks(c, separator);
  if (peek(c) != '"') {
    plain_field(c, separator, field);
    return 0;
  }
  if (quoted_field(c, field, start_line, problem) != 0) return -1;
  if (separator != Separator::kBlanks) skip_blanks(c, separator);
  char next = peek(c);
  if (next == '\n' || is_separator(next, separator)) return 0;
  problem =
      problem_at(c.line, "text follows a closing quote; quote the whole field");
  return -1;
}

}  // namespace

int split_record(std::string_view text, size_t& pos, int& line,
                 Separator separator, Record& record, Problem& problem,
                 size_t rest_from) {
  Cursor c{text, pos, line};
  record.line = line;
  // The fields of the last row are emptied and filled again: a long field
  // keeps its room.
  size_t count = 0;
  if (separator == Separator::kBlanks) skip_blanks(c, separator);
  while (!(separator == Separator::kBlanks && peek(c) == '\n')) {
    if (count == record.fields.size()) record.fields.emplace_back();
    std::string& field = record.fields[count++];
    field.clear();
    if ((count == rest_from
             ? rest_field(c, line, field, problem)
             : next_field(c, separator, line, field, problem)) != 0)
      return -1;
    if (peek(c) == '\n') break;
    ++c.pos;
    if (separator == Separator::kBlanks) skip_blanks(c, separator);
  }
  record.fields.resize(count);
  if (!at_end(c)) {
    ++c.pos;
    ++c.line;
  }
  pos = c.pos;
  line = c.line;
  return 0;
}

bool blank_record(const Record& record) {
  for (const std::string& field : record.fields)
    if (!field.empty()) return false;
  return true;
}

bool skip_comment_line(std::string_view text, size_t& pos, int& line) {
  size_t start = text.find_first_not_of(" \t", pos);
  if (start == std::string_view::npos || text[start] != '#') return false;
  pos = std::min(text.find('\n', start), text.size() - 1) + 1;
  ++line;
  return true;
}

}  // namespace korvane
