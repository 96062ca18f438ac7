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

// Whether a layer of this type holds copper.
bool is_copper_type(std::string_view type) {
  return type == "signal" || type == "power" || type == "mixed" ||
         type == "jumper";
}

// The name of the copper layer numbered `number` in the (layers ...)
// table at `layers`: (31 "B.Cu" signal); empty when there is none.
std::string copper_named(const Sexpr& sexpr, size_t layers, double number) {
  for (size_t i = layers + 1; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i)) {
    const Token* words = &sexpr.tokens[i + 1];
    double found = 0;
    if (sexpr.tokens[i].kind != TokenKind::kOpen || !is_word(words[0]) ||
        !is_word(words[1]) || !is_word(words[2]) ||
        !token_number(words[0], found) || found != number)
      continue;
    if (is_copper_type(words[2].text)) return token_text(words[1]);
  }
  return {};
}

// The bottom copper layer's name by its number: 31 up to KiCad 8, where
// KiCad 4 and 5 let it be renamed; 2 from KiCad 9 on, where 31 is F.CrtYd.
void read_bottom_copper(const Sexpr& sexpr, Board& board) {
  size_t layers = find_child(sexpr, 0, "layers");
  if (layers == 0) return;
  for (double number : {31, 2}) {
    std::string name = copper_named(sexpr, layers, number);
    if (name.empty()) continue;
    board.bottom_copper = name;
    return;
  }
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
  read_bottom_copper(sexpr, board);
  for (size_t i = 1; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i)) {
    if (sexpr.tokens[i].kind != TokenKind::kOpen) continue;
    std::string_view head = list_head(sexpr, i);
    if (head == "setup" && read_origin(sexpr, i, board, problem) != 0)
      return -1;
    if (head != "footprint" && head != "module") continue;
    board.footprints.emplace_back();
    if (read_footprint(sexpr, i, board.bottom_copper, Position::kRequired,
                       board.footprints.back(), problem) != 0)
      return -1;
  }
  return 0;
}

PlacedBody placed_body(const Board& board, const Footprint& footprint,
                       const Extent& body) {
  double u = 0, v = 0;
  PlacedBody placed;
  if (!body.empty) {
    Point centre = extent_centre(body);
    u = centre.x, v = centre.y;
    placed.length = extent_length(body);
    placed.width = extent_width(body);
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
