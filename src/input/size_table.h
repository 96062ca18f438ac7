// The part size table: each row gives a part code's length and width.
// It is read once, keeping only the rows that the wanted codes may need.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "input/placement.h"
#include "input/records.h"
#include "input/units.h"
#include "text/text_input.h"

namespace korvane {

// Longest size-table line kept, and so longest field.
constexpr int kSizeLineCapacity = 1023;

// Tables written for codes cut to this length still serve longer codes:
// a row may hold a long code's first kCodeCutLength characters.
constexpr int kCodeCutLength = 31;

// Where a size row written by korvane-import came from, in its field 1: a
// footprint library, a naming rule, a KiCad board's drawing, a KiCad
// board's pads.
inline constexpr char kTagLibrary[] = "lib";
inline constexpr char kTagName[] = "name";
inline constexpr char kTagBoard[] = "board";
inline constexpr char kTagPads[] = "pads";
inline constexpr const char* kSourceTags[] = {kTagLibrary, kTagName, kTagBoard,
                                              kTagPads};

// No row: the end of a chain of rows, or an empty one.
constexpr size_t kNoRow = static_cast<size_t>(-1);

// A row of the table as korvane reads it.
struct SizeRow {
  long line = 0;
  // Fields 1 to 4 as get_field finds them, each ended by a NUL, in the text
  // blocks of the table that holds the row (and only as long as it lives):
  // read them with size_field. Field 1, a number or a note, korvane never
  // reads.
  const char* fields = "\0\0\0";
  PartSize size;         // fields 3 and 4 converted as korvane converts them
  bool hidden = false;   // after the first empty line: korvane never reads it
  size_t next = kNoRow;  // the next row kept under the same loose key
};

// Field `n` of a row, 1 to 4: 2 is the code, 3 the length, 4 the width.
const char* size_field(const SizeRow& row, int n);

// A loose key wanted, and the rows kept under it, chained through
// SizeRow::next in the order they stand; kNoRow when none.
struct KeyRows {
  std::string key;
  size_t first = kNoRow;
  size_t last = kNoRow;
};

// How much of the table to read.
struct SizeReading {
  bool past_empty_line = false;  // read on, keeping the rows there hidden
  bool every_code = false;  // keep field 2 of every row before the empty line
};

// What reading the table found.
struct SizeTable {
  // kNotOpened, kReadFailed (a read error came before the first empty
  // line) or kRead.
  ReadStatus status = ReadStatus::kNotOpened;
  std::string heading;        // line 1, which korvane skips
  long empty_line = 0;        // the first empty line after the heading, 0: none
  long hidden_rows = 0;       // rows after it, when read past it
  std::vector<SizeRow> rows;  // the rows the wanted codes may need, in order
  // The loose_key of each wanted code and of its cut, once, with the rows
  // kept under it: read them with key_rows.
  std::vector<KeyRows> keys;
  std::vector<uint32_t> key_slots;  // open-addressed indices into keys
  std::vector<std::string> codes;   // with every_code: field 2 of each row
  // The fields of the rows kept, in blocks that never move, and the room
  // left in the last one.
  std::vector<std::unique_ptr<char[]>> texts;
  char* text_at = nullptr;
  size_t text_room = 0;
};

// The form in which codes are compared loosely: letters a to z taken as
// A to Z, spaces at either end dropped.
std::string loose_key(std::string_view code);

// The rows kept under `key`, a loose key: null when no wanted code has it.
const KeyRows* key_rows(const SizeTable& table, std::string_view key);

// Reads the table at `path` once: its heading, then rows up to the first
// empty line (or on to the end, as `how` says), keeping each row whose
// loose key is that of one of `codes`, or of the first kCodeCutLength
// characters of one. Other rows are passed over in the read buffer
// without being cut into fields. Returns table.status.
ReadStatus read_size_table(const char* path,
                           const std::vector<std::string>& codes,
                           const SizeReading& how, SizeTable& table);

// The unit the table's heading declares for its lengths and widths, as in
// "Length(mm)" in field 3 or 4; kNone when it declares none.
Unit size_table_unit(const SizeTable& table);

// How a size row's code stands to a wanted code.
enum class CodeMatch { kNone, kWhole, kCut };

// kWhole when `row_code` equals `code`, letters a to z taken as A to Z;
// kCut when `code` is longer than kCodeCutLength and `row_code` equals its
// first kCodeCutLength characters so; kNone otherwise.
CodeMatch match_code(const char* row_code, const std::string& code);

// The row korvane takes for `code` among the rows before the empty line:
// the first kWhole row, and only when there is none, the first kCut row.
// Null when none; `match` tells which way it matched.
const SizeRow* find_size_row(const SizeTable& table, const std::string& code,
                             CodeMatch& match);

// The size a placement is drawn with, and where it comes from.
struct DrawnSize {
  PartSize size;
  const SizeRow* row = nullptr;  // the row that set it, for this placement
                                 // or for the one it is carried over from
  long carried_from = 0;         // xy line whose size is carried over; 0: none
};

// korvane's size rule: each placement takes the size of the row its code
// finds; one whose code the table lacks takes the size of the last code
// found before it, or none (0 by 0) when none was found yet.
std::vector<DrawnSize> drawn_sizes(const PlacementList& list,
                                   const SizeTable& table);

}  // namespace korvane
