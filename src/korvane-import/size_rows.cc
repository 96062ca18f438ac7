#include "korvane-import/size_rows.h"

#include "korvane-import/units.h"
#include "text/encoding.h"
#include "text/text_output.h"

namespace korvane {

namespace {

// The line end of the table's first line: CR LF or LF.
std::string line_end_of(std::string_view table) {
  size_t lf = table.find('\n');
  return lf != std::string_view::npos && lf > 0 && table[lf - 1] == '\r'
             ? "\r\n"
             : "\n";
}

// Where korvane stops reading `table`, whose text ends at `end`; sets
// `open` when the line there has no line end to follow.
size_t reading_end(std::string_view table, size_t end, bool& open) {
  open = false;
  size_t lf = table.find('\n');
  if (lf == std::string_view::npos || lf >= end) {
    open = true;  // the heading alone, without a line end
    return end;
  }
  for (size_t start = lf + 1;;) {
    size_t next = table.find('\n', start);
    bool whole = next != std::string_view::npos && next < end;
    std::string_view line = table.substr(start, (whole ? next : end) - start);
    size_t first = line.find_first_not_of('\r');
    if (first == std::string_view::npos || line[first] == '\0') return start;
    if (!whole) {
      open = true;
      return end;
    }
    start = next + 1;
  }
}

}  // namespace

double length_in(double mm, Unit unit) {
  if (unit == Unit::kNone || unit == Unit::kMm) return to_millionth(mm);
  return convert_length(mm, Unit::kMm, unit);
}

std::string size_words(double length, double width) {
  return shortest_text(to_millionth(length)) + " by " +
         shortest_text(to_millionth(width));
}

std::string size_heading(Unit unit) {
  std::string in = std::string("(") +
                   unit_name(unit == Unit::kNone ? Unit::kMm : unit) + ")";
  return "Source\tCode\tLength" + in + "\tWidth" + in + "\tNote";
}

std::string size_row(const std::string& code, const KnownSize& size,
                     Unit unit) {
  std::string note = size.note;
  for (char& c : note)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  return size.tag + '\t' + code + '\t' +
         shortest_text(length_in(size.length, unit)) + '\t' +
         shortest_text(length_in(size.width, unit)) + '\t' + note;
}

std::string with_rows(std::string_view table,
                      const std::vector<std::string>& rows) {
  size_t end = text_before_ctrl_z(table);
  bool open = false;
  size_t at = reading_end(table, end, open);
  std::string eol = line_end_of(table);
  std::string text(table.substr(0, at));
  if (open) text += eol;
  for (const std::string& row : rows) text += row + eol;
  return text.append(table.substr(at));
}

}  // namespace korvane
