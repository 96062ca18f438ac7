// Cutting export text into rows of fields: CSV with RFC 4180 quotes and a
// comma, semicolon or TAB between fields, or text aligned with blanks.
#pragma once

#include <cstddef>
#include <string_view>

#include "korvane-import/import_records.h"

namespace korvane {

// Cuts the row that starts at text[pos] (on line `line`) into `record` and
// moves `pos` and `line` past its line end. A quoted field ("..." with ""
// for a quote) may hold separators and line ends; blanks around a field
// are dropped, and so are blanks between a closing quote and the next
// separator. Returns -1 with `problem` set on a quote that never closes or
// text after a closing quote; `pos` is then unchanged. With `rest_from`
// (from 1; 0 for none), that field takes the rest of the line as it stands,
// blanks and all, but for blanks at its ends and the quotes of a quoted
// start.
int split_record(std::string_view text, size_t& pos, int& line,
                 Separator separator, Record& record, Problem& problem,
                 size_t rest_from = 0);

// True when the record holds no field or only empty ones.
bool blank_record(const Record& record);

// Moves `pos` and `line` past the line at text[pos] when its first
// character other than a blank is "#", as KiCad's "## End"; returns false,
// moving nothing, for any other line.
bool skip_comment_line(std::string_view text, size_t& pos, int& line);

}  // namespace korvane
