#include "check/size_index.h"

#include <bit>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_set>

#include "input/part_size.h"
#include "text/scan.h"
#include "text/text_input.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define KORVANE_CHECK_SSE2 1
#endif

namespace {

char fold(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

// A hash of the loose key of bytes [begin, end) from its length and its
// first and last eight bytes, each taken with bit 0x20 set: that folds
// letters as text_equal does (and some other bytes too: the hash only has
// to agree on equal keys).
inline uint64_t loose_hash(const char* begin, const char* end) {
  while (begin < end && *begin == ' ') ++begin;
  while (end > begin && end[-1] == ' ') --end;
  size_t n = static_cast<size_t>(end - begin);
  uint64_t first = 0, last = 0;
  if (n >= 8) {
    memcpy(&first, begin, 8);
    memcpy(&last, end - 8, 8);
  } else {
    for (size_t k = 0; k < n; ++k)
      first |= static_cast<uint64_t>(static_cast<unsigned char>(begin[k]))
               << (8 * k);
  }
  uint64_t h = (first | 0x2020202020202020ull) * 0x9e3779b97f4a7c15ull ^
               (last | 0x2020202020202020ull) * 0xff51afd7ed558ccdull ^
               n * 0xc4ceb9fe1a85ec53ull;
  return h ^ (h >> 29);
}

// The wanted keys, and a bit for each of their hashes' top 16 bits for
// the pass over the buffer.
struct Wanted {
  std::unordered_set<std::string> keys;
  std::bitset<65536> hashes;
};

size_t hash_bit(uint64_t hash) { return static_cast<size_t>(hash >> 48); }

// The bytes of a 64-byte window that the pass stops at, one bit each:
// LF and TAB, and what it leaves to the ordinary reading, NUL and a CR
// that is not followed by LF.
struct Window {
  uint64_t lf = 0, tab = 0, odd = 0;
};

// The window of the n (at most 64) bytes at p; `after` is the byte after
// them, which a CR at the last place needs.
Window window_bytes(const char* p, size_t n, char after) {
  Window w;
  for (size_t i = 0; i < n; ++i) {
    uint64_t bit = uint64_t{1} << i;
    char next = i + 1 < n ? p[i + 1] : after;
    if (p[i] == '\n') w.lf |= bit;
    if (p[i] == '\t') w.tab |= bit;
    if (p[i] == '\0' || (p[i] == '\r' && next != '\n')) w.odd |= bit;
  }
  return w;
}

#ifdef KORVANE_CHECK_SSE2
uint64_t byte_mask(const __m128i* v, char c) {
  const __m128i b = _mm_set1_epi8(c);
  uint64_t m = 0;
  for (int k = 0; k < 4; ++k)
    m |= static_cast<uint64_t>(
             static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v[k], b))))
         << (16 * k);
  return m;
}

// window_bytes for a whole window, sixteen bytes at a time.
Window window_vector(const char* p, char after) {
  __m128i v[4];
  for (int k = 0; k < 4; ++k)
    v[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
  Window w;
  w.lf = byte_mask(v, '\n');
  w.tab = byte_mask(v, '\t');
  uint64_t cr = byte_mask(v, '\r');
  uint64_t lf_next = w.lf >> 1 | static_cast<uint64_t>(after == '\n') << 63;
  w.odd = byte_mask(v, '\0') | (cr & ~lf_next);
  return w;
}
#endif

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

// Where the pass stands: the current row's start and its first two TABs.
struct Row {
  const char* start;
  const char* tab1 = nullptr;
  const char* tab2 = nullptr;
};

// True when the row ending at `lf` needs reading the ordinary way: it may
// be empty, have field 2 past the line limit, or have a wanted field 2.
bool needs_reading(const Row& row, const char* lf, const Wanted& wanted) {
  const char* end = lf > row.start && lf[-1] == '\r' ? lf - 1 : lf;
  if (end == row.start) return true;
  const char* field = row.tab1 ? row.tab1 + 1 : end;
  const char* field_end = row.tab2 ? row.tab2 : end;
  if (field_end - row.start >= kSizeLineCapacity) return true;
  return wanted.hashes.test(hash_bit(loose_hash(field, field_end)));
}

// The bits below bit k.
uint64_t below(int k) {
  return k >= 64 ? ~uint64_t{0} : (uint64_t{1} << k) - 1;
}

// Notes the first two TABs of the row among `tabs`, bits of the window at
// `base`.
void note_tabs(Row& row, const char* base, uint64_t tabs) {
  if (row.tab2 || !tabs) return;
  if (!row.tab1) {
    row.tab1 = base + std::countr_zero(tabs);
    tabs &= tabs - 1;
  }
  if (tabs) row.tab2 = base + std::countr_zero(tabs);
}

// Walks the rows of [begin, end), which ends after an LF, window by
// window. Returns the start of the first row that needs reading the
// ordinary way, or `end`; counts the rows passed over.
const char* pass_over(const char* begin, const char* end, Reading& r,
                      const Wanted& wanted) {
  Row row{begin};
  long rows = 0;
  bool stopped = false;
  for (const char* base = begin; base < end && !stopped; base += 64) {
    int n = end - base < 64 ? static_cast<int>(end - base) : 64;
    char after = base + n < end ? base[n] : '\0';
#ifdef KORVANE_CHECK_SSE2
    Window w = n == 64 ? window_vector(base, after)
                       : window_bytes(base, static_cast<size_t>(n), after);
#else
    Window w = window_bytes(base, static_cast<size_t>(n), after);
#endif
    int odd = w.odd ? std::countr_zero(w.odd) : 64;
    int from = 0;  // where the current row starts in this window
    stopped = w.odd != 0;
    for (uint64_t lfs = w.lf & below(odd); lfs; lfs &= lfs - 1) {
      int i = std::countr_zero(lfs);
      note_tabs(row, base, w.tab & below(i) & ~below(from));
      if (needs_reading(row, base + i, wanted)) {
        stopped = true;
        break;
      }
      ++rows;
      row = Row{base + i + 1};
      from = i + 1;
    }
    note_tabs(row, base, w.tab & below(n) & ~below(from));
  }
  r.line += rows;
  if (r.index.empty_line) r.index.hidden_rows += rows;
  return stopped ? row.start : end;
}

// Passes over the buffered whole rows that need no reading.
void pass_rows(TextInput& in, Reading& r, const Wanted& wanted) {
  const char* bytes;
  size_t n = peek_raw(in, &bytes);
  const char* end = bytes + n;
  while (end > bytes && end[-1] != '\n') --end;  // whole rows only
  skip_raw(in, static_cast<size_t>(pass_over(bytes, end, r, wanted) - bytes));
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
    wanted.hashes.set(
        hash_bit(loose_hash(key.data(), key.data() + key.size())));
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
  const SizeRow* cut = nullptr;
  for (const SizeRow& row : index.rows) {
    if (row.hidden) continue;
    CodeMatch match = match_code(row.code.c_str(), code.c_str());
    if (match == CodeMatch::kWhole) {
      by_cut = false;
      return &row;
    }
    if (match == CodeMatch::kCut && !cut) cut = &row;
  }
  by_cut = cut != nullptr;
  return cut;
}
