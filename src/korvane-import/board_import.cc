#include "korvane-import/board_import.h"

#include <string>

#include "input/size_table.h"
#include "kicad/board.h"
#include "korvane-import/design_sizes.h"
#include "korvane-import/placements.h"
#include "korvane-import/size_rows.h"
#include "text/encoding.h"
#include "text/message.h"

namespace korvane {

namespace {

constexpr std::string_view kBoardHead = "(kicad_pcb";

// "R1 'Resistor_SMD:R_0603_1608Metric'" for a message.
std::string named(const Footprint& f) {
  std::string name = f.library.empty() ? f.name : f.library + ":" + f.name;
  return (f.reference.empty() ? "" : escaped(f.reference) + " ") +
         quoted(name, 80);
}

Problem no_body(const Footprint& f) {
  const char* fab = f.bottom ? "B.Fab" : "F.Fab";
  const char* courtyard = f.bottom ? "B.CrtYd" : "F.CrtYd";
  return problem_at(f.line, "the footprint " + named(f) + " has no body (no " +
                                fab + " or " + courtyard +
                                " drawing), so it is left out of the xy "
                                "file; draw its body on " +
                                fab +
                                ", or mark it 'Exclude from position files' "
                                "in KiCad if it is no part to place");
}

// The placement of footprint `f`, whose body is `body`.
int placement_of(const Footprint& f, const PlacedBody& body,
                 ImportedPlacement& p, Problem& problem) {
  p.line = f.line;
  p.code = f.name;
  p.ref = f.reference;
  p.side = f.bottom ? "bottom" : "top";
  p.x = length_in(body.x, Unit::kMm);  // KiCad keeps nanometres
  p.y = length_in(body.y, Unit::kMm);
  p.angle = body.angle;
  p.x_unit = p.y_unit = Unit::kMm;
  if (!p.code.empty())
    return check_text(p.code, "part code", p.line, problem) != 0 ||
                   check_text(p.ref, "reference", p.line, problem) != 0
               ? -1
               : 0;
  problem = problem_at(p.line, "the footprint " + named(f) +
                                   " has an empty name, and korvane finds a "
                                   "part's size by it; name it in KiCad");
  return -1;
}

}  // namespace

bool is_board_text(std::string_view raw) {
  raw = without_byte_order_mark(raw);
  size_t start = raw.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return false;
  raw.remove_prefix(start);
  return raw.starts_with(kBoardHead) &&
         (raw.size() == kBoardHead.size() ||
          std::string_view(" \t\r\n()\"").find(raw[kBoardHead.size()]) !=
              std::string_view::npos);
}

int import_board(std::string_view raw, Side keep,
                 std::vector<ImportedPlacement>& placements, DesignSizes& sizes,
                 std::vector<Problem>& warnings, Problem& problem) {
  Board board;
  if (read_board(without_byte_order_mark(raw), board, problem) != 0) return -1;
  for (const Footprint& f : board.footprints) {
    Side side = f.bottom ? Side::kBottom : Side::kTop;
    if (f.excluded || (keep != Side::kAny && side != keep)) continue;
    if (!f.body.found) {
      warnings.push_back(no_body(f));
      continue;
    }
    PlacedBody body = placed_body(board, f);
    ImportedPlacement p;
    if (placement_of(f, body, p, problem) != 0) return -1;
    placements.push_back(p);
    KnownSize size{body.length, body.width,
                   kTagBoard,   std::string(kTagBoard) + " " + f.body.layer,
                   f.reference, f.line};
    add_design_size(f.name, size, "the footprint " + named(f), "footprint",
                    sizes, warnings);
  }
  return 0;
}

}  // namespace korvane
