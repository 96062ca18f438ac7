#include "korvane-import/board_parts.h"

#include <cmath>
#include <utility>

#include "korvane-import/placements.h"
#include "korvane-import/size_rows.h"
#include "text/message.h"
#include "text/scan.h"

namespace korvane {

int add_board_part(const BoardPart& part,
                   std::vector<ImportedPlacement>& placements,
                   DesignSizes& sizes, std::vector<Problem>& warnings,
                   Problem& problem) {
  ImportedPlacement p;
  p.line = part.line;
  p.code = part.code;
  p.ref = part.ref;
  p.side = part.bottom ? "bottom" : "top";
  p.x = length_in(part.body.x, Unit::kMm);
  p.y = length_in(part.body.y, Unit::kMm);
  p.angle = part.body.angle;
  p.x_unit = p.y_unit = Unit::kMm;
  if (check_placement_text(p, problem) != 0) return -1;
  placements.push_back(std::move(p));
  KnownSize size{part.body.length, part.body.width, part.tag,
                 part.note,        part.ref,        part.line};
  add_design_size(part.code, size, part.named, part.kind, sizes, warnings);
  return 0;
}

void add_design_size(const std::string& code, const KnownSize& size,
                     const std::string& part, const char* kind,
                     DesignSizes& sizes, std::vector<Problem>& warnings) {
  auto [entry, added] = sizes.emplace(folded(code), size);
  const KnownSize& first = entry->second;
  if (added || (std::fabs(first.length - size.length) <= kSameSize &&
                std::fabs(first.width - size.width) <= kSameSize))
    return;
  warnings.push_back(problem_at(
      size.line, part + " has a body of " +
                     size_words(size.length, size.width) + " mm, and " +
                     escaped(first.reference) + " of the same name (line " +
                     std::to_string(first.line) + ") one of " +
                     size_words(first.length, first.width) +
                     " mm; size.txt takes " + escaped(first.reference) +
                     "'s, as korvane draws every part of one code alike; "
                     "give the other body a " +
                     kind + " name of its own"));
}

}  // namespace korvane
