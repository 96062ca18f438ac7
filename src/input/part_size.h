// The part size table: each row gives a part code's length and width.
#pragma once

#include "input/records.h"

// Longest size-table line kept, and so longest field.
constexpr int kSizeLineCapacity = 1023;

// Scans the table at `path` from its first line: skips the heading, then
// takes rows up to the first empty line. The first row whose field 2 equals
// `code` (letter case ignored) sets `size` from fields 3 and 4. A missing
// table or code leaves `size` as it was.
void lookup_part_size(const char* path, const char* code, PartSize& size);

// How a lookup walks the rows. kRowByRow reads and compares every row;
// kPortable and kVector pass over rows that cannot match by scanning the
// buffered bytes, byte by byte or with the CPU's vector instructions (a
// build without them scans as kPortable does). All give the same result.
enum class SizeScan { kRowByRow, kPortable, kVector };

// lookup_part_size walking the rows as `scan` says, for tests and
// benchmarks. The diagnostic echo needs kRowByRow, which every lookup uses
// when the echo is built in.
void lookup_part_size_by(const char* path, const char* code, PartSize& size,
                         SizeScan scan);
