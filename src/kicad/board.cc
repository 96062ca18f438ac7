#include "kicad/board.h"

#include "geometry/turn.h"

namespace korvane {

namespace {

// (setup ... (aux_axis_origin x y) ...).
int read_origin(const Sexpr& sexpr, size_t setup, Board& board,
                Problem& problem) {
  size_t origin = find_child(sexpr, setup, "aux_axis_origin");
  double at[2] = {0, 0};
  if (origin == 0) return 0;
  if (read_numbers(sexpr, origin, at, 2, 0, problem) != 0) return -1;
  board.has_origin = at[0] != 0 || at[1] != 0;
  board.origin_x = at[0];
  board.origin_y = at[1];
  return 0;
}

// The (kicad_pcb ...) list that is the whole text.
int check_board(const Sexpr& sexpr, Problem& problem) {
  const std::vector<Token>& tokens = sexpr.tokens;
  if (tokens.empty() || tokens[0].kind != TokenKind::kOpen ||
      list_head(sexpr, 0) != "kicad_pcb") {
    int line = tokens.empty() ? 0 : static_cast<int>(tokens[0].line);
    problem = problem_at(line,
                         "is not a KiCad board: it does not start with "
                         "(kicad_pcb; open it in KiCad and save it again");
    return -1;
  }
  if (tokens[0].close + 1 == tokens.size()) return 0;
  problem = problem_at(tokens[tokens[0].close + 1].line,
                       "text follows the ')' that ends the board: the "
                       "file is damaged, save it again from KiCad");
  return -1;
}

}  // namespace

int read_board(std::string_view text, Board& board, Problem& problem) {
  board = Board();
  Sexpr sexpr;
  if (read_sexpr(text, sexpr, problem) != 0 || check_board(sexpr, problem) != 0)
    return -1;
  for (size_t i = 1; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i)) {
    if (sexpr.tokens[i].kind != TokenKind::kOpen) continue;
    std::string_view head = list_head(sexpr, i);
    if (head == "setup" && read_origin(sexpr, i, board, problem) != 0)
      return -1;
    if (head != "footprint" && head != "module") continue;
    board.footprints.emplace_back();
    if (read_footprint(sexpr, i, true, board.footprints.back(), problem) != 0)
      return -1;
  }
  return 0;
}

PlacedBody placed_body(const Board& board, const Footprint& footprint) {
  const BodyBox& box = footprint.body;
  double u = 0, v = 0;
  PlacedBody placed;
  if (box.found) {
    u = (box.min_x + box.max_x) / 2;
    v = (box.min_y + box.max_y) / 2;
    placed.length = box.max_x - box.min_x;
    placed.width = box.max_y - box.min_y;
  }
  SineCosine t = degrees_turn(footprint.angle);
  double x = footprint.x + u * t.cosine + v * t.sine;
  double y = footprint.y - u * t.sine + v * t.cosine;
  placed.x = board.has_origin ? x - board.origin_x : x;
  placed.y = board.has_origin ? board.origin_y - y : -y;
  placed.angle = footprint.angle;
  return placed;
}

}  // namespace korvane
