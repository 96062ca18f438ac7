// size.txt read once, keeping only the rows that the placements' codes may
// be looking for.
#pragma once

#include <string>
#include <vector>

#include "input/records.h"

// A row of the size table as korvane reads it.
struct SizeRow {
  long line = 0;
  std::string code;     // field 2
  std::string length;   // field 3
  std::string width;    // field 4
  PartSize size;        // fields 3 and 4 converted as korvane converts them
  bool hidden = false;  // after the first empty line: korvane never reads it
};

// What the checker knows of the size table.
struct SizeIndex {
  bool found = false;    // it could be opened
  bool failed = false;   // a read error cut it short
  long empty_line = 0;   // the first empty line after the heading, 0: none
  long hidden_rows = 0;  // the rows after that line
  // In file order, every row whose code equals one of the wanted codes
  // once letter case and spaces around it are set aside.
  std::vector<SizeRow> rows;
};

// The form in which codes are compared loosely: letters a to z taken as
// A to Z, spaces at either end dropped.
std::string loose_key(const std::string& code);

// Reads the table at `path` once: its heading, then every line to the end,
// noting the first empty line and keeping the rows whose loose key is one
// of `wanted` (loose keys). Rows that cannot be among them are passed over
// in the read buffer without being cut into fields.
SizeIndex index_sizes(const char* path, const std::vector<std::string>& wanted);

// The row korvane draws `code` with, as match_code rules among the rows
// before the empty line: the first whole match, failing that the first
// match of the code's first kCodeCutLength characters. Null when none;
// `by_cut` tells which way it matched.
const SizeRow* korvane_row(const SizeIndex& index, const std::string& code,
                           bool& by_cut);
