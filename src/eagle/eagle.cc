#include "eagle/eagle.h"

#include <unordered_map>

#include "eagle/package.h"
#include "eagle/values.h"
#include "eagle/xml.h"
#include "text/encoding.h"
#include "text/message.h"

namespace korvane {

namespace {

// One <library> and where its packages went.
struct LibraryIndex {
  std::string name;
  std::string urn;
  std::unordered_map<std::string, int> packages;  // name to index
};

// The libraries of a file, and the first of each URN and name, of each
// URN and of each name ("b", "u", "n" and the words), so that an element
// finds its library at once.
struct Libraries {
  std::vector<LibraryIndex> list;
  std::unordered_map<std::string, int> first;
  std::unordered_map<std::string, int> named;  // how many of each name
};

std::string both_key(const std::string& urn, const std::string& name) {
  return "b" + urn + '\0' + name;
}

// Enters the library read last into the keys of `libraries`.
void index_last(Libraries& libraries) {
  auto at = static_cast<int>(libraries.list.size() - 1);
  const LibraryIndex& l = libraries.list.back();
  libraries.first.emplace(both_key(l.urn, l.name), at);
  libraries.first.emplace("u" + l.urn, at);
  libraries.first.emplace("n" + l.name, at);
  ++libraries.named[l.name];
}

// The <drawing> of an Eagle file, and its <board> or <library>.
int find_content(const XmlDocument& xml, const XmlNode*& content,
                 Problem& problem) {
  const XmlNode* root = xml_root(xml);
  if (xml_name(*root) != "eagle") {
    problem = problem_at(xml_line(xml, *root),
                         "is XML, but no Eagle file: its root element is <" +
                             escaped(xml_name(*root)) + ">, not <eagle>");
    return -1;
  }
  const XmlNode* drawing = xml_child(root, "drawing");
  content = xml_child(drawing, "board");
  if (content == nullptr) content = xml_child(drawing, "library");
  if (content != nullptr) return 0;
  const XmlNode* schematic = xml_child(drawing, "schematic");
  problem = problem_at(
      xml_line(xml, schematic ? *schematic : *root),
      schematic ? "is an Eagle schematic, which places no part; give the "
                  "board file (.brd) made from it"
                : "is an Eagle file that holds no board and no library");
  return -1;
}

// Reads the packages of `library` into `design` and `index`.
int read_library(const XmlDocument& xml, const XmlNode& library,
                 const PadRules& rules, EagleDesign& design,
                 LibraryIndex& index, Problem& problem) {
  if (read_name(xml, library, "name", Need::kOptional, index.name, problem) !=
          0 ||
      read_name(xml, library, "urn", Need::kOptional, index.urn, problem) != 0)
    return -1;
  for (const XmlNode* p = xml_child(xml_child(&library, "packages"), "package");
       p; p = xml_next(p, "package")) {
    EaglePackage package;
    package.line = xml_line(xml, *p);
    package.library = index.name;
    if (read_name(xml, *p, "name", Need::kRequired, package.name, problem) !=
            0 ||
        read_package(xml, *p, rules, package.body, problem) != 0)
      return -1;
    index.packages.emplace(package.name,
                           static_cast<int>(design.packages.size()));
    design.packages.push_back(std::move(package));
  }
  return 0;
}

// Finds the element's package in the library it names: by its URN when a
// library has it (and the name too, where one does), else the only one of
// its name, or the first when the element gives no URN. A URN no library
// has, where several bear the name, leaves the element ambiguous.
void find_package(const Libraries& libraries, const std::string& urn,
                  EagleElement& element) {
  const std::string& name = element.library;
  std::string keys[] = {both_key(urn, name), "u" + urn, "n" + name};
  for (int k = urn.empty() ? 2 : 0; k < 3; ++k) {
    auto found = libraries.first.find(keys[k]);
    if (found == libraries.first.end()) continue;
    auto named = libraries.named.find(name);
    element.ambiguous = k == 2 && !urn.empty() &&
                        named != libraries.named.end() && named->second > 1;
    const auto& packages = libraries.list[found->second].packages;
    auto package = packages.find(element.package_name);
    if (!element.ambiguous && package != packages.end())
      element.package = package->second;
    return;
  }
}

// The name of the variant the board is set to; empty for none.
std::string current_variant(const XmlNode& board) {
  for (const XmlNode* v =
           xml_child(xml_child(&board, "variantdefs"), "variantdef");
       v; v = xml_next(v, "variantdef")) {
    std::string_view current, name;
    if (xml_attribute(*v, "current", current) && current == "yes" &&
        xml_attribute(*v, "name", name))
      return std::string(name);
  }
  return "";
}

// Whether `element` is fitted: its own populate, unless its <variant> for
// the current variant says otherwise.
bool populated(const XmlNode& element, const std::string& variant) {
  std::string_view populate, name;
  bool fitted =
      !xml_attribute(element, "populate", populate) || populate != "no";
  for (const XmlNode* v = xml_child(&element, "variant"); v;
       v = xml_next(v, "variant")) {
    if (!variant.empty() && xml_attribute(*v, "name", name) &&
        name == variant && xml_attribute(*v, "populate", populate))
      fitted = populate != "no";
  }
  return fitted;
}

// Reads the <element> `node`, and finds its package in `libraries`.
int read_element(const XmlDocument& xml, const XmlNode& node,
                 const Libraries& libraries, const std::string& variant,
                 EagleElement& element, Problem& problem) {
  std::string urn;
  element.line = xml_line(xml, node);
  if (read_name(xml, node, "name", Need::kRequired, element.name, problem) !=
          0 ||
      read_name(xml, node, "library", Need::kRequired, element.library,
                problem) != 0 ||
      read_name(xml, node, "library_urn", Need::kOptional, urn, problem) != 0 ||
      read_name(xml, node, "package", Need::kRequired, element.package_name,
                problem) != 0 ||
      read_number(xml, node, "x", Need::kRequired, element.x, problem) != 0 ||
      read_number(xml, node, "y", Need::kRequired, element.y, problem) != 0 ||
      read_rotation(xml, node, element.rotation, problem) != 0)
    return -1;
  element.populated = populated(node, variant);
  find_package(libraries, urn, element);
  return 0;
}

// Reads the libraries of `content`: a board's, or a library itself.
int read_libraries(const XmlDocument& xml, const XmlNode& content,
                   const PadRules& rules, EagleDesign& design,
                   Libraries& libraries, Problem& problem) {
  const XmlNode* library =
      design.board ? xml_child(xml_child(&content, "libraries"), "library")
                   : &content;
  for (; library;
       library = design.board ? xml_next(library, "library") : nullptr) {
    if (read_library(xml, *library, rules, design,
                     libraries.list.emplace_back(), problem) != 0)
      return -1;
    index_last(libraries);
  }
  return 0;
}

// Reads the packages of `content` (a board or a library) and a board's
// elements.
int read_content(const XmlDocument& xml, const XmlNode& content,
                 EagleDesign& design, Problem& problem) {
  design.board = xml_name(content) == "board";
  PadRules rules;
  Libraries libraries;
  if (read_pad_rules(xml, xml_child(&content, "designrules"), rules, problem) !=
          0 ||
      read_libraries(xml, content, rules, design, libraries, problem) != 0)
    return -1;
  std::string variant = design.board ? current_variant(content) : "";
  for (const XmlNode* e = xml_child(xml_child(&content, "elements"), "element");
       e; e = xml_next(e, "element"))
    if (read_element(xml, *e, libraries, variant,
                     design.elements.emplace_back(), problem) != 0)
      return -1;
  return 0;
}

}  // namespace

bool is_eagle_text(std::string_view raw) {
  return content_start(raw).starts_with('<');
}

int read_eagle(std::string_view raw, EagleDesign& design, Problem& problem) {
  design = EagleDesign();
  XmlDocument xml;
  const XmlNode* content = nullptr;
  if (read_xml(raw, xml, problem) != 0 ||
      find_content(xml, content, problem) != 0)
    return -1;
  return read_content(xml, *content, design, problem);
}

Point rotated(Point p, const Rotation& r) {
  Point q = turned(p, degrees_turn(r.degrees));
  if (r.mirrored) q.x = -q.x;
  return q;
}

PlacedBody place_package(const EagleElement& element,
                         const EaglePackage& package) {
  const Extent& box = package.body.box;
  Point centre = rotated(extent_centre(box), element.rotation);
  PlacedBody placed;
  placed.x = element.x + centre.x;
  placed.y = element.y + centre.y;
  placed.length = extent_length(box);
  placed.width = extent_width(box);
  double a = element.rotation.degrees;
  placed.angle = element.rotation.mirrored && a != 0 ? 360 - a : a;
  return placed;
}

}  // namespace korvane
