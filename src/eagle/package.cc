#include "eagle/package.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "eagle/values.h"
#include "text/message.h"
#include "text/scan.h"

namespace korvane {

namespace {

constexpr long kDocuLayer = 51;   // tDocu
constexpr long kPlaceLayer = 21;  // tPlace
// A curve of less than this many degrees is drawn as its chord: its middle
// strays less than a micrometre from it over 100 mm, and the centre of a
// flatter arc is too far away to reckon with.
constexpr double kFlattest = 1e-3;
// How far a centre may lie outside a box and still be held by it.
constexpr double kOnEdge = 1e-6;

// The boxes a package's items are gathered into.
struct Boxes {
  Extent docu, place, copper;
};

Point plus(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }

// The drawing layer's box that an item on `layer` goes into; null for the
// layers no body is taken from.
Extent* layer_box(Boxes& boxes, long layer) {
  if (layer == kDocuLayer) return &boxes.docu;
  if (layer == kPlaceLayer) return &boxes.place;
  return nullptr;
}

// Reads the required numbers `names` of `node` into `values`.
int read_points(const XmlDocument& xml, const XmlNode& node,
                const char* const names[], double values[], int count,
                Problem& problem) {
  for (int i = 0; i < count; ++i)
    if (read_number(xml, node, names[i], Need::kRequired, values[i], problem) !=
        0)
      return -1;
  return 0;
}

// The optional curve attribute of a wire or vertex, in degrees.
int read_curve(const XmlDocument& xml, const XmlNode& node, double& curve,
               Problem& problem) {
  curve = 0;
  if (read_number(xml, node, "curve", Need::kOptional, curve, problem) != 0)
    return -1;
  if (std::fabs(curve) < kFlattest) curve = 0;
  return 0;
}

// A wire: the line, or the arc its curve makes of it.
int add_wire(const XmlDocument& xml, const XmlNode& wire, Extent& box,
             Problem& problem) {
  static const char* const kNames[] = {"x1", "y1", "x2", "y2"};
  double v[4], curve = 0;
  if (read_points(xml, wire, kNames, v, 4, problem) != 0 ||
      read_curve(xml, wire, curve, problem) != 0)
    return -1;
  add_arc_between(box, {v[0], v[1]}, {v[2], v[3]}, curve);
  return 0;
}

// The corners of a rectangle of `half` half-sizes about `centre`, turned
// by `r` about its centre, each a circle of `radius`.
void add_turned_box(Extent& box, Point centre, Point half, const Rotation& r,
                    double radius) {
  for (Point corner : {Point{-half.x, -half.y}, Point{half.x, -half.y},
                       Point{half.x, half.y}, Point{-half.x, half.y}})
    add_circle(box, plus(centre, rotated(corner, r)), radius);
}

// A rectangle, turned by its rot about its centre.
int add_rectangle(const XmlDocument& xml, const XmlNode& rectangle, Extent& box,
                  Problem& problem) {
  static const char* const kNames[] = {"x1", "y1", "x2", "y2"};
  double v[4];
  Rotation r;
  if (read_points(xml, rectangle, kNames, v, 4, problem) != 0 ||
      read_rotation(xml, rectangle, r, problem) != 0)
    return -1;
  add_turned_box(box, {(v[0] + v[2]) / 2, (v[1] + v[3]) / 2},
                 {std::fabs(v[2] - v[0]) / 2, std::fabs(v[3] - v[1]) / 2}, r,
                 0);
  return 0;
}

// A circle, filled or not.
int add_circle_item(const XmlDocument& xml, const XmlNode& circle, Extent& box,
                    Problem& problem) {
  static const char* const kNames[] = {"x", "y", "radius"};
  double v[3];
  if (read_points(xml, circle, kNames, v, 3, problem) != 0) return -1;
  add_circle(box, {v[0], v[1]}, v[2]);
  return 0;
}

// A polygon's outline: each vertex's curve bends the edge to the next, the
// last one's the edge back to the first.
int add_polygon(const XmlDocument& xml, const XmlNode& polygon, Extent& box,
                Problem& problem) {
  static const char* const kNames[] = {"x", "y"};
  Point first, last;
  double last_curve = 0;
  bool any = false;
  for (const XmlNode* v = xml_child(&polygon, "vertex"); v;
       v = xml_next(v, "vertex")) {
    double xy[2], curve = 0;
    if (read_points(xml, *v, kNames, xy, 2, problem) != 0 ||
        read_curve(xml, *v, curve, problem) != 0)
      return -1;
    Point p{xy[0], xy[1]};
    if (any) add_arc_between(box, last, p, last_curve);
    first = any ? first : p;
    last = p;
    last_curve = curve;
    any = true;
  }
  if (any) add_arc_between(box, last, first, last_curve);
  return 0;
}

// Adds the wire, rectangle, circle or polygon `item` to the box of its
// layer, when it is one a body is taken from.
int add_drawing(const XmlDocument& xml, const XmlNode& item, Boxes& boxes,
                Problem& problem) {
  double layer = 0;
  if (read_number(xml, item, "layer", Need::kRequired, layer, problem) != 0)
    return -1;
  Extent* box = layer_box(boxes, std::lround(layer));
  if (box == nullptr || layer != std::round(layer)) return 0;
  std::string_view name = xml_name(item);
  if (name == "wire") return add_wire(xml, item, *box, problem);
  if (name == "rectangle") return add_rectangle(xml, item, *box, problem);
  if (name == "circle") return add_circle_item(xml, item, *box, problem);
  return add_polygon(xml, item, *box, problem);
}

// Reads the required numbers `names` of a pad or smd into `values`, its
// optional number `extra` into `value`, and its rotation.
int read_copper(const XmlDocument& xml, const XmlNode& node,
                const char* const names[], int count, const char* extra,
                double values[], double& value, Rotation& r, Problem& problem) {
  return read_points(xml, node, names, values, count, problem) != 0 ||
                 read_number(xml, node, extra, Need::kOptional, value,
                             problem) != 0 ||
                 read_rotation(xml, node, r, problem) != 0
             ? -1
             : 0;
}

// An smd: dx by dy about (x, y), its corners rounded by `roundness` per
// cent of half its shorter side, turned by its rot.
int add_smd(const XmlDocument& xml, const XmlNode& smd, Extent& copper,
            Problem& problem) {
  static const char* const kNames[] = {"x", "y", "dx", "dy"};
  double v[4], roundness = 0;
  Rotation r;
  if (read_copper(xml, smd, kNames, 4, "roundness", v, roundness, r, problem) !=
      0)
    return -1;
  double dx = std::fabs(v[2]), dy = std::fabs(v[3]);
  double radius =
      std::clamp(roundness, 0.0, 100.0) / 100 * std::min(dx, dy) / 2;
  add_turned_box(copper, {v[0], v[1]}, {dx / 2 - radius, dy / 2 - radius}, r,
                 radius);
  return 0;
}

// A pad's copper diameter: its own, else the drill with the design rules'
// restring on each side.
double pad_diameter(double drill, double diameter, const PadRules& rules) {
  if (diameter > 0) return diameter;
  double ring = std::clamp(drill * rules.restring, rules.least,
                           std::max(rules.least, rules.most));
  return drill + 2 * ring;
}

// The copper of a pad of diameter `d` and `shape` at `at`, turned by `r`.
void add_pad_copper(Extent& copper, Point at, const Rotation& r,
                    std::string_view shape, double d, const PadRules& rules) {
  if (shape == "square")
    return add_turned_box(copper, at, {d / 2, d / 2}, r, 0);
  if (shape == "octagon") {
    Point corner{d / 2, d / 2 * (std::sqrt(2.0) - 1)};
    for (int k = 0; k < 8; ++k)
      add_point(copper,
                plus(at, rotated(turned(corner, degrees_turn(45.0 * k)), r)));
    return;
  }
  double stretch = d *
                   (shape == "long"     ? rules.long_percent
                    : shape == "offset" ? rules.offset_percent
                                        : 0) /
                   100;
  double from = shape == "offset" ? 0 : -stretch / 2;
  for (double u : {from, from + stretch})
    add_circle(copper, plus(at, rotated({u, 0}, r)), d / 2);
}

// A through-hole pad, its shape and size from its attributes and the
// design rules.
int add_pad(const XmlDocument& xml, const XmlNode& pad, const PadRules& rules,
            Extent& copper, Problem& problem) {
  static const char* const kNames[] = {"x", "y", "drill"};
  double v[3], diameter = 0;
  Rotation r;
  if (read_copper(xml, pad, kNames, 3, "diameter", v, diameter, r, problem) !=
      0)
    return -1;
  std::string_view shape = "round";
  xml_attribute(pad, "shape", shape);
  add_pad_copper(copper, {v[0], v[1]}, r, shape,
                 pad_diameter(std::fabs(v[2]), diameter, rules), rules);
  return 0;
}

// Whether `box` has a length and a width and holds `p`.
bool holds(const Extent& box, Point p) {
  return !box.empty && extent_length(box) > 0 && extent_width(box) > 0 &&
         p.x >= box.min_x - kOnEdge && p.x <= box.max_x + kOnEdge &&
         p.y >= box.min_y - kOnEdge && p.y <= box.max_y + kOnEdge;
}

// The body: tDocu, else tPlace, where its box holds the copper's centre,
// else the copper.
void pick_body(const Boxes& boxes, PackageBody& body) {
  body.copper = boxes.copper;
  if (boxes.copper.empty) return;
  Point centre = extent_centre(boxes.copper);
  if (holds(boxes.docu, centre)) {
    body.box = boxes.docu, body.layer = "tDocu";
  } else if (holds(boxes.place, centre)) {
    body.box = boxes.place, body.layer = "tPlace";
  } else if (extent_length(boxes.copper) > 0 &&
             extent_width(boxes.copper) > 0) {
    body.box = boxes.copper, body.layer = "copper";
  }
}

// Reads the param `name` of `node` into `value` when it is `wanted`: a
// number, or a size with its unit.
enum class RuleValue { kNumber, kSize };
int read_param(const XmlDocument& xml, const XmlNode& param,
               std::string_view wanted, RuleValue kind, double& value,
               Problem& problem) {
  bool size = kind == RuleValue::kSize;
  std::string_view name, text;
  if (!xml_attribute(param, "name", name) || name != wanted) return 0;
  double read = 0;
  if (xml_attribute(param, "value", text) &&
      (size ? rule_size(text, read) : read_decimal(text, read)) &&
      std::fabs(read) <= 100000) {
    value = read;
    return 0;
  }
  problem = problem_at(xml_line(xml, param),
                       "the design rule " + korvane::quoted(name) +
                           " has the value " + korvane::quoted(text) +
                           ", which is not " +
                           (size ? "a size such as 10mil" : "a number") +
                           "; the file is not read");
  return -1;
}

}  // namespace

int read_pad_rules(const XmlDocument& xml, const XmlNode* designrules,
                   PadRules& rules, Problem& problem) {
  rules = PadRules();
  for (const XmlNode* p = xml_child(designrules, "param"); p;
       p = xml_next(p, "param")) {
    RuleValue number = RuleValue::kNumber, size = RuleValue::kSize;
    if (read_param(xml, *p, "rvPadTop", number, rules.restring, problem) != 0 ||
        read_param(xml, *p, "rlMinPadTop", size, rules.least, problem) != 0 ||
        read_param(xml, *p, "rlMaxPadTop", size, rules.most, problem) != 0 ||
        read_param(xml, *p, "psElongationLong", number, rules.long_percent,
                   problem) != 0 ||
        read_param(xml, *p, "psElongationOffset", number, rules.offset_percent,
                   problem) != 0)
      return -1;
  }
  return 0;
}

int read_package(const XmlDocument& xml, const XmlNode& package,
                 const PadRules& rules, PackageBody& body, Problem& problem) {
  body = PackageBody();
  Boxes boxes;
  for (const XmlNode* item = xml_child(&package, ""); item;
       item = xml_next(item, "")) {
    std::string_view name = xml_name(*item);
    int status = 0;
    if (name == "wire" || name == "rectangle" || name == "circle" ||
        name == "polygon")
      status = add_drawing(xml, *item, boxes, problem);
    else if (name == "smd")
      status = add_smd(xml, *item, boxes.copper, problem);
    else if (name == "pad")
      status = add_pad(xml, *item, rules, boxes.copper, problem);
    if (status != 0) return -1;
  }
  pick_body(boxes, body);
  return 0;
}

}  // namespace korvane
