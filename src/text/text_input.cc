#include "text/text_input.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include "text/encoding.h"

namespace korvane {

namespace {

// Copies bytes[0, n) to out[0, room) leaving out every CR; returns how
// many bytes it stored. Bytes past the room are dropped, and then `cut` is
// set when one of them was not a CR.
size_t copy_without_cr(const unsigned char* bytes, size_t n, char* out,
                       size_t room, bool& cut) {
  size_t kept = 0;
  const unsigned char* end = bytes + n;
  while (bytes < end && kept < room) {
    const void* cr = memchr(bytes, '\r', static_cast<size_t>(end - bytes));
    const unsigned char* stop =
        cr ? static_cast<const unsigned char*>(cr) : end;
    size_t run = static_cast<size_t>(stop - bytes);
    if (run > room - kept) {
      run = room - kept;
      cut = true;
    }
    memcpy(out + kept, bytes, run);
    kept += run;
    bytes = cr ? stop + 1 : end;
  }
  for (; bytes < end; ++bytes)
    if (*bytes != '\r') {
      cut = true;
      break;
    }
  return kept;
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
    in.len = text_before_ctrl_z(
        std::string_view(reinterpret_cast<char*>(in.buffer), n));
    if (in.len < n) in.ended = true;
  }
  return in.len > 0;
}

// The buffered bytes ahead of the reader up to the first byte c, or all of
// them; sets *found when c was met.
size_t run_until(const TextInput& in, unsigned char c, bool* found) {
  const unsigned char* start = in.buffer + in.pos;
  size_t avail = in.len - in.pos;
  const void* at = memchr(start, c, avail);
  *found = at != nullptr;
  return at ? static_cast<size_t>(static_cast<const unsigned char*>(at) - start)
            : avail;
}

}  // namespace

ReadStatus open_text_input(TextInput& in, const char* path) {
  in.pos = in.len = 0;
  in.ended = in.failed = false;
  in.file = fopen(path, "rb");
  if (!in.file) return ReadStatus::kNotOpened;
  // Reads go through our own buffer; a second one in stdio only costs.
  setvbuf(in.file, nullptr, _IONBF, 0);
  // A folder opens where the system allows it, and fails at the first read.
  errno = 0;
  int first = getc(in.file);
  if (first != EOF) ungetc(first, in.file);
  if (first != EOF || errno != EISDIR) return ReadStatus::kRead;
  close_text_input(in);
  return ReadStatus::kNotOpened;
}

ReadStatus input_status(const TextInput& in) {
  return in.failed ? ReadStatus::kReadFailed : ReadStatus::kRead;
}

void close_text_input(TextInput& in) {
  if (in.file) fclose(in.file);
  in.file = nullptr;
}

bool read_line(TextInput& in, char* line, size_t size, bool* cut) {
  size_t kept = 0;
  bool dropped = false;
  if (cut) *cut = false;
  for (;;) {
    if (in.pos == in.len && !refill(in)) break;
    bool lf;
    size_t n = run_until(in, '\n', &lf);
    kept += copy_without_cr(in.buffer + in.pos, n, line + kept, size - 1 - kept,
                            cut ? *cut : dropped);
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
  for (;;) {
    if (in.pos == in.len && !refill(in)) return 0;
    const unsigned char* start = in.buffer + in.pos;
    bool cr;
    size_t n = run_until(in, '\r', &cr);
    in.pos += cr ? n + 1 : n;
    if (n > 0) {
      *bytes = reinterpret_cast<const char*>(start);
      return n;
    }
  }
}

size_t peek_raw(TextInput& in, const char** bytes) {
  if (in.pos == in.len && !refill(in)) return 0;
  *bytes = reinterpret_cast<const char*>(in.buffer + in.pos);
  return in.len - in.pos;
}

void skip_raw(TextInput& in, size_t n) { in.pos += n; }

ReadStatus read_file_bytes(const char* path, std::string& bytes, size_t limit) {
  bytes.clear();
  FILE* file = fopen(path, "rb");
  if (!file) return ReadStatus::kNotOpened;
  // Room for the whole file at once, so that it is not copied as it grows.
  bool seekable = fseek(file, 0, SEEK_END) == 0;
  long size = seekable ? ftell(file) : -1;
  if (size > 0 && static_cast<unsigned long>(size) <= limit)
    bytes.reserve(static_cast<size_t>(size));
  if (seekable) rewind(file);
  char block[16 * 1024];
  ReadStatus status = ReadStatus::kRead;
  for (size_t n = sizeof block;
       n == sizeof block && status == ReadStatus::kRead;) {
    n = fread(block, 1, sizeof block, file);
    if (bytes.size() + n > limit) status = ReadStatus::kTooLarge;
    if (status == ReadStatus::kRead) bytes.append(block, n);
  }
  // A folder opens where the system allows it, and fails at the first read.
  if (status == ReadStatus::kRead && ferror(file))
    status = errno == EISDIR ? ReadStatus::kNotOpened : ReadStatus::kReadFailed;
  fclose(file);
  if (status != ReadStatus::kRead) bytes.clear();
  return status;
}

}  // namespace korvane
