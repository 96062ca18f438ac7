// Fuzzes the KiCad readers: the input read as S-expressions, as a board and
// as a footprint file. Each read ends in a result or a problem; every "("
// pairs with the ")" that closes it, every footprint read has a finite
// position, finite drawing and pad boxes whose corners are in order, a
// body with a length and a width, and a finite place in korvane's frame.
#include <cmath>
#include <vector>

#include "fuzz_util.h"
#include "kicad/board.h"

using namespace korvane;

namespace {

void check_pairs(const Sexpr& sexpr) {
  std::vector<size_t> open;
  for (size_t i = 0; i < sexpr.tokens.size(); ++i) {
    const Token& token = sexpr.tokens[i];
    if (token.kind == TokenKind::kOpen) open.push_back(i);
    if (token.kind != TokenKind::kClose) continue;
    require(!open.empty(), "a ) closes a list");
    require(sexpr.tokens[open.back()].close == i, "a ( knows its )");
    open.pop_back();
  }
  require(open.empty(), "every list closes");
}

void check_footprint(const Board& board, const Footprint& f) {
  require(std::isfinite(f.x) && std::isfinite(f.y) && std::isfinite(f.angle),
          "a footprint's position is finite");
  const BodyBox& box = f.body;
  for (const Extent* e : {&f.fab, &f.courtyard, &f.copper, &f.pad_centres})
    require(
        e->empty || (e->min_x <= e->max_x && e->min_y <= e->max_y &&
                     std::isfinite(e->min_x + e->max_x + e->min_y + e->max_y)),
        "a box's corners are finite and in order");
  require(box.extent.empty == box.layer.empty(), "a body names its layer");
  require(box.extent.empty || (box.extent.max_x - box.extent.min_x >= 0.001 &&
                               box.extent.max_y - box.extent.min_y >= 0.001),
          "a body has a length and a width");
  PlacedBody body = placed_body(board, f, f.copper);
  require(std::isfinite(body.x) && std::isfinite(body.y) &&
              std::isfinite(body.length) && std::isfinite(body.width),
          "a body's place is finite");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text = bytes_of(data, size);
  Sexpr sexpr;
  Problem problem;
  if (read_sexpr(text, sexpr, problem) == 0) check_pairs(sexpr);
  Board board;
  if (read_board(text, board, problem) == 0) {
    for (const Footprint& f : board.footprints) check_footprint(board, f);
  }
  Footprint footprint;
  if (read_footprint_file(text, footprint, problem) == 0)
    check_footprint(Board(), footprint);
  return 0;
}
