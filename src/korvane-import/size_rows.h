// The text of the size tables korvane-import writes: a heading that
// declares the unit, one row per part code, and rows inserted into a table
// that exists, every byte of it kept.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "korvane-import/import_records.h"

namespace korvane {

// Two sizes closer than this are the same (in the unit they are in).
constexpr double kSameSize = 0.01;

// `mm` millimetres in `unit` (mm for kNone), rounded to a millionth.
double length_in(double mm, Unit unit);

// "1.6 by 0.8": a length and a width as they are, rounded to a millionth.
std::string size_words(double length, double width);

// The heading of a new table, without a line end: "Source", "Code",
// "Length(mm)", "Width(mm)" and "Note" with `unit` in the brackets.
std::string size_heading(Unit unit);

// The row for `code`: the source tag, the code, the length and the width
// in `unit` and the note, TAB between, without a line end; control bytes
// in the note become blanks.
std::string size_row(const std::string& code, const KnownSize& size, Unit unit);

// The bytes of `table` with `rows` inserted where korvane stops reading
// it: before the first empty line after the heading (nothing but CRs, or
// a NUL first), else before a Ctrl-Z, else at the end, after a line end
// when the last line has none. Each row ends as the table's first line
// does, CR LF or LF.
std::string with_rows(std::string_view table,
                      const std::vector<std::string>& rows);

}  // namespace korvane
