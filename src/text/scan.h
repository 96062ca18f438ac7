// Cutting lines into tab-separated fields, comparing texts and turning
// fields into numbers. None of these routines reports an error: an absent
// field is empty and a field without a number converts to 0.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

// Copies field n of `line` into `out` (size bytes, terminator included),
// dropping what does not fit. Fields are separated by TAB and count from 1;
// n of 1 or less selects field 1; a field past the last TAB is empty.
void get_field(const char* line, int n, char* out, size_t size);

// The length of field n of `line` as it stands, before any cut to a buffer.
size_t field_length(const char* line, int n);

// Field n of `line` whole, as get_field would give it with room enough.
std::string field_text(const char* line, int n);

// True when both texts have the same length and agree byte for byte once
// the letters a to z are taken as A to Z. No other byte is folded.
bool text_equal(const char* a, const char* b);

// The text with a to z taken as A to Z, as text_equal compares it.
std::string folded(std::string_view text);

// The text with A to Z taken as a to z.
std::string lowered(std::string_view text);

// The text without the bytes of `blanks` at either end.
std::string_view trimmed(std::string_view text, std::string_view blanks = " ");

// Leading white space, an optional sign, then decimal digits; stops at the
// first other byte. No digits give 0; values past an int saturate.
int to_integer(const char* text);

// How many bytes of `text` to_integer reads (white space, sign, digits);
// 0 when it finds no digit and so gives 0.
size_t integer_length(const char* text);

// Leading white space, then the longest prefix that reads as a decimal
// number: sign, digits with an optional "." and fraction, optional exponent.
// No number gives 0. Correctly rounded; a value too large for a double
// gives the largest double of its sign, one too small a zero of its sign.
double to_real(const char* text);

// How many bytes of `text` to_real reads (white space and the number); 0
// when it finds no number and so gives 0.
size_t real_length(const char* text);

// The strict readers, for every number korvane-import and korvane-check
// read from a command line, an export, a board or a name: the whole text
// must be the number.

// Reads `text` whole as a decimal number of the grammar to_real reads
// (sign, digits with an optional "." and fraction, optional exponent),
// with nothing before or after it, to the value to_real gives (a number
// beyond a double's range held at its end). False, leaving `value`, for
// any other text.
bool read_decimal(std::string_view text, double& value);

// The length of the decimal number that `text` starts with, as
// read_decimal takes it (no blanks before it); 0 when it starts with none.
size_t decimal_length(std::string_view text);

// Reads `text` whole as a whole number: an optional "+", then decimal
// digits. False, leaving `value`, for any other text and for a number
// past `most`.
bool read_whole_number(std::string_view text, long most, long& value);

}  // namespace korvane
