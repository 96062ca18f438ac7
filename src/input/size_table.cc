#include "input/size_table.h"

#include <bit>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_set>

#include "text/scan.h"
#include "text/text_input.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define KORVANE_SSE2 1
#endif

// How the table is read. The heading and every row that may matter are
// read the ordinary way, line by line. The others are passed over in the
// read buffer, 64 bytes at a time: the pass finds each row's line end and
// first two TABs, hashes field 2's loose key, and stops at a row whose
// hash is wanted, an empty row, a row whose field 2 reaches past the line
// limit, a NUL or a CR that does not end a line. Those rows, and only
// those, are left to the line-by-line reading, which alone decides what a
// row holds.

namespace {

// A hash of a loose key's bytes [begin, begin + n) from its length and
// its first and last eight bytes, each taken with bit 0x20 set: that folds
// letters as text_equal does (and some other bytes too: the hash only has
// to agree on equal keys).
inline uint64_t key_hash(const char* begin, size_t n) {
  uint64_t first = 0, last = 0;
  if (n >= 8) {
    memcpy(&first, begin, 8);
    memcpy(&last, begin + n - 8, 8);
  } else {
    for (size_t k = 0; k < n; ++k)
      first |= uint64_t{static_cast<unsigned char>(begin[k])} << (8 * k);
  }
  constexpr uint64_t kFold = 0x2020202020202020ull;
  return ((first | kFold) ^ ((last | kFold) >> 3) ^ n) * 0x9e3779b97f4a7c15ull;
}

size_t hash_bit(uint64_t hash) { return static_cast<size_t>(hash >> 48); }

// The wanted loose keys, and for the pass over the buffer a bit for each
// of their lengths and for each of their hashes' top 16 bits.
struct Wanted {
  std::unordered_set<std::string> keys;
  std::bitset<kSizeLineCapacity + 1> lengths;
  std::bitset<65536> hashes;
};

void want(Wanted& wanted, const std::string& code) {
  std::string key = loose_key(code);
  if (key.size() <= size_t{kSizeLineCapacity}) wanted.lengths.set(key.size());
  wanted.hashes.set(hash_bit(key_hash(key.data(), key.size())));
  wanted.keys.insert(std::move(key));
}

Wanted wanted_keys(const std::vector<std::string>& codes) {
  Wanted wanted;
  for (const std::string& code : codes) {
    want(wanted, code);
    if (code.size() > size_t{kCodeCutLength})
      want(wanted, code.substr(0, kCodeCutLength));
  }
  return wanted;
}

// The bytes of a 64-byte window that the pass stops at, one bit each:
// LF and TAB, and what it leaves to the ordinary reading: a NUL or a CR
// not followed by LF (a NUL just before an LF passes here; the row's own
// check catches it).
struct Window {
  uint64_t lf = 0, tab = 0, odd = 0;
};

// The window of the n (at most 64) bytes at p; `after` is the byte after
// them, which a CR or NUL at the last place needs.
Window window_bytes(const char* p, size_t n, char after) {
  Window w;
  for (size_t i = 0; i < n; ++i) {
    uint64_t bit = uint64_t{1} << i;
    char next = i + 1 < n ? p[i + 1] : after;
    if (p[i] == '\n') w.lf |= bit;
    if (p[i] == '\t') w.tab |= bit;
    if ((p[i] == '\0' || p[i] == '\r') && next != '\n') w.odd |= bit;
  }
  return w;
}

#ifdef KORVANE_SSE2
// window_bytes for a whole window, sixteen bytes at a time.
inline Window window_of(const char* p, size_t n, char after) {
  if (n < 64) return window_bytes(p, n, after);
  const __m128i lf = _mm_set1_epi8('\n'), tab = _mm_set1_epi8('\t'),
                cr = _mm_set1_epi8('\r'), nul = _mm_setzero_si128();
  Window w;
  uint64_t odd = 0;
  for (int k = 0; k < 4; ++k) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    auto bits = [k](__m128i eq) {
      return uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(eq))} << (16 * k);
    };
    w.lf |= bits(_mm_cmpeq_epi8(v, lf));
    w.tab |= bits(_mm_cmpeq_epi8(v, tab));
    odd |= bits(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, nul)));
  }
  w.odd = odd & ~(w.lf >> 1 | uint64_t{after == '\n'} << 63);
  return w;
}
#else
Window window_of(const char* p, size_t n, char after) {
  return window_bytes(p, n, after);
}
#endif

// The one pass over the table.
struct Reading {
  TextInput& in;
  const SizeReading& how;
  const Wanted& wanted;
  SizeTable& table;
  long line = 1;  // lines read so far, the heading included
};

// Takes field n of `text` into `out`.
void take_field(const char* text, int n, std::string& out) {
  char field[kSizeLineCapacity + 1];
  get_field(text, n, field, sizeof field);
  out = field;
}

// Keeps a row, converting its sizes as korvane does.
void keep_row(SizeTable& table, SizeRow row) {
  row.size.length = to_real(row.length.c_str());
  row.size.width = to_real(row.width.c_str());
  table.by_key[loose_key(row.code)].push_back(table.rows.size());
  table.rows.push_back(std::move(row));
}

// Takes one line read the ordinary way; false when the reading ends here.
bool take_line(Reading& r, const char* text) {
  SizeTable& table = r.table;
  ++r.line;
  if (text[0] == '\0' && !table.empty_line) {
    table.empty_line = r.line;
    table.failed = r.in.failed;
    return r.how.past_empty_line;
  }
  if (text[0] == '\0') return true;
  if (table.empty_line) ++table.hidden_rows;
  SizeRow row;
  row.line = r.line;
  row.hidden = table.empty_line != 0;
  take_field(text, 2, row.code);
  if (r.how.every_code && !row.hidden) table.codes.push_back(row.code);
  if (!r.wanted.keys.count(loose_key(row.code))) return true;
  take_field(text, 1, row.first);
  take_field(text, 3, row.length);
  take_field(text, 4, row.width);
  keep_row(table, std::move(row));
  return true;
}

// True when a row [start, end) whose first two TABs are tab1 and tab2
// (null when missing) needs reading the ordinary way: it may be empty,
// have field 2 past the line limit, or have a wanted field 2. A field 2
// with a space at either end is read: its loose key is shorter.
inline bool needs_reading(const char* start, const char* end, const char* tab1,
                          const char* tab2, const Wanted& wanted) {
  if (end <= start || end[-1] == '\0') return true;
  if (end[-1] == '\r' && --end == start) return true;
  const char* field = tab1 ? tab1 + 1 : end;
  const char* field_end = tab2 ? tab2 : end;
  if (field_end - start >= kSizeLineCapacity) return true;
  size_t n = static_cast<size_t>(field_end - field);
  if (n == 0 || *field == ' ' || field_end[-1] == ' ') return true;
  return wanted.lengths[n] && wanted.hashes[hash_bit(key_hash(field, n))];
}

// The bits below bit k.
inline uint64_t below(int k) {
  return k >= 64 ? ~uint64_t{0} : (uint64_t{1} << k) - 1;
}

// Walks the rows of [begin, end), which ends after an LF, window by
// window. Returns the start of the first row that needs reading the
// ordinary way, or `end`; counts the rows passed over.
const char* pass_over(const char* begin, const char* end, Reading& r) {
  const char* start = begin;   // of the current row
  const char* tab1 = nullptr;  // its first two TABs, once seen
  const char* tab2 = nullptr;
  long rows = 0;
  for (const char* base = begin; base < end; base += 64) {
    size_t n = end - base < 64 ? static_cast<size_t>(end - base) : 64;
    Window w = window_of(base, n, base + n < end ? base[n] : '\0');
    uint64_t lfs = w.odd ? w.lf & below(std::countr_zero(w.odd)) : w.lf;
    uint64_t tabs = w.tab;
    for (; lfs; lfs &= lfs - 1) {
      int i = std::countr_zero(lfs);
      uint64_t mine = tabs & below(i);
      if (!tab1 && mine) {
        tab1 = base + std::countr_zero(mine);
        mine &= mine - 1;
      }
      if (!tab2 && mine) tab2 = base + std::countr_zero(mine);
      if (needs_reading(start, base + i, tab1, tab2, r.wanted)) {
        lfs = 0;
        w.odd = 1;
        break;
      }
      ++rows;
      start = base + i + 1;
      tab1 = tab2 = nullptr;
      tabs &= ~below(i + 1);
    }
    if (w.odd) {
      r.line += rows;
      if (r.table.empty_line) r.table.hidden_rows += rows;
      return start;
    }
    if (!tab1 && tabs) {
      tab1 = base + std::countr_zero(tabs);
      tabs &= tabs - 1;
    }
    if (!tab2 && tabs) tab2 = base + std::countr_zero(tabs);
  }
  r.line += rows;
  if (r.table.empty_line) r.table.hidden_rows += rows;
  return end;
}

// Passes over the buffered whole rows that need no reading.
void pass_rows(Reading& r) {
  if (r.how.every_code && !r.table.empty_line) return;
  const char* bytes;
  size_t n = peek_raw(r.in, &bytes);
  const char* end = bytes + n;
  while (end > bytes && end[-1] != '\n') --end;  // whole rows only
  skip_raw(r.in, static_cast<size_t>(pass_over(bytes, end, r) - bytes));
}

}  // namespace

std::string loose_key(const std::string& code) { return folded(trimmed(code)); }

int read_size_table(const char* path, const std::vector<std::string>& codes,
                    const SizeReading& how, SizeTable& table) {
  table = SizeTable{};
  auto in = std::make_unique_for_overwrite<TextInput>();
  if (open_text_input(*in, path) != 0) return kNotOpened;
  table.found = true;
  Wanted wanted = wanted_keys(codes);
  Reading r{*in, how, wanted, table};
  char text[kSizeLineCapacity + 1];
  bool last = read_line(*in, text, sizeof text);
  table.heading = text;
  while (!last) {
    pass_rows(r);
    last = read_line(*in, text, sizeof text);
    if (last && text[0] == '\0') break;
    if (!take_line(r, text)) break;
  }
  if (!table.empty_line) table.failed = in->failed;
  close_text_input(*in);
  return table.failed ? kReadFailed : 0;
}

Unit size_table_unit(const SizeTable& table) {
  Unit unit = heading_unit(field_text(table.heading.c_str(), 3));
  return unit != Unit::kNone
             ? unit
             : heading_unit(field_text(table.heading.c_str(), 4));
}

CodeMatch match_code(const std::string& row_code, const std::string& code) {
  if (text_equal(row_code.c_str(), code.c_str())) return CodeMatch::kWhole;
  if (code.size() <= size_t{kCodeCutLength}) return CodeMatch::kNone;
  return text_equal(row_code.c_str(), code.substr(0, kCodeCutLength).c_str())
             ? CodeMatch::kCut
             : CodeMatch::kNone;
}

const SizeRow* find_size_row(const SizeTable& table, const std::string& code,
                             CodeMatch& match) {
  std::string keys[2] = {loose_key(code), ""};
  if (code.size() > size_t{kCodeCutLength})
    keys[1] = loose_key(code.substr(0, kCodeCutLength));
  for (CodeMatch wanted : {CodeMatch::kWhole, CodeMatch::kCut}) {
    auto rows = table.by_key.find(keys[wanted == CodeMatch::kCut]);
    if (rows == table.by_key.end()) continue;
    for (size_t i : rows->second) {
      const SizeRow& row = table.rows[i];
      if (row.hidden || match_code(row.code, code) != wanted) continue;
      match = wanted;
      return &row;
    }
  }
  match = CodeMatch::kNone;
  return nullptr;
}

bool lookup_part_size(const SizeTable& table, const std::string& code,
                      PartSize& size) {
  CodeMatch match;
  const SizeRow* row = find_size_row(table, code, match);
  if (row) size = row->size;
  return row != nullptr;
}
