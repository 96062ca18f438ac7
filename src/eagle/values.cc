#include "eagle/values.h"

#include <cmath>

#include "text/message.h"
#include "text/scan.h"

namespace korvane {

namespace {

// No board is larger; the KiCad reader takes the same bound.
constexpr double kFarthest = 100000;

// "<wire>" for a message.
std::string tag_of(const XmlNode& node) {
  std::string tag(1, '<');
  tag += escaped(xml_name(node));
  return tag += '>';
}

Problem missing(const XmlDocument& xml, const XmlNode& node, const char* name) {
  return problem_at(xml_line(xml, node), tag_of(node) + " has no " + name +
                                             ", which Eagle always writes; "
                                             "the file is damaged and is "
                                             "not read");
}

}  // namespace

int read_number(const XmlDocument& xml, const XmlNode& node, const char* name,
                Need need, double& value, Problem& problem) {
  std::string_view text;
  if (!xml_attribute(node, name, text)) {
    if (need == Need::kOptional) return 0;
    problem = missing(xml, node, name);
    return -1;
  }
  double read = 0;
  if (read_decimal(text, read) && std::fabs(read) <= kFarthest) {
    value = read;
    return 0;
  }
  problem = problem_at(
      xml_line(xml, node),
      std::string("the ") + name + " " + korvane::quoted(text) + " of " +
          tag_of(node) +
          (read_decimal(text, read) ? " lies beyond 100 m, as no board does"
                                    : " is not a number") +
          "; the file is not read");
  return -1;
}

int read_rotation(const XmlDocument& xml, const XmlNode& node,
                  Rotation& rotation, Problem& problem) {
  rotation = Rotation();
  std::string_view text;
  if (!xml_attribute(node, "rot", text)) return 0;
  std::string_view rest = text;
  if (rest.starts_with('S')) rest.remove_prefix(1);
  rotation.mirrored = rest.starts_with('M');
  if (rotation.mirrored) rest.remove_prefix(1);
  double degrees = 0;
  if (!rest.starts_with('R') || !read_decimal(rest.substr(1), degrees) ||
      std::fabs(degrees) > kFarthest) {
    problem =
        problem_at(xml_line(xml, node),
                   "the rot " + korvane::quoted(text) + " of " + tag_of(node) +
                       " is not a rotation such as R90 or MR22.5; "
                       "the file is not read");
    return -1;
  }
  degrees = std::fmod(degrees, 360.0);
  rotation.degrees = degrees < 0 ? degrees + 360 : degrees + 0.0;
  return 0;
}

int read_name(const XmlDocument& xml, const XmlNode& node, const char* name,
              Need need, std::string& value, Problem& problem) {
  std::string_view text;
  bool found = xml_attribute(node, name, text);
  if (!found || text.empty()) {
    value.clear();
    if (need == Need::kOptional) return 0;
    problem = missing(xml, node, name);
    return -1;
  }
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) continue;
    problem = problem_at(xml_line(xml, node),
                         std::string("the ") + name + " " +
                             korvane::quoted(text) + " of " + tag_of(node) +
                             " holds a control character, which no name "
                             "may hold; rename it in Eagle");
    return -1;
  }
  value.assign(text);
  return 0;
}

bool rule_size(std::string_view text, double& mm) {
  static const struct {
    const char* suffix;
    double mm;
  } kUnits[] = {{"mil", 0.0254}, {"mm", 1}, {"inch", 25.4}, {"mic", 0.001}};
  double factor = 1;
  for (const auto& unit : kUnits) {
    if (!text.ends_with(unit.suffix)) continue;
    text.remove_suffix(std::string_view(unit.suffix).size());
    factor = unit.mm;
    break;
  }
  double value = 0;
  if (!read_decimal(text, value) || std::fabs(value) > kFarthest) return false;
  mm = value * factor;
  return true;
}

}  // namespace korvane
