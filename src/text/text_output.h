// Writing text the way korvane's home platform writes it in text mode,
// whatever the platform: every LF goes out as CR LF, every other byte as it
// is. The drawing and standard output are both written this way.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace korvane {

constexpr size_t kTextOutputBuffer = 32 * 1024;

// An open output file and the bytes not yet handed to it, or a text in
// memory.
struct TextOutput {
  FILE* file = nullptr;
  std::string* text = nullptr;  // when set, the bytes go here at once, not
                                // through the buffer to a file
  char buffer[kTextOutputBuffer];
  size_t len = 0;
  bool failed = false;  // some write did not reach the file
};

// Appends to `text`, which stays the caller's, instead of writing a file.
void start_text_in_memory(TextOutput& out, std::string& text);

// Standard output and standard error, set up for binary writes on first
// use: they end lines with CR LF too.
TextOutput& standard_output();
TextOutput& standard_error();

// Hands buffered bytes to the file. Returns -1 when any write so far failed.
int flush_text_output(TextOutput& out);

void put_bytes(TextOutput& out, const char* bytes, size_t n);
void put_text(TextOutput& out, const char* text);
// The text followed by a line end.
void put_line(TextOutput& out, const char* text);
void put_integer(TextOutput& out, int value);
// The value in fixed-point notation with `decimals` digits after the point,
// correctly rounded (ties to even), "." as the point, whatever the locale.
// Infinities and NaN, which korvane never computes, are written as 0.
void put_fixed(TextOutput& out, double value, int decimals);

// Room for the longest text format_fixed writes, terminator included.
constexpr size_t kFixedTextCapacity = 400;

// Most decimals written; more are taken as this many, fewer than 0 as 0.
constexpr int kMaxDecimals = 60;

// The bytes `text` becomes written through a TextOutput: every LF as CR LF.
std::string with_crlf(std::string_view text);

// Writes the text put_fixed writes into `text` (kFixedTextCapacity bytes)
// and terminates it; returns its length.
size_t format_fixed(char* text, double value, int decimals);

// `value` as format_fixed writes it with `decimals` digits, without the
// trailing zeros and point, and without the minus of a zero: "2", "1.25".
std::string short_number(double value, int decimals);

// The shortest text that reads back as `value`, as std::to_chars writes
// it, but "0" for -0.
std::string shortest_text(double value);

}  // namespace korvane
