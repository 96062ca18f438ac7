#include "check/size_index.h"

#include <bitset>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_set>

#include "input/part_size.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace {

char fold(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

// A hash of the loose key of bytes [begin, end).
uint64_t loose_hash(const char* begin, const char* end) {
  while (begin < end && *begin == ' ') ++begin;
  while (end > begin && end[-1] == ' ') --end;
  uint64_t h = 14695981039346656037ull;
  for (; begin < end; ++begin)
    h = (h ^ static_cast<unsigned char>(fold(*begin))) * 1099511628211ull;
  return h;
}

// The wanted keys, and a bit for each of their hashes' top 16 bits for
// the pass over the buffer.
struct Wanted {
  std::unordered_set<std::string> keys;
  std::bitset<65536> hashes;
};

size_t hash_bit(uint64_t hash) { return static_cast<size_t>(hash >> 48); }

// The state of the one pass over the table.
struct Reading {
  SizeIndex index;
  long line = 1;  // lines read so far, the heading included
};

// Takes one line read the ordinary way.
void take_line(Reading& r, const char* text, const Wanted& wanted) {
  ++r.line;
  SizeIndex& index = r.index;
  if (text[0] == '\0') {
    if (!index.empty_line) index.empty_line = r.line;
    return;
  }
  if (index.empty_line) ++index.hidden_rows;
  char field[kSizeLineCapacity + 1];
  get_field(text, 2, field, sizeof field);
  if (!wanted.keys.count(loose_key(field))) return;
  SizeRow row;
  row.line = r.line;
  row.code = field;
  row.hidden = index.empty_line != 0;
  get_field(text, 3, field, sizeof field);
  row.length = field;
  row.size.length = to_real(field);
  get_field(text, 4, field, sizeof field);
  row.width = field;
  row.size.width = to_real(field);
  index.rows.push_back(row);
}

// True when the row [p, lf) needs reading the ordinary way: it may be
// empty, hold a CR or NUL before the end of field 2, have field 2 past the
// line limit, or have a wanted field 2.
bool needs_reading(const char* p, const char* lf, const Wanted& wanted) {
  const char* end = lf > p && lf[-1] == '\r' ? lf - 1 : lf;
  if (end == p) return true;
  const char* field = p;
  const char* q = p;
  for (int tabs = 0; q < end; ++q) {
    if (*q == '\r' || *q == '\0') return true;
    if (*q == '\t' && ++tabs == 1) field = q + 1;
    else if (*q == '\t') break;
  }
  if (field == p) field = q;  // no TAB: field 2 is empty
  if (q - p >= kSizeLineCapacity) return true;
  return wanted.hashes.test(hash_bit(loose_hash(field, q)));
}

// Passes over the buffered whole rows that need no reading, counting them.
void pass_rows(TextInput& in, Reading& r, const Wanted& wanted) {
  const char* bytes;
  size_t n = peek_raw(in, &bytes);
  const char* p = bytes;
  const char* end = bytes + n;
  for (;;) {
    const char* lf = static_cast<const char*>(memchr(p, '\n', end - p));
    if (!lf || needs_reading(p, lf, wanted)) break;
    ++r.line;
    if (r.index.empty_line) ++r.index.hidden_rows;
    p = lf + 1;
  }
  skip_raw(in, static_cast<size_t>(p - bytes));
}

}  // namespace

std::string loose_key(const std::string& code) {
  size_t b = code.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  size_t e = code.find_last_not_of(' ');
  std::string key = code.substr(b, e - b + 1);
  for (char& c : key) c = fold(c);
  return key;
}

SizeIndex index_sizes(const char* path,
                      const std::vector<std::string>& wanted_keys) {
  Wanted wanted;
  for (const std::string& key : wanted_keys) {
    wanted.keys.insert(key);
    wanted.hashes.set(hash_bit(loose_hash(key.data(), key.data() + key.size())));
  }
  Reading r;
  auto in = std::make_unique<TextInput>();
  if (open_text_input(*in, path) != 0) return r.index;
  r.index.found = true;
  char text[kSizeLineCapacity + 1];
  if (!read_line(*in, text, sizeof text)) {
    for (bool last = false; !last;) {
      pass_rows(*in, r, wanted);
      last = read_line(*in, text, sizeof text);
      if (!(last && text[0] == '\0')) take_line(r, text, wanted);
    }
  }
  r.index.failed = in->failed;
  close_text_input(*in);
  return r.index;
}

const SizeRow* korvane_row(const SizeIndex& index, const std::string& code,
                           bool& by_cut) {
  by_cut = false;
  for (const SizeRow& row : index.rows)
    if (!row.hidden && text_equal(row.code.c_str(), code.c_str()))
      return &row;
  if (code.size() <= static_cast<size_t>(kCodeCapacity)) return nullptr;
  std::string cut = code.substr(0, kCodeCapacity);
  by_cut = true;
  for (const SizeRow& row : index.rows)
    if (!row.hidden && text_equal(row.code.c_str(), cut.c_str())) return &row;
  by_cut = false;
  return nullptr;
}
