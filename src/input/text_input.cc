#include "input/text_input.h"

#include <sys/stat.h>

#include <cstring>

namespace {

constexpr unsigned char kCtrlZ = 26;

// Drops every CR from buffer[from, len) in place and returns the new length.
size_t drop_cr(unsigned char* buffer, size_t from, size_t len) {
  unsigned char* cr =
      static_cast<unsigned char*>(memchr(buffer + from, '\r', len - from));
  if (!cr) return len;
  unsigned char* out = cr;
  for (unsigned char* p = cr + 1; p < buffer + len; ++p)
    if (*p != '\r') *out++ = *p;
  return static_cast<size_t>(out - buffer);
}

// Refills an exhausted buffer. Returns false at the end of the input.
bool refill(TextInput& in) {
  in.pos = in.len = 0;
  while (!in.ended && in.len == 0) {
    size_t n = fread(in.buffer, 1, sizeof in.buffer, in.file);
    if (n < sizeof in.buffer) {
      in.ended = true;
      if (ferror(in.file)) in.failed = true;
    }
    void* stop = memchr(in.buffer, kCtrlZ, n);
    if (stop) {
      n = static_cast<size_t>(static_cast<unsigned char*>(stop) - in.buffer);
      in.ended = true;
    }
    in.len = drop_cr(in.buffer, 0, n);
  }
  return in.len > 0;
}

}  // namespace

int open_text_input(TextInput& in, const char* path) {
  in.pos = in.len = 0;
  in.ended = in.failed = false;
  in.file = fopen(path, "rb");
  if (!in.file) return -1;
  struct stat st;
  if (fstat(fileno(in.file), &st) == 0 && S_ISDIR(st.st_mode)) {
    close_text_input(in);
    return -1;
  }
  // Reads go through our own buffer; a second one in stdio only costs.
  setvbuf(in.file, nullptr, _IONBF, 0);
  return 0;
}

void close_text_input(TextInput& in) {
  if (in.file) fclose(in.file);
  in.file = nullptr;
}

bool read_line(TextInput& in, char* line, size_t size) {
  size_t kept = 0;
  for (;;) {
    if (in.pos == in.len && !refill(in)) break;
    const unsigned char* start = in.buffer + in.pos;
    size_t avail = in.len - in.pos;
    const void* lf = memchr(start, '\n', avail);
    size_t n = lf ? static_cast<size_t>(static_cast<const unsigned char*>(lf) -
                                        start)
                  : avail;
    size_t take = n < size - 1 - kept ? n : size - 1 - kept;
    memcpy(line + kept, start, take);
    kept += take;
    in.pos += lf ? n + 1 : n;
    if (lf) {
      line[kept] = '\0';
      return false;
    }
  }
  line[kept] = '\0';
  return true;
}

size_t read_chunk(TextInput& in, const char** bytes) {
  if (in.pos == in.len && !refill(in)) return 0;
  *bytes = reinterpret_cast<const char*>(in.buffer + in.pos);
  size_t n = in.len - in.pos;
  in.pos = in.len;
  return n;
}
