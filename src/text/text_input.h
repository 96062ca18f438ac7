// Reading text files the way korvane's home platform reads them in text
// mode, whatever the platform: every CR byte is dropped, the first Ctrl-Z
// byte ends the input, and every other byte (255 and 0 included) is data.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace korvane {

constexpr size_t kTextInputBuffer = 64 * 1024;

// How reading a file went. A read that failed part way is no short file,
// and no caller may take it for one.
enum class ReadStatus {
  kRead,        // read to its end
  kNotOpened,   // missing, a directory, no permission
  kReadFailed,  // reading failed part way
  kTooLarge,    // longer than the reader takes
};

// An open input file and the bytes read ahead of the reader. The buffer
// holds the file's bytes as they stand, CRs included; the readers drop
// them as they take the bytes out. A Ctrl-Z is cut off on reading.
struct TextInput {
  FILE* file = nullptr;
  unsigned char buffer[kTextInputBuffer];
  size_t pos = 0;       // next byte to deliver
  size_t len = 0;       // bytes in buffer, up to any Ctrl-Z
  bool ended = false;   // end of file, Ctrl-Z or a read error was met
  bool failed = false;  // a read error was met
};

// Opens a file for reading in binary mode: kRead, or kNotOpened when it
// cannot be opened or names a directory.
ReadStatus open_text_input(TextInput& in, const char* path);

// kReadFailed when a read error was met on `in`, else kRead.
ReadStatus input_status(const TextInput& in);

// Closes the file; safe on an input that never opened.
void close_text_input(TextInput& in);

// Reads one line up to an LF into `line` (without the LF) and terminates
// it. Keeps at most size - 1 bytes and drops the rest of a longer line,
// setting `*cut` then (CRs aside) when `cut` is given. Returns true when
// the end of the input was met during this call; a call that stops at an
// LF never does. After the end every call yields an empty line and returns
// true again. A read error reads as the end.
bool read_line(TextInput& in, char* line, size_t size, bool* cut = nullptr);

// Delivers the next run of bytes as they stand in the buffer, up to
// `*bytes`; they stay valid until the next call. Returns 0 at the end.
size_t read_chunk(TextInput& in, const char** bytes);

// Shows the bytes buffered ahead of the reader without taking them, as
// they stand in the file: CRs not yet dropped, anything from a Ctrl-Z on
// already cut. Refills an empty buffer first; returns 0 at the end.
size_t peek_raw(TextInput& in, const char** bytes);

// Takes the first n bytes that peek_raw showed, as if they had been read.
void skip_raw(TextInput& in, size_t n);

// Reads the whole file at `path` into `bytes` as it stands, without the
// text rules: CRs and Ctrl-Z bytes are kept. Returns kNotOpened (also for
// a directory), kReadFailed, or kTooLarge when it holds more than `limit`
// bytes; `bytes` is then empty.
ReadStatus read_file_bytes(const char* path, std::string& bytes, size_t limit);

}  // namespace korvane
