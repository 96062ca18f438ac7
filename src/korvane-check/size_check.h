// Each placement's size as korvane will draw it, and the findings about
// codes and size-table rows.
#pragma once

#include <vector>

#include "korvane-check/findings.h"
#include "input/placement.h"
#include "input/size_table.h"

namespace korvane {

// True when the placement's own code found its size: not carried over
// from an earlier placement, nor none.
bool own_size(const DrawnSize& drawn);

// The row's place, "size.txt:12", with its source tag after it when field
// 1 is one that korvane-import writes (lib, name, board): "size.txt:12
// (name)".
std::string size_row_name(const SizeRow& row);

// Another form of a part code that a size row may hold instead.
struct CodeVariant {
  std::string code;
  const char* before;  // the message's words before the row's code
  const char* after;   // and after its place
};

// The forms a size row may hold `code` in when the files were saved in
// different encodings: read as Windows-1252 when it is not UTF-8, in
// Windows-1252 when it is UTF-8 beyond ASCII, and without a UTF-8 byte
// order mark at its start. The table must be read wanting them for
// check_codes to name such rows.
std::vector<CodeVariant> code_variants(const std::string& code);

// Adds one finding for each code that korvane does not find whole in the
// table, missing or matching only through its cut, at its first line with
// its other lines noted: what it is drawn at, and any row that holds it
// but for spaces, below the empty line or in another encoding.
void check_codes(const char* xy_path, const PlacementList& list,
                 const SizeTable& table, const std::vector<DrawnSize>& sizes,
                 Findings& findings);

// Adds the findings about size.txt: missing, unreadable, rows hidden by an
// empty line, rows in use whose length or width is no positive number or
// too large for the drawing, and codes in use given again later with
// another size.
void check_size_table(const PlacementList& list, const SizeTable& table,
                      const std::vector<DrawnSize>& sizes, Findings& findings);

}  // namespace korvane
