// Turning the bytes of an export into text: UTF-8 with or without a byte
// order mark, UTF-16 with one, or else Windows-1252, becomes UTF-8 without
// CRs.
#pragma once

#include <string>
#include <vector>

#include "korvane-import/import_records.h"

namespace korvane {

// Decodes `raw` into `text`: a UTF-8 byte order mark is dropped, UTF-16
// (little or big endian, told by its mark) is turned into UTF-8, and so is
// a file that is not valid UTF-8, read as Windows-1252 with a warning added
// to `warnings`; every CR is dropped and a Ctrl-Z that only trailing blanks
// follow ends the text. Returns -1 with `problem` set on a NUL, a broken
// UTF-16 sequence or a Ctrl-Z before the end.
int decode_export(std::string raw, std::string& text,
                  std::vector<Problem>& warnings, Problem& problem);

}  // namespace korvane
