// Writing text the way korvane's home platform writes it in text mode,
// whatever the platform: every LF goes out as CR LF, every other byte as it
// is. The drawing and standard output are both written this way.
#pragma once

#include <cstddef>
#include <cstdio>

constexpr size_t kTextOutputBuffer = 32 * 1024;

// An open output file and the bytes not yet handed to it.
struct TextOutput {
  FILE* file = nullptr;
  char buffer[kTextOutputBuffer];
  size_t len = 0;
  bool failed = false;  // some write did not reach the file
};

// When true (the program as built), a run writes nothing to standard output
// but the usage lines and the version text. Built with it false, the
// readers and writers echo what they do there as well.
extern const bool silent_mode;

// Creates or replaces a file for writing in binary mode. Returns -1 when it
// cannot be opened.
int open_text_output(TextOutput& out, const char* path);

// Writes to `file`, which stays the caller's: flush_text_output hands it
// the bytes, and the caller closes it.
void start_text_output(TextOutput& out, FILE* file);

// Flushes and closes the file. Returns -1 when any write or the close
// failed, 0 otherwise.
int close_text_output(TextOutput& out);

// Standard output, set up for binary writes on first use.
TextOutput& standard_output();

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

// Writes the text put_fixed writes into `text` (kFixedTextCapacity bytes)
// and terminates it; returns its length.
size_t format_fixed(char* text, double value, int decimals);
