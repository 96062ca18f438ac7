#include "input/size_table.h"

#include <algorithm>
#include <bit>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <memory>

#include "input/row_window.h"
#include "text/key_slots.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace korvane {

// How the table is read. The heading and every row that may matter are
// read the ordinary way, line by line. The others are passed over in the
// read buffer, 64 bytes at a time: the pass goes from LF to LF, finds a
// row's first two TABs among the window's, hashes field 2's loose key, and
// stops at a row whose hash is wanted, a row with fewer than two TABs (an
// empty row among them), a row whose field 2 reaches past the line limit,
// a NUL or a CR that does not end a line. Those rows, and only those, are
// left to the line-by-line reading, which alone decides what a row holds.

namespace {

// A hash of a loose key's bytes [begin, begin + n) from its length and
// its last eight bytes (all of a shorter one), each taken with bit 0x20
// set: that folds letters as text_equal does (and some other bytes too:
// the hash only has to agree on equal keys).
inline uint64_t key_hash(const char* begin, size_t n) {
  uint64_t last = 0;
  if (n >= 8) {
    memcpy(&last, begin + n - 8, 8);
  } else if (n >= 4) {
    uint32_t head, tail;
    memcpy(&head, begin, 4);
    memcpy(&tail, begin + n - 4, 4);
    last = uint64_t{head} << 32 | tail;
  } else {
    for (size_t k = 0; k < n; ++k)
      last |= uint64_t{static_cast<unsigned char>(begin[k])} << (8 * k);
  }
  return ((last | 0x2020202020202020ull) ^ n) * 0x9e3779b97f4a7c15ull;
}

size_t hash_bit(uint64_t hash) { return static_cast<size_t>(hash >> 48); }

// For the pass over the buffer, a bit for each of the wanted loose keys'
// hashes' top 16 bits. The keys themselves are those of table.keys.
struct Wanted {
  std::bitset<65536> hashes;
};

// The slot of table.key_slots that holds `key`, or the free one where it
// would go.
size_t key_slot(const SizeTable& table, std::string_view key) {
  return korvane::key_slot(table.key_slots, key,
                           [&](uint32_t i) { return table.keys[i].key; });
}

void want(Wanted& wanted, SizeTable& table, std::string_view code) {
  std::string key = loose_key(code);
  wanted.hashes.set(hash_bit(key_hash(key.data(), key.size())));
  size_t at = key_slot(table, key);
  if (table.key_slots[at] != kFreeSlot) return;
  table.key_slots[at] = static_cast<uint32_t>(table.keys.size());
  table.keys.push_back({std::move(key)});
}

// Enters each code's loose key, and that of its first kCodeCutLength
// characters, in table.keys, with no row yet.
Wanted wanted_keys(const std::vector<std::string>& codes, SizeTable& table) {
  Wanted wanted;
  size_t most = codes.size();
  for (const std::string& code : codes)
    most += code.size() > size_t{kCodeCutLength};
  table.keys.reserve(most);
  table.key_slots = free_slots(most);
  for (const std::string& code : codes) {
    want(wanted, table, code);
    if (code.size() > size_t{kCodeCutLength})
      want(wanted, table, std::string_view(code).substr(0, kCodeCutLength));
  }
  return wanted;
}

// The one pass over the table.
struct Reading {
  TextInput& in;
  const SizeReading& how;
  const Wanted& wanted;
  SizeTable& table;
  bool avx2 = false;  // the windows are found with AVX2
  long line = 1;      // lines read so far, the heading included
};

// Fields 1 to 4 of a line, as get_field finds them: empty past its last.
struct FirstFields {
  std::string_view field[4];
};

FirstFields first_fields(const char* text) {
  FirstFields f;
  for (std::string_view& field : f.field) {
    field = std::string_view(text, field_length(text, 1));
    text += field.size() + (text[field.size()] ? 1 : 0);
  }
  return f;
}

// Copies fields 1 to 4 into the table's text blocks, each ended by a NUL.
const char* keep_fields(SizeTable& table, const FirstFields& f) {
  constexpr size_t kTextBlock = 64 << 10;
  size_t n = 4;
  for (std::string_view field : f.field) n += field.size();
  if (n > table.text_room) {
    table.text_room = std::max(n, kTextBlock);
    table.texts.push_back(
        std::make_unique_for_overwrite<char[]>(table.text_room));
    table.text_at = table.texts.back().get();
  }
  const char* fields = table.text_at;
  for (std::string_view field : f.field) {
    memcpy(table.text_at, field.data(), field.size());
    table.text_at[field.size()] = '\0';
    table.text_at += field.size() + 1;
  }
  table.text_room -= n;
  return fields;
}

// Keeps a row at the end of its key's rows, converting its sizes as
// korvane does.
void keep_row(SizeTable& table, KeyRows& rows, SizeRow row) {
  row.size.length = to_real(size_field(row, 3));
  row.size.width = to_real(size_field(row, 4));
  size_t at = table.rows.size();
  (rows.last == kNoRow ? rows.first : table.rows[rows.last].next) = at;
  rows.last = at;
  table.rows.push_back(std::move(row));
}

// Takes one line read the ordinary way; false when the reading ends here.
bool take_line(Reading& r, const char* text) {
  SizeTable& table = r.table;
  ++r.line;
  if (text[0] == '\0' && !table.empty_line) {
    table.empty_line = r.line;
    table.status = input_status(r.in);
    return r.how.past_empty_line;
  }
  if (text[0] == '\0') return true;
  if (table.empty_line) ++table.hidden_rows;
  bool hidden = table.empty_line != 0;
  FirstFields f = first_fields(text);
  if (r.how.every_code && !hidden) table.codes.emplace_back(f.field[1]);
  uint32_t wanted = table.key_slots[key_slot(table, loose_key(f.field[1]))];
  if (wanted == kFreeSlot) return true;
  SizeRow row;
  row.line = r.line;
  row.hidden = hidden;
  row.fields = keep_fields(table, f);
  keep_row(table, table.keys[wanted], std::move(row));
  return true;
}

// True when a row starting at `start`, with field 2 from `field` to the
// row's second TAB at `tab2`, needs reading the ordinary way: field 2 may
// reach past the line limit, be empty, or be wanted. A field 2 with a
// space at either end is read: its loose key is shorter.
inline bool needs_reading(const char* start, const char* field,
                          const char* tab2, const Wanted& wanted) {
  if (tab2 - start >= kSizeLineCapacity) return true;
  size_t n = static_cast<size_t>(tab2 - field);
  if (n == 0 || *field == ' ' || tab2[-1] == ' ') return true;
  return wanted.hashes[hash_bit(key_hash(field, n))];
}

// Where the pass over the buffer stands.
struct Pass {
  const char* start;            // of the current row
  const char* field = nullptr;  // its field 2, once its first TAB is seen
  int tabs = 0;                 // TABs seen in it, up to two
  long rows = 0;                // rows passed over
};

// Takes the current row's TABs `mine` of the window at `base` until two
// are seen, and checks its field 2 at the second. False when the row needs
// reading.
[[gnu::always_inline]] inline bool take_tabs(Pass& pass, const char* base,
                                             uint64_t mine,
                                             const Wanted& wanted) {
  if (pass.tabs == 2 || !mine) return true;
  if (pass.tabs == 0) {
    pass.field = base + std::countr_zero(mine) + 1;
    pass.tabs = 1;
    mine &= mine - 1;
    if (!mine) return true;
  }
  pass.tabs = 2;
  return !needs_reading(pass.start, pass.field, base + std::countr_zero(mine),
                        wanted);
}

// Passes over the rows that end in the window at `base`, LF by LF, up to
// its first odd byte, and takes the TABs of the row that goes on past it.
// False when the row at pass.start needs reading.
[[gnu::always_inline]] inline bool pass_window(Pass& pass, const char* base,
                                               const Window& w,
                                               const Wanted& wanted) {
  uint64_t lfs = w.lf, tabs = w.tab;
  if (w.odd) {
    uint64_t before = (uint64_t{1} << std::countr_zero(w.odd)) - 1;
    lfs &= before;
    tabs &= before;
  }
  for (; lfs; lfs &= lfs - 1) {
    int i = std::countr_zero(lfs);
    uint64_t mine = tabs & ((uint64_t{1} << i) - 1);
    tabs ^= mine;
    if (!take_tabs(pass, base, mine, wanted) || pass.tabs < 2) return false;
    ++pass.rows;
    pass.start = base + i + 1;
    pass.tabs = 0;
  }
  return take_tabs(pass, base, tabs, wanted) && w.odd == 0;
}

// How the windows are found.
enum class Vector { kNone, kSse2, kAvx2 };

// Walks the rows from pass.start to `end`, which ends after an LF, window
// by window, up to the first row that needs reading the ordinary way.
template <Vector kVector>
[[gnu::always_inline]] inline void pass_with(Pass& pass, const char* end,
                                             const Wanted& wanted) {
  Pass p = pass;  // kept in registers
  const char* base = p.start;
  bool on = true;
  for (; on && end - base > 64; base += kWindowBytes) {
    Window w;
#ifdef KORVANE_X86
    if constexpr (kVector == Vector::kAvx2) w = window_avx2(base, base[64]);
    if constexpr (kVector == Vector::kSse2) w = window_sse2(base, base[64]);
#endif
    if constexpr (kVector == Vector::kNone)
      w = window_bytes(base, 64, base[64]);
    on = pass_window(p, base, w, wanted);
  }
  if (on)
    pass_window(p, base,
                window_bytes(base, static_cast<size_t>(end - base), '\0'),
                wanted);
  pass = p;
}

#ifdef KORVANE_X86
[[gnu::target("avx2,bmi")]] void pass_avx2(Pass& pass, const char* end,
                                           const Wanted& wanted) {
  pass_with<Vector::kAvx2>(pass, end, wanted);
}
#endif

// Passes over the buffered whole rows that need no reading.
void pass_rows(Reading& r) {
  if (r.how.every_code && !r.table.empty_line) return;
  const char* bytes;
  size_t n = peek_raw(r.in, &bytes);
  const char* end = bytes + n;
  while (end > bytes && end[-1] != '\n') --end;  // whole rows only
  Pass pass{bytes};
#ifdef KORVANE_X86
  if (r.avx2)
    pass_avx2(pass, end, r.wanted);
  else
    pass_with<Vector::kSse2>(pass, end, r.wanted);
#else
  pass_with<Vector::kNone>(pass, end, r.wanted);
#endif
  r.line += pass.rows;
  if (r.table.empty_line) r.table.hidden_rows += pass.rows;
  skip_raw(r.in, static_cast<size_t>(pass.start - bytes));
}
}  // namespace

std::string loose_key(std::string_view code) { return folded(trimmed(code)); }

const KeyRows* key_rows(const SizeTable& table, std::string_view key) {
  if (table.key_slots.empty()) return nullptr;
  uint32_t i = table.key_slots[key_slot(table, key)];
  return i == kFreeSlot ? nullptr : &table.keys[i];
}

const char* size_field(const SizeRow& row, int n) {
  const char* field = row.fields;
  for (; n > 1; --n) field += strlen(field) + 1;
  return field;
}

ReadStatus read_size_table(const char* path,
                           const std::vector<std::string>& codes,
                           const SizeReading& how, SizeTable& table) {
  table = SizeTable{};
  auto in = std::make_unique_for_overwrite<TextInput>();
  if (open_text_input(*in, path) != ReadStatus::kRead) return table.status;
  Wanted wanted = wanted_keys(codes, table);
  table.rows.reserve(table.keys.size());
  Reading r{*in, how, wanted, table};
#ifdef KORVANE_X86
  r.avx2 = have_avx2();
#endif
  char text[kSizeLineCapacity + 1];
  bool last = read_line(*in, text, sizeof text);
  table.heading = text;
  while (!last) {
    pass_rows(r);
    last = read_line(*in, text, sizeof text);
    if (last && text[0] == '\0') break;
    if (!take_line(r, text)) break;
  }
  if (!table.empty_line) table.status = input_status(*in);
  close_text_input(*in);
  return table.status;
}

Unit size_table_unit(const SizeTable& table) {
  Unit unit = heading_unit(field_text(table.heading.c_str(), 3));
  return unit != Unit::kNone
             ? unit
             : heading_unit(field_text(table.heading.c_str(), 4));
}

CodeMatch match_code(const char* row_code, const std::string& code) {
  if (text_equal(row_code, code.c_str())) return CodeMatch::kWhole;
  if (code.size() <= size_t{kCodeCutLength}) return CodeMatch::kNone;
  return text_equal(row_code, code.substr(0, kCodeCutLength).c_str())
             ? CodeMatch::kCut
             : CodeMatch::kNone;
}

const SizeRow* find_size_row(const SizeTable& table, const std::string& code,
                             CodeMatch& match) {
  std::string keys[2] = {loose_key(code), ""};
  if (code.size() > size_t{kCodeCutLength})
    keys[1] = loose_key(code.substr(0, kCodeCutLength));
  for (CodeMatch wanted : {CodeMatch::kWhole, CodeMatch::kCut}) {
    const KeyRows* rows = key_rows(table, keys[wanted == CodeMatch::kCut]);
    if (!rows) continue;
    for (size_t i = rows->first; i != kNoRow; i = table.rows[i].next) {
      const SizeRow& row = table.rows[i];
      if (row.hidden || match_code(size_field(row, 2), code) != wanted)
        continue;
      match = wanted;
      return &row;
    }
  }
  match = CodeMatch::kNone;
  return nullptr;
}

std::vector<DrawnSize> drawn_sizes(const PlacementList& list,
                                   const SizeTable& table) {
  std::vector<DrawnSize> sizes;
  sizes.reserve(list.rows.size());
  DrawnSize current;
  long found_at = 0;  // xy line of the last placement whose code was found
  for (const PlacementRow& r : list.rows) {
    CodeMatch match;
    if (const SizeRow* row = find_size_row(table, r.placement.code, match)) {
      current = {row->size, row, 0};
      found_at = r.line;
    } else {
      current.carried_from = found_at;
    }
    sizes.push_back(current);
  }
  return sizes;
}

}  // namespace korvane
