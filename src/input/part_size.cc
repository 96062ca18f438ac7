#include "input/part_size.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

#include "text/scan.h"
#include "text/text_input.h"
#include "text/text_output.h"

#if defined(__SSE2__) || defined(_M_X64) || \
    (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define KORVANE_SCAN_SSE2 1
#endif

// How the scan passes over rows. It looks at the rows in the input's
// buffer as they stand in the file, CRs included, and flags a byte
// position i when
//   - an odd row may start after it: bytes i, i+1 are LF, LF or LF, CR;
//   - a CR that does not end a line follows: byte i+1 is CR, i+2 not LF;
//   - it is a NUL, which ends the text of its row;
//   - field 2 may start after it with the code: byte i is TAB, byte i+1
//     fits the code's first byte and byte i+L its last (L the length).
// A row without any flag has no NUL and no CR but the one before its LF,
// is not empty, and its field 2 is not the code. A flagged TAB is checked
// on the spot; any other flag, and any TAB that may start the code, hands
// its row to the row-by-row reading, which alone decides what a row holds.

namespace {

constexpr size_t kMaxScannedCode = 32;
constexpr size_t kWords = kMaxScannedCode / 8;
static_assert(kCodeCutLength <= kMaxScannedCode);

// The code as the scan compares it: byte k of a row matches code byte k
// when (byte | mask[k]) == folded[k], so letters match in either case.
// The words hold the same eight bytes at a time; `kept` has all bits set
// in the code's bytes and none past its end. A long code is looked for by
// its first kCodeCutLength bytes, as a prefix: rows whose field 2 starts
// with them are read, and take_row tells a whole match from a cut one.
struct ScanKey {
  size_t length = 0;
  bool prefix = false;
  unsigned char folded[kMaxScannedCode];
  unsigned char mask[kMaxScannedCode];
  uint64_t folded_words[kWords];
  uint64_t mask_words[kWords];
  uint64_t kept_words[kWords];
};

using Bytes = const unsigned char*;

void echo_size(const PartSize& size) {
  if (silent_mode) return;
  TextOutput& echo = standard_output();
  put_text(echo, "L = ");
  put_fixed(echo, size.length, 6);
  put_text(echo, "\nW = ");
  put_fixed(echo, size.width, 6);
  put_text(echo, "\n");
}

// Fills `key` for `code`. False when the scan cannot look for this code:
// empty, or holding a TAB, LF or CR in the bytes it compares.
bool make_scan_key(const char* code, ScanKey& key) {
  key = ScanKey{};
  key.length = strlen(code);
  key.prefix = key.length > size_t{kCodeCutLength};
  if (key.prefix) key.length = kCodeCutLength;
  if (key.length == 0) return false;
  for (size_t k = 0; k < key.length; ++k) {
    unsigned char c = static_cast<unsigned char>(code[k]);
    if (c == '\t' || c == '\n' || c == '\r') return false;
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    key.mask[k] = letter ? 0x20 : 0;
    key.folded[k] = c | key.mask[k];
  }
  unsigned char kept[kMaxScannedCode] = {};
  memset(kept, 0xff, key.length);
  memcpy(key.folded_words, key.folded, key.length);
  memcpy(key.mask_words, key.mask, key.length);
  memcpy(key.kept_words, kept, sizeof kept);
  return true;
}

uint64_t load_8(Bytes at) {
  uint64_t word;
  memcpy(&word, at, sizeof word);
  return word;
}

// The start of the row that holds `at`, not before `begin`.
Bytes row_start(Bytes at, Bytes begin) {
  while (at > begin && at[-1] != '\n') --at;
  return at;
}

// Judges a TAB at `tab` whose next byte and byte L after it fit the code;
// reads up to byte L + 8 after it. Returns nullptr when its row cannot
// match, else the row's start.
Bytes check_tab(Bytes tab, Bytes begin, const ScanKey& key) {
  Bytes field = tab + 1;
  for (size_t w = 0; w * 8 < key.length; ++w) {
    uint64_t bytes = load_8(field + w * 8) | key.mask_words[w];
    if ((bytes ^ key.folded_words[w]) & key.kept_words[w]) return nullptr;
  }
  Bytes start = tab;
  for (; start > begin && start[-1] != '\n'; --start)
    if (start[-1] == '\t') return nullptr;  // not field 2
  // A NUL after the field has a flag of its own.
  unsigned char after = field[key.length];
  bool ends = after == '\t' || after == '\n' || after == '\r';
  // A row cut at its last kept byte may end the field early.
  if (ends || key.prefix || field + key.length - start >= kSizeLineCapacity)
    return start;
  return nullptr;
}

// Judges a flagged byte: nullptr when the scan can go on, else the start
// of the row to read row by row.
Bytes check_flag(Bytes at, Bytes begin, const ScanKey& key) {
  if (at[0] == '\t' && at[1] != '\r') return check_tab(at, begin, key);
  if (at[0] == '\n') return at + 1;
  return row_start(at, begin);
}

// Bytes past a flagged position that the flags and check_tab look at.
size_t scan_reach(const ScanKey& key) { return key.length + 9; }

// Scans rows [begin, end), which start and end at row boundaries, one byte
// at a time. Returns the start of the first row that needs reading row by
// row; rows before it cannot match and are not empty.
Bytes scan_bytes(Bytes begin, Bytes end, const ScanKey& key) {
  size_t last = key.length - 1;
  Bytes p = begin;
  for (; static_cast<size_t>(end - p) >= scan_reach(key); ++p) {
    bool odd = (p[0] == '\n' && (p[1] == '\n' || p[1] == '\r')) ||
               (p[1] == '\r' && p[2] != '\n') || p[0] == 0;
    bool tab = p[0] == '\t' && (p[1] | key.mask[0]) == key.folded[0] &&
               (p[key.length] | key.mask[last]) == key.folded[last];
    if (odd || tab) {
      Bytes row = check_flag(p, begin, key);
      if (row) return row;
    }
  }
  return row_start(p, begin);
}

#ifdef KORVANE_SCAN_SSE2
// The code's first and last byte as the vector scan compares them.
struct VectorKey {
  __m128i first_mask, first, last_mask, last;
};

__m128i spread_byte(unsigned char byte) {
  return _mm_set1_epi8(static_cast<char>(byte));
}

VectorKey make_vector_key(const ScanKey& key) {
  size_t last = key.length - 1;
  return {spread_byte(key.mask[0]), spread_byte(key.folded[0]),
          spread_byte(key.mask[last]), spread_byte(key.folded[last])};
}

__m128i load_16(Bytes at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// The flags of the sixteen positions from p, one bit each.
unsigned flags_16(Bytes p, size_t length, const VectorKey& v) {
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i tab = _mm_set1_epi8('\t');
  __m128i x0 = load_16(p), x1 = load_16(p + 1), x2 = load_16(p + 2);
  __m128i xl = load_16(p + length);
  __m128i lf0 = _mm_cmpeq_epi8(x0, lf), lf1 = _mm_cmpeq_epi8(x1, lf);
  __m128i cr1 = _mm_cmpeq_epi8(x1, cr), lf2 = _mm_cmpeq_epi8(x2, lf);
  __m128i nul = _mm_cmpeq_epi8(x0, _mm_setzero_si128());
  __m128i odd = _mm_or_si128(_mm_and_si128(lf0, _mm_or_si128(lf1, cr1)),
                             _mm_or_si128(_mm_andnot_si128(lf2, cr1), nul));
  __m128i fits =
      _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(x1, v.first_mask), v.first),
                    _mm_cmpeq_epi8(_mm_or_si128(xl, v.last_mask), v.last));
  __m128i flags =
      _mm_or_si128(odd, _mm_and_si128(_mm_cmpeq_epi8(x0, tab), fits));
  return static_cast<unsigned>(_mm_movemask_epi8(flags));
}

// scan_bytes, thirty-two positions at a time.
Bytes scan_vector(Bytes begin, Bytes end, const ScanKey& key) {
  const VectorKey v = make_vector_key(key);
  const size_t reach = scan_reach(key) + 31;
  Bytes p = begin;
  if (static_cast<size_t>(end - begin) >= reach) {
    for (Bytes stop = end - reach; p <= stop; p += 32) {
      unsigned bits =
          flags_16(p, key.length, v) | flags_16(p + 16, key.length, v) << 16;
      for (; bits; bits &= bits - 1) {
        Bytes row = check_flag(p + std::countr_zero(bits), begin, key);
        if (row) return row;
      }
    }
  }
  return scan_bytes(row_start(p, begin), end, key);
}
#endif

// Passes over the buffered rows that cannot match, leaving the input at
// the first row that needs reading row by row.
void pass_rows(TextInput& in, const ScanKey& key, SizeScan scan) {
  const char* bytes;
  size_t n = peek_raw(in, &bytes);
  Bytes begin = reinterpret_cast<Bytes>(bytes);
  Bytes end = row_start(begin + n, begin);  // whole rows only
  // No flag looks at the first row's first byte.
  if (end == begin || begin[0] == '\n' || begin[0] == '\r') return;
#ifdef KORVANE_SCAN_SSE2
  Bytes row = scan == SizeScan::kVector ? scan_vector(begin, end, key)
                                        : scan_bytes(begin, end, key);
#else
  (void)scan;
  Bytes row = scan_bytes(begin, end, key);
#endif
  skip_raw(in, static_cast<size_t>(row - begin));
}

// Takes one row: how its field 2 stands to `code`; `size` is set from
// fields 3 and 4 unless the row does not match at all.
CodeMatch take_row(const char* line, const char* code, PartSize& size) {
  char field[kSizeLineCapacity + 1];
  get_field(line, 2, field, sizeof field);
  if (!silent_mode) put_line(standard_output(), field);
  CodeMatch match = match_code(field, code);
  if (match == CodeMatch::kNone) return match;
  get_field(line, 3, field, sizeof field);
  size.length = to_real(field);
  get_field(line, 4, field, sizeof field);
  size.width = to_real(field);
  return match;
}

// The walk `scan` can take for `code`: codes the scan cannot look for are
// read row by row.
SizeScan usable_scan(const char* code, SizeScan scan, ScanKey& key) {
  if (scan == SizeScan::kRowByRow || !make_scan_key(code, key))
    return SizeScan::kRowByRow;
  return scan;
}

// Reads the rows after the heading for `code`; true when found. Unless
// `scan` is kRowByRow, rows that cannot match are passed over unread.
bool find_row(TextInput& in, const char* code, PartSize& size, SizeScan scan) {
  ScanKey key;
  scan = usable_scan(code, scan, key);
  char line[kSizeLineCapacity + 1];
  read_line(in, line, sizeof line);
  PartSize row_size, cut_size;
  bool cut_found = false;
  for (;;) {
    if (scan != SizeScan::kRowByRow) pass_rows(in, key, scan);
    read_line(in, line, sizeof line);
    if (line[0] == '\0') break;
    CodeMatch match = take_row(line, code, row_size);
    if (match == CodeMatch::kWhole) {
      size = row_size;
      return true;
    }
    if (match == CodeMatch::kCut && !cut_found) {
      cut_size = row_size;
      cut_found = true;
    }
  }
  if (cut_found) size = cut_size;
  return cut_found;
}

}  // namespace

CodeMatch match_code(const char* row_code, const char* code) {
  if (text_equal(row_code, code)) return CodeMatch::kWhole;
  if (strlen(code) <= size_t{kCodeCutLength}) return CodeMatch::kNone;
  char cut[kCodeCutLength + 1];
  memcpy(cut, code, kCodeCutLength);
  cut[kCodeCutLength] = '\0';
  return text_equal(row_code, cut) ? CodeMatch::kCut : CodeMatch::kNone;
}

int lookup_part_size(const char* path, const char* code, PartSize& size) {
  return lookup_part_size_by(
      path, code, size, silent_mode ? SizeScan::kVector : SizeScan::kRowByRow);
}

int lookup_part_size_by(const char* path, const char* code, PartSize& size,
                        SizeScan scan) {
  auto in = std::make_unique_for_overwrite<TextInput>();
  if (open_text_input(*in, path) != 0) return kNotOpened;
  PartSize found = size;
  find_row(*in, code, found, scan);
  int status = in->failed ? kReadFailed : 0;
  if (status == 0) size = found;
  close_text_input(*in);
  echo_size(size);
  return status;
}
