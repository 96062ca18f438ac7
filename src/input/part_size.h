// The part size table: each row gives a part code's length and width.
#pragma once

#include "input/records.h"
#include "text/text_input.h"

// Longest size-table line kept, and so longest field.
constexpr int kSizeLineCapacity = 1023;

// Tables written for codes cut to this length still serve longer codes:
// a row may hold a long code's first kCodeCutLength characters.
constexpr int kCodeCutLength = 31;

// How a size row's code stands to a wanted code.
enum class CodeMatch { kNone, kWhole, kCut };

// kWhole when `row_code` equals `code`, letters a to z taken as A to Z;
// kCut when `code` is longer than kCodeCutLength and `row_code` equals its
// first kCodeCutLength characters so; kNone otherwise. A lookup takes the
// first kWhole row, and only when there is none, the first kCut row.
CodeMatch match_code(const char* row_code, const char* code);

// Scans the table at `path` from its first line: skips the heading, then
// takes rows up to the first empty line. The row that match_code picks
// sets `size` from fields 3 and 4. A missing table or code leaves `size`
// as it was. Returns 0, or kNotOpened for a missing table, or kReadFailed
// when reading the table failed, leaving `size` as it was.
int lookup_part_size(const char* path, const char* code, PartSize& size);

// How a lookup walks the rows. kRowByRow reads and compares every row;
// kPortable and kVector pass over rows that cannot match by scanning the
// buffered bytes, byte by byte or with the CPU's vector instructions (a
// build without them scans as kPortable does). All give the same result.
enum class SizeScan { kRowByRow, kPortable, kVector };

// lookup_part_size walking the rows as `scan` says, for tests and
// benchmarks. The diagnostic echo needs kRowByRow, which every lookup uses
// when the echo is built in.
int lookup_part_size_by(const char* path, const char* code, PartSize& size,
                        SizeScan scan);
