// The placement list: the xy file's rows after its heading line.
#pragma once

#include <cstddef>

#include "input/records.h"
#include "text/text_input.h"

// Longest xy-file line kept, and longest numeric field.
constexpr int kRowCapacity = 2048;
constexpr int kNumberFieldCapacity = 31;

// Decodes a row as next_placement does: code, x, y, a by `columns`, each
// numeric field cut at kNumberFieldCapacity.
void decode_placement(const char* row, const ColumnMap& columns,
                      Placement& placement);

// Reads exactly one line into `row` (size bytes) and decodes it into
// `placement` by the columns of `columns`. Returns false, leaving
// `placement` alone, when the line is empty: the list has ended. The end of
// the file reads as an empty line.
bool next_placement(TextInput& in, char* row, size_t size,
                    const ColumnMap& columns, Placement& placement);
