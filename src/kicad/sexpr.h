// Reading KiCad's S-expressions: lists in parentheses, atoms (symbols and
// numbers) and double-quoted strings with backslash escapes, cut into one
// flat array of tokens in which every "(" knows where its list ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/problem.h"

namespace korvane {

enum class TokenKind : uint8_t { kOpen, kClose, kAtom, kString };

// One token of the text read.
struct Token {
  std::string_view text;  // an atom as written; a string between its quotes,
                          // escapes left in; empty for a parenthesis
  uint32_t line = 0;      // 1-based line it starts on
  uint32_t close = 0;     // for an open parenthesis, the index of its close
  TokenKind kind = TokenKind::kAtom;
};

// A whole text cut into tokens. The tokens point into that text, which
// must outlive them.
struct Sexpr {
  std::vector<Token> tokens;
};

// Cuts `text` into tokens and pairs every "(" with its ")", without
// recursion. Returns -1 with `problem` (line and what to do) for a ")"
// that closes no list, a string never closed, a text of 4 GiB or more, or
// a list never closed: the one whose line is no less indented than a list
// inside it, as KiCad never writes, else the innermost.
int read_sexpr(std::string_view text, Sexpr& sexpr, Problem& problem);

// The index of the item after the one at `i`, past the whole list when `i`
// opens one.
size_t next_item(const Sexpr& sexpr, size_t i);

// The first token of the list opening at `open` when it is an atom, as
// "footprint" in (footprint ...); empty otherwise.
std::string_view list_head(const Sexpr& sexpr, size_t open);

// The index of the first list directly inside the list at `open` whose
// head is `head`; 0 when there is none.
size_t find_child(const Sexpr& sexpr, size_t open, std::string_view head);

// Reads an atom as a decimal number: sign, digits, point, exponent, and
// nothing more. False (value unchanged) for a string, a parenthesis, any
// other atom or one longer than 63 characters.
bool token_number(const Token& token, double& value);

// Reads the `count` numbers after the head of the list at `open`, as 12.7
// and 3 in (at 12.7 3), and up to `extra` more where the list has them.
// Returns -1 with `problem` (the line, the list) when one is missing, is
// not a number or lies beyond ±100000 (100 m), which no KiCad number
// comes near.
int read_numbers(const Sexpr& sexpr, size_t open, double* values, int count,
                 int extra, Problem& problem);

// True for an atom or a string, which a list's words are.
bool is_word(const Token& token);

// The words of a list for a message: "(fp_line ...)".
std::string list_words(const Sexpr& sexpr, size_t open);

// A string's text with its escapes undone (\n, \t, \r, and any other
// character after a backslash as itself); an atom's text as it stands.
std::string token_text(const Token& token);

}  // namespace korvane
