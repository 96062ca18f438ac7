#include "check/svg_board.h"

#include <map>
#include <memory>
#include <string>

#include "check/svg.h"
#include "input/placement.h"
#include "input/working_files.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace {

constexpr size_t kMostListed = 20;  // placements not drawn named one by one

std::string field(const char* row, int column) {
  std::vector<char> text(kRowCapacity + 1);
  get_field(row, column, text.data(), text.size());
  return text.data();
}

// The legend line of a placement left out: place, label, code and why.
std::string left_out(const char* xy_path, long line, const char* row,
                     int label_column, const ColumnMap& columns,
                     const XyList& xy) {
  std::string text = place(xy_path, line) + ": ";
  if (label_column > 0) text += field(row, label_column) + " ";
  text += quoted(field(row, columns.code));
  if (xy.empty_line && line > xy.empty_line)
    return text + ", after the empty line " + std::to_string(xy.empty_line);
  return text + ", past the 100th placement";
}

// The legend lines of the first placements left out, which XyList only
// counts: the xy file is walked again for them.
std::vector<std::string> left_out_lines(const char* xy_path, int label_column,
                                        const ColumnMap& columns,
                                        const XyList& xy) {
  std::vector<std::string> lines;
  long first = xy.empty_line ? xy.empty_line : xy.first_undrawn;
  auto in = std::make_unique<TextInput>();
  if (first == 0 || open_text_input(*in, xy_path) != 0) return lines;
  std::vector<char> row(kRowCapacity + 1);
  bool at_end = false;
  for (long line = 1; !at_end && lines.size() < kMostListed; ++line) {
    at_end = read_line(*in, row.data(), row.size());
    if (line >= first && row[0])
      lines.push_back(
          left_out(xy_path, line, row.data(), label_column, columns, xy));
  }
  close_text_input(*in);
  return lines;
}

// The findings about the lines of the xy file and of size.txt, by line,
// one a text line.
struct LineFindings {
  std::map<long, std::string> xy, sizes;
};

LineFindings by_line(const char* xy_path, const Findings& findings) {
  LineFindings lines;
  for (const Finding& f : findings) {
    std::map<long, std::string>* file = f.file == xy_path ? &lines.xy
                                        : f.file == kSizeTableFile
                                            ? &lines.sizes
                                            : nullptr;
    if (!file || f.line == 0) continue;
    std::string& text = (*file)[f.line];
    if (!text.empty()) text += '\n';
    text += place(f.file, f.line) + ": " + f.message;
  }
  return lines;
}

// The findings that concern a part: those at its line and, when the part's
// own code found its size, at the size.txt row it came from; for a part
// drawn with a size of 0 and no such finding, that it is a point or a line.
std::string part_findings(const XyRow& row, const DrawnSize& drawn,
                          LineFindings& lines) {
  std::string text = lines.xy[row.line];
  if (drawn.row && !drawn.carried_from) {
    const std::string& own_row = lines.sizes[drawn.row->line];
    if (!text.empty() && !own_row.empty()) text += '\n';
    text += own_row;
  }
  if (text.empty() && (drawn.size.length == 0 || drawn.size.width == 0))
    text = "drawn as a point or a line: its size is 0";
  return text;
}

}  // namespace

int write_board_svg(const char* svg_path, const char* xy_path, int label_column,
                    const ColumnMap& columns, const XyList& xy,
                    const std::vector<DrawnSize>& sizes,
                    const Findings& findings) {
  LineFindings lines = by_line(xy_path, findings);
  SvgPicture picture;
  picture.heading = std::string("korvane-check: ") + xy_path;
  for (size_t i = 0; i < xy.rows.size(); ++i) {
    const XyRow& row = xy.rows[i];
    const Placement& p = row.placement;
    const PartSize& size = sizes[i].size;
    picture.parts.push_back(
        {part_corners(p.x, p.y, size.length, size.width, p.a, 0, 0, 0),
         row.label.empty() ? std::to_string(row.line) : row.label,
         part_findings(row, sizes[i], lines)});
  }
  picture.not_drawn = left_out_lines(xy_path, label_column, columns, xy);
  picture.not_drawn_count =
      static_cast<size_t>((xy.empty_line ? xy.after_empty : 0) + xy.undrawn);
  return write_svg_file(svg_path, picture);
}
