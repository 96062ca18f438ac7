#include "kicad/footprint.h"

#include <cmath>

#include "geometry/turn.h"

namespace korvane {

namespace {

bool is_list(const Sexpr& sexpr, size_t i) {
  return sexpr.tokens[i].kind == TokenKind::kOpen;
}

// Reads the point of the list `head` inside the item at `item`:
// (start x y) in (fp_line ...).
int read_point(const Sexpr& sexpr, size_t item, std::string_view head,
               double point[2], Problem& problem) {
  size_t at = find_child(sexpr, item, head);
  if (at != 0) return read_numbers(sexpr, at, point, 2, 0, problem);
  problem = problem_at(sexpr.tokens[item].line,
                       list_words(sexpr, item) + " on this line has no (" +
                           std::string(head) + " x y)");
  return -1;
}

void add_point(BodyBox& box, const double point[2]) {
  if (!box.found) {
    box.found = true;
    box.min_x = box.max_x = point[0];
    box.min_y = box.max_y = point[1];
    return;
  }
  box.min_x = std::fmin(box.min_x, point[0]);
  box.max_x = std::fmax(box.max_x, point[0]);
  box.min_y = std::fmin(box.min_y, point[1]);
  box.max_y = std::fmax(box.max_y, point[1]);
}

// Adds the points named `heads` of the item at `item` to the box.
int add_points(const Sexpr& sexpr, size_t item,
               std::initializer_list<std::string_view> heads, BodyBox& box,
               Problem& problem) {
  for (std::string_view head : heads) {
    double point[2];
    if (read_point(sexpr, item, head, point, problem) != 0) return -1;
    add_point(box, point);
  }
  return 0;
}

// KiCad 5's arc: (start centre) (end first point) (angle sweep), the sweep
// in degrees, clockwise as KiCad draws it (its Y points down). Adds its
// first, middle and last points.
int add_legacy_arc(const Sexpr& sexpr, size_t item, size_t angle, BodyBox& box,
                   Problem& problem) {
  double centre[2], first[2], sweep = 0;
  if (read_point(sexpr, item, "start", centre, problem) != 0 ||
      read_point(sexpr, item, "end", first, problem) != 0 ||
      read_numbers(sexpr, angle, &sweep, 1, 0, problem) != 0)
    return -1;
  add_point(box, first);
  double dx = first[0] - centre[0], dy = first[1] - centre[1];
  for (double turn : {sweep / 2, sweep}) {
    SineCosine t = degrees_turn(turn);
    double point[2] = {centre[0] + dx * t.cosine - dy * t.sine,
                       centre[1] + dx * t.sine + dy * t.cosine};
    add_point(box, point);
  }
  return 0;
}

int add_circle(const Sexpr& sexpr, size_t item, BodyBox& box,
               Problem& problem) {
  double centre[2], end[2];
  if (read_point(sexpr, item, "center", centre, problem) != 0 ||
      read_point(sexpr, item, "end", end, problem) != 0)
    return -1;
  double radius = std::hypot(end[0] - centre[0], end[1] - centre[1]);
  double low[2] = {centre[0] - radius, centre[1] - radius};
  double high[2] = {centre[0] + radius, centre[1] + radius};
  add_point(box, low);
  add_point(box, high);
  return 0;
}

// fp_poly: every (xy x y) of its (pts ...), and the three points of every
// (arc ...) among them.
int add_polygon(const Sexpr& sexpr, size_t item, BodyBox& box,
                Problem& problem) {
  size_t pts = find_child(sexpr, item, "pts");
  if (pts == 0) return 0;
  for (size_t i = pts + 1; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i)) {
    if (!is_list(sexpr, i)) continue;
    std::string_view head = list_head(sexpr, i);
    double point[2];
    if (head == "xy" && read_numbers(sexpr, i, point, 2, 0, problem) != 0)
      return -1;
    if (head == "xy") add_point(box, point);
    if (head == "arc" &&
        add_points(sexpr, i, {"start", "mid", "end"}, box, problem) != 0)
      return -1;
  }
  return 0;
}

// Adds a graphic item's points to the box; text and any other item add
// nothing.
int add_item(const Sexpr& sexpr, size_t item, BodyBox& box, Problem& problem) {
  std::string_view head = list_head(sexpr, item);
  if (head == "fp_line" || head == "fp_rect")
    return add_points(sexpr, item, {"start", "end"}, box, problem);
  if (head == "fp_circle") return add_circle(sexpr, item, box, problem);
  if (head == "fp_poly") return add_polygon(sexpr, item, box, problem);
  if (head != "fp_arc") return 0;
  if (find_child(sexpr, item, "mid") != 0)
    return add_points(sexpr, item, {"start", "mid", "end"}, box, problem);
  size_t angle = find_child(sexpr, item, "angle");
  if (angle != 0) return add_legacy_arc(sexpr, item, angle, box, problem);
  problem = problem_at(sexpr.tokens[item].line,
                       "(fp_arc ...) on this line has neither (mid x y) nor "
                       "(angle degrees)");
  return -1;
}

// The layer named by the (layer ...) inside the list at `open`.
std::string_view layer_of(const Sexpr& sexpr, size_t open) {
  size_t layer = find_child(sexpr, open, "layer");
  if (layer == 0 || !is_word(sexpr.tokens[layer + 2])) return {};
  return sexpr.tokens[layer + 2].text;
}

// The body box: the fab layer's items, else the courtyard's.
int read_body(const Sexpr& sexpr, size_t open, Footprint& footprint,
              Problem& problem) {
  const char* layers[2] = {"F.Fab", "F.CrtYd"};
  if (footprint.bottom) layers[0] = "B.Fab", layers[1] = "B.CrtYd";
  BodyBox boxes[2];
  for (size_t i = open + 1; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i)) {
    if (!is_list(sexpr, i) || !list_head(sexpr, i).starts_with("fp_")) continue;
    std::string_view layer = layer_of(sexpr, i);
    for (int k = 0; k < 2; ++k) {
      if (layer == layers[k] && add_item(sexpr, i, boxes[k], problem) != 0)
        return -1;
    }
  }
  footprint.body = boxes[0].found ? boxes[0] : boxes[1];
  if (footprint.body.found)
    footprint.body.layer = boxes[0].found ? layers[0] : layers[1];
  return 0;
}

// "Resistor_SMD:R_0603_1608Metric" into library and name.
int read_name(const Sexpr& sexpr, size_t open, Footprint& footprint,
              Problem& problem) {
  const Token& token = sexpr.tokens[open + 2];
  if (!is_word(token)) {
    problem = problem_at(footprint.line, list_words(sexpr, open) +
                                             " on this line has no name; "
                                             "KiCad writes it first");
    return -1;
  }
  std::string name = token_text(token);
  size_t colon = name.find(':');
  if (colon != std::string::npos) {
    footprint.library = name.substr(0, colon);
    name.erase(0, colon + 1);
  }
  footprint.name = std::move(name);
  return 0;
}

// (attr smd exclude_from_pos_files ...): whether the part is left out of
// placement lists.
bool excluded_by(const Sexpr& sexpr, size_t attr) {
  for (size_t i = attr + 2; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i)) {
    std::string_view word = sexpr.tokens[i].text;
    if (word == "exclude_from_pos_files" || word == "board_only" ||
        word == "virtual")
      return true;
  }
  return false;
}

// (fp_text reference "R1" ...) or (property "Reference" "R1" ...).
void read_reference(const Sexpr& sexpr, size_t open, Footprint& footprint) {
  const Token& key = sexpr.tokens[open + 2];
  if (!is_word(key) || !is_word(sexpr.tokens[open + 3])) return;
  std::string_view head = list_head(sexpr, open);
  if ((head == "fp_text" && key.text == "reference") ||
      (head == "property" && key.text == "Reference"))
    footprint.reference = token_text(sexpr.tokens[open + 3]);
}

// The footprint's own (at x y angle), side, attributes and reference.
int read_properties(const Sexpr& sexpr, size_t open, bool& placed,
                    Footprint& footprint, Problem& problem) {
  for (size_t i = open + 1; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i)) {
    if (!is_list(sexpr, i)) continue;
    std::string_view head = list_head(sexpr, i);
    if (head == "at" && !placed) {
      double at[3] = {0, 0, 0};
      if (read_numbers(sexpr, i, at, 2, 1, problem) != 0) return -1;
      footprint.x = at[0], footprint.y = at[1], footprint.angle = at[2];
      placed = true;
    } else if (head == "attr") {
      footprint.excluded = footprint.excluded || excluded_by(sexpr, i);
    } else if (head == "fp_text" || head == "property") {
      read_reference(sexpr, i, footprint);
    }
  }
  return 0;
}

}  // namespace

int read_footprint(const Sexpr& sexpr, size_t open, bool needs_position,
                   Footprint& footprint, Problem& problem) {
  footprint = Footprint();
  footprint.line = static_cast<int>(sexpr.tokens[open].line);
  if (read_name(sexpr, open, footprint, problem) != 0) return -1;
  footprint.bottom = layer_of(sexpr, open) == "B.Cu";
  bool placed = false;
  if (read_properties(sexpr, open, placed, footprint, problem) != 0) return -1;
  if (needs_position && !placed) {
    const std::string& who =
        footprint.reference.empty() ? footprint.name : footprint.reference;
    problem = problem_at(footprint.line,
                         "the footprint " + who +
                             " on this line has no position (at x y); "
                             "save the board again from KiCad");
    return -1;
  }
  return read_body(sexpr, open, footprint, problem);
}

int read_footprint_file(std::string_view text, Footprint& footprint,
                        Problem& problem) {
  Sexpr sexpr;
  if (read_sexpr(text, sexpr, problem) != 0) return -1;
  std::string_view head;
  if (!sexpr.tokens.empty() && is_list(sexpr, 0)) head = list_head(sexpr, 0);
  if (head != "footprint" && head != "module") {
    int line = sexpr.tokens.empty() ? 0 : sexpr.tokens[0].line;
    problem = problem_at(line,
                         "is not a KiCad footprint: it does not start with "
                         "(footprint or (module");
    return -1;
  }
  return read_footprint(sexpr, 0, false, footprint, problem);
}

}  // namespace korvane
