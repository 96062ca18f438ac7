#include "kicad/footprint.h"

#include <cmath>
#include <initializer_list>

#include "geometry/turn.h"

namespace korvane {

namespace {

// A box side under a micrometre is none.
constexpr double kLeastSide = 0.001;
// The points of a Bezier curve: its ends and two control points.
constexpr int kCurvePoints = 4;

bool is_list(const Sexpr& sexpr, size_t i) {
  return sexpr.tokens[i].kind == TokenKind::kOpen;
}

// Reads the point of the list `head` inside the item at `item`:
// (start x y) in (fp_line ...).
int read_point(const Sexpr& sexpr, size_t item, std::string_view head,
               Point& point, Problem& problem) {
  size_t at = find_child(sexpr, item, head);
  double xy[2];
  if (at != 0 && read_numbers(sexpr, at, xy, 2, 0, problem) != 0) return -1;
  if (at != 0) {
    point = {xy[0], xy[1]};
    return 0;
  }
  problem = problem_at(sexpr.tokens[item].line,
                       list_words(sexpr, item) + " on this line has no (" +
                           std::string(head) + " x y)");
  return -1;
}

// Reads the points named `heads` of the item at `item` into `points`.
int read_points(const Sexpr& sexpr, size_t item,
                std::initializer_list<std::string_view> heads, Point* points,
                Problem& problem) {
  for (std::string_view head : heads)
    if (read_point(sexpr, item, head, *points++, problem) != 0) return -1;
  return 0;
}

// Reads the (pts ...) list at `pts`: each (arc (start) (mid) (end)) in it
// is added to `box`, and each (xy x y) too when `points` is null, else the
// first kCurvePoints go into `points`. `count` is set to the count of
// (xy).
int read_pts(const Sexpr& sexpr, size_t pts, Extent& box, Point* points,
             int& count, Problem& problem) {
  count = 0;
  for (size_t i = pts + 1; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i)) {
    if (!is_list(sexpr, i)) continue;
    std::string_view head = list_head(sexpr, i);
    Point p[3];
    double xy[2];
    if (head == "arc") {
      if (read_points(sexpr, i, {"start", "mid", "end"}, p, problem) != 0)
        return -1;
      add_arc_through(box, p[0], p[1], p[2]);
    } else if (head == "xy") {
      if (read_numbers(sexpr, i, xy, 2, 0, problem) != 0) return -1;
      if (points == nullptr) add_point(box, {xy[0], xy[1]});
      if (points != nullptr && count < kCurvePoints)
        points[count] = {xy[0], xy[1]};
      ++count;
    }
  }
  return 0;
}

// fp_curve: KiCad 6's (pts) of four points, or KiCad 5's (start),
// (bezier1), (bezier2) and (end).
int add_curve(const Sexpr& sexpr, size_t item, Extent& box, Problem& problem) {
  Point p[kCurvePoints];
  size_t pts = find_child(sexpr, item, "pts");
  int count = kCurvePoints;
  if (pts != 0 && read_pts(sexpr, pts, box, p, count, problem) != 0) return -1;
  if (pts == 0 &&
      read_points(sexpr, item, {"start", "bezier1", "bezier2", "end"}, p,
                  problem) != 0)
    return -1;
  if (count == kCurvePoints) {
    add_bezier(box, p[0], p[1], p[2], p[3]);
    return 0;
  }
  problem =
      problem_at(sexpr.tokens[item].line, "(fp_curve ...) on this line has " +
                                              std::to_string(count) +
                                              " points; a Bezier curve has 4");
  return -1;
}

// fp_arc: KiCad 6's (start) (mid) (end), or KiCad 5's (start centre) (end
// first point) (angle sweep), the sweep turning towards +Y, clockwise as
// KiCad draws it.
int add_arc_item(const Sexpr& sexpr, size_t item, Extent& box,
                 Problem& problem) {
  Point p[3];
  if (find_child(sexpr, item, "mid") != 0) {
    if (read_points(sexpr, item, {"start", "mid", "end"}, p, problem) != 0)
      return -1;
    add_arc_through(box, p[0], p[1], p[2]);
    return 0;
  }
  size_t angle = find_child(sexpr, item, "angle");
  double sweep = 0;
  if (angle == 0) {
    problem = problem_at(sexpr.tokens[item].line,
                         "(fp_arc ...) on this line has neither (mid x y) "
                         "nor (angle degrees)");
    return -1;
  }
  if (read_points(sexpr, item, {"start", "end"}, p, problem) != 0 ||
      read_numbers(sexpr, angle, &sweep, 1, 0, problem) != 0)
    return -1;
  add_arc(box, p[0], p[1], sweep);
  return 0;
}

// Adds every point a graphic item passes to the box; text and any other
// item add nothing.
int add_item(const Sexpr& sexpr, size_t item, Extent& box, Problem& problem) {
  std::string_view head = list_head(sexpr, item);
  Point p[2];
  int count = 0;
  if (head == "fp_line" || head == "fp_rect") {
    if (read_points(sexpr, item, {"start", "end"}, p, problem) != 0) return -1;
    add_point(box, p[0]);
    add_point(box, p[1]);
  } else if (head == "fp_circle") {
    if (read_points(sexpr, item, {"center", "end"}, p, problem) != 0) return -1;
    add_circle(box, p[0], std::hypot(p[1].x - p[0].x, p[1].y - p[0].y));
  } else if (head == "fp_poly") {
    size_t pts = find_child(sexpr, item, "pts");
    if (pts != 0) return read_pts(sexpr, pts, box, nullptr, count, problem);
  } else if (head == "fp_arc") {
    return add_arc_item(sexpr, item, box, problem);
  } else if (head == "fp_curve") {
    return add_curve(sexpr, item, box, problem);
  }
  return 0;
}

// The word at token `open + k` of the list at `open`, when only words
// stand before it there; empty otherwise.
std::string_view word_in(const Sexpr& sexpr, size_t open, size_t k) {
  for (size_t i = open + 1; i <= open + k; ++i)
    if (!is_word(sexpr.tokens[i])) return {};
  return sexpr.tokens[open + k].text;
}

// The box of a `width` by `height` rectangle about `centre` turned by `t`.
void add_turned_box(Extent& box, Point centre, double width, double height,
                    const SineCosine& t) {
  double half_x =
      (std::fabs(width * t.cosine) + std::fabs(height * t.sine)) / 2;
  double half_y =
      (std::fabs(width * t.sine) + std::fabs(height * t.cosine)) / 2;
  add_point(box, {centre.x - half_x, centre.y - half_y});
  add_point(box, {centre.x + half_x, centre.y + half_y});
}

// Whether a pad on layer `name` has copper there: every layer but KiCad's
// technical and user layers is copper, whatever a board renames it to.
bool copper_layer(std::string_view name) {
  for (std::string_view technical :
       {".Paste", ".Mask", ".SilkS", ".Silkscreen", ".Adhes", ".Adhesive",
        ".CrtYd", ".Courtyard", ".Fab", ".User", ".Cuts"})
    if (name.ends_with(technical)) return false;
  return !name.starts_with("User.") && name != "Margin";
}

// Whether the pad at `pad` has copper on some layer; a pad that names no
// layers is taken to.
bool has_copper(const Sexpr& sexpr, size_t pad) {
  size_t layers = find_child(sexpr, pad, "layers");
  if (layers == 0) return true;
  for (size_t i = layers + 2; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i))
    if (is_word(sexpr.tokens[i]) && copper_layer(sexpr.tokens[i].text))
      return true;
  return false;
}

// Adds a pad's copper and centre: its size box turned by its own angle,
// which is the file's less the footprint's, or its circle. A hole without
// copper, a pad only on paste or mask layers, or a pad without a place,
// adds nothing; one without a size, its centre.
int add_pad(const Sexpr& sexpr, size_t pad, Footprint& footprint,
            Problem& problem) {
  size_t at = find_child(sexpr, pad, "at");
  if (word_in(sexpr, pad, 3) == "np_thru_hole" || at == 0 ||
      !has_copper(sexpr, pad))
    return 0;
  double place[3] = {0, 0, 0}, size[2] = {0, 0};
  size_t sized = find_child(sexpr, pad, "size");
  if (read_numbers(sexpr, at, place, 2, 1, problem) != 0 ||
      (sized != 0 && read_numbers(sexpr, sized, size, 2, 0, problem) != 0))
    return -1;
  Point centre{place[0], place[1]};
  add_point(footprint.pad_centres, centre);
  if (word_in(sexpr, pad, 4) == "circle")
    add_circle(footprint.copper, centre, size[0] / 2);
  else
    add_turned_box(footprint.copper, centre, size[0], size[1],
                   degrees_turn(place[2] - footprint.angle));
  return 0;
}

// The layer named by the (layer ...) inside the list at `open`.
std::string_view layer_of(const Sexpr& sexpr, size_t open) {
  size_t layer = find_child(sexpr, open, "layer");
  if (layer == 0 || !is_word(sexpr.tokens[layer + 2])) return {};
  return sexpr.tokens[layer + 2].text;
}

// The boxes of the side's fab and courtyard drawings and of the pads.
int read_boxes(const Sexpr& sexpr, size_t open, Footprint& footprint,
               Problem& problem) {
  std::string_view fab = fab_layer(footprint);
  std::string_view courtyard = courtyard_layer(footprint);
  for (size_t i = open + 1; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i)) {
    if (!is_list(sexpr, i)) continue;
    std::string_view head = list_head(sexpr, i);
    if (head == "pad" && add_pad(sexpr, i, footprint, problem) != 0) return -1;
    if (!head.starts_with("fp_")) continue;
    std::string_view layer = layer_of(sexpr, i);
    Extent* box = layer == fab         ? &footprint.fab
                  : layer == courtyard ? &footprint.courtyard
                                       : nullptr;
    if (box != nullptr && add_item(sexpr, i, *box, problem) != 0) return -1;
  }
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

// (attr smd exclude_from_pos_files dnp ...): whether the part is left out
// of placement lists, and whether it is marked do-not-populate.
void read_attributes(const Sexpr& sexpr, size_t attr, Footprint& footprint) {
  for (size_t i = attr + 2; sexpr.tokens[i].kind != TokenKind::kClose;
       i = next_item(sexpr, i)) {
    std::string_view word = sexpr.tokens[i].text;
    if (word == "exclude_from_pos_files" || word == "board_only" ||
        word == "virtual")
      footprint.excluded = true;
    if (word == "dnp") footprint.dnp = true;
  }
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
      read_attributes(sexpr, i, footprint);
    } else if (head == "fp_text" || head == "property") {
      read_reference(sexpr, i, footprint);
    }
  }
  return 0;
}

// The body Footprint::body describes.
BodyBox drawn_body(const Footprint& f) {
  const Extent& fab = f.fab;
  const Extent& court = f.courtyard;
  bool marker =
      !court.empty && (extent_length(fab) < extent_length(court) / 10 ||
                       extent_width(fab) < extent_width(court) / 10);
  if (has_area(fab) && !marker) return {fab, fab_layer(f)};
  if (has_area(court)) return {court, courtyard_layer(f)};
  return {};
}

}  // namespace

bool has_area(const Extent& box) {
  return !box.empty && extent_length(box) >= kLeastSide &&
         extent_width(box) >= kLeastSide;
}

bool partial_fab(const Footprint& f) {
  if (f.body.extent.empty || f.body.layer != fab_layer(f)) return false;
  double fab[2] = {extent_length(f.fab), extent_width(f.fab)};
  double court[2] = {extent_length(f.courtyard), extent_width(f.courtyard)};
  for (int k = 0; k < 2; ++k)
    if (court[k] > 10 && fab[k] < 0.3 * court[k]) return true;
  return false;
}

const char* fab_layer(const Footprint& f) {
  return f.bottom ? "B.Fab" : "F.Fab";
}

const char* courtyard_layer(const Footprint& f) {
  return f.bottom ? "B.CrtYd" : "F.CrtYd";
}

int read_footprint(const Sexpr& sexpr, size_t open,
                   std::string_view bottom_copper, Position position,
                   Footprint& footprint, Problem& problem) {
  footprint = Footprint();
  footprint.line = static_cast<int>(sexpr.tokens[open].line);
  if (read_name(sexpr, open, footprint, problem) != 0) return -1;
  footprint.bottom = layer_of(sexpr, open) == bottom_copper;
  bool placed = false;
  if (read_properties(sexpr, open, placed, footprint, problem) != 0) return -1;
  if (position == Position::kRequired && !placed) {
    const std::string& who =
        footprint.reference.empty() ? footprint.name : footprint.reference;
    problem = problem_at(footprint.line,
                         "the footprint " + who +
                             " on this line has no position (at x y); "
                             "save the board again from KiCad");
    return -1;
  }
  if (read_boxes(sexpr, open, footprint, problem) != 0) return -1;
  footprint.body = drawn_body(footprint);
  return 0;
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
  return read_footprint(sexpr, 0, "B.Cu", Position::kOptional, footprint,
                        problem);
}

}  // namespace korvane
