#include "korvane-check/svg_board.h"

#include <map>
#include <string>

#include "korvane-check/svg.h"
#include "input/working_files.h"
#include "text/message.h"
#include "text/scan.h"

namespace korvane {

namespace {

// The legend line of a placement left out: place, label, code and why.
std::string left_out(const char* xy_path, const LeftOut& line, int label_column,
                     const ColumnMap& columns, const PlacementList& list) {
  const char* row = line.text.c_str();
  std::string text = place(xy_path, line.line) + ": ";
  if (label_column > 0) text += field_text(row, label_column) + " ";
  text += quoted(field_text(row, columns.code));
  if (list.empty_line && line.line > list.empty_line)
    return text + ", after the empty line " + std::to_string(list.empty_line);
  return text + ", past the " + std::to_string(kMaxPlacements) + "th placement";
}

// The findings about the lines of the xy file and of size.txt, by line,
// one a text line.
struct LineFindings {
  std::map<long, std::string> xy, sizes;
};

// Adds `text` to the findings at `line`, on a line of its own.
void add_text(std::map<long, std::string>& lines, long line,
              const std::string& text) {
  std::string& at = lines[line];
  if (!at.empty()) at += '\n';
  at += text;
}

// Each finding at its line of the xy file or of size.txt, and at the xy
// lines of the other placements it concerns.
LineFindings by_line(const char* xy_path, const Findings& findings) {
  LineFindings lines;
  for (const Finding& f : findings) {
    const Problem& p = f.problem;
    std::string text = place(p.file, p.line) + ": " + p.message;
    for (long line : f.placements) add_text(lines.xy, line, text);
    std::map<long, std::string>* file = p.file == xy_path ? &lines.xy
                                        : p.file == kSizeTableFile
                                            ? &lines.sizes
                                            : nullptr;
    if (file && p.line != 0) add_text(*file, p.line, text);
  }
  return lines;
}

// Where the part's size comes from, for its hover title.
std::string size_note(const DrawnSize& drawn) {
  if (!drawn.row) return "no size: drawn as a point";
  std::string row = "size from " + size_row_name(*drawn.row);
  if (!drawn.carried_from) return row;
  return row + ", carried over from line " + std::to_string(drawn.carried_from);
}

// The findings that concern a part: those at its line and, when the part's
// own code found its size, at the size.txt row it came from; for a part
// drawn with a size of 0 and no such finding, that it is a point or a line.
std::string part_findings(const PlacementRow& row, const DrawnSize& drawn,
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
                    const ColumnMap& columns, const PlacementList& list,
                    const std::vector<DrawnSize>& sizes,
                    const Findings& findings, Problem& problem) {
  LineFindings lines = by_line(xy_path, findings);
  SvgPicture picture;
  picture.heading = std::string("korvane-check: ") + xy_path;
  picture.labelled_by = label_column > 0
                            ? "xy column " + std::to_string(label_column)
                            : "their xy line";
  for (size_t i = 0; i < list.rows.size(); ++i) {
    const PlacementRow& row = list.rows[i];
    const Placement& p = row.placement;
    const PartSize& size = sizes[i].size;
    std::string label =
        label_column > 0 ? field_text(row.text.c_str(), label_column) : "";
    picture.parts.push_back(
        {part_corners(p.x, p.y, size.length, size.width, p.a, 0, 0, 0),
         label.empty() ? std::to_string(row.line) : label,
         part_findings(row, sizes[i], lines), size_note(sizes[i])});
  }
  for (const LeftOut& line : list.left_out)
    picture.not_drawn.push_back(
        left_out(xy_path, line, label_column, columns, list));
  picture.not_drawn_count =
      static_cast<size_t>(list.after_empty + list.undrawn);
  return write_svg_file(svg_path, picture, problem);
}

}  // namespace korvane
