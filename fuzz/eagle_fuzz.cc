// Fuzzes the Eagle reader: the input read as XML and as an Eagle board or
// library. Each read ends in a result or a problem on a line of the input;
// no element of a document read lies deeper than the nesting allowed;
// every body box has its corners in order, lies on copper, and lands at a
// finite place.
#include <algorithm>
#include <cmath>
#include <vector>

#include "eagle/eagle.h"
#include "eagle/xml.h"
#include "fuzz_util.h"

using namespace korvane;

namespace {

// The deepest element of the document, found without recursion.
int deepest(const XmlDocument& xml) {
  int most = 0;
  std::vector<std::pair<const XmlNode*, int>> open{{xml_root(xml), 1}};
  while (!open.empty()) {
    auto [node, depth] = open.back();
    open.pop_back();
    if (node == nullptr) continue;
    most = std::max(most, depth);
    open.push_back({xml_next(node, ""), depth});
    open.push_back({xml_child(node, ""), depth + 1});
  }
  return most;
}

void check_element(const EagleDesign& design, const EagleElement& e) {
  if (e.package < 0) return;
  const PackageBody& body = design.packages[e.package].body;
  const Extent& box = body.box;
  require(box.empty || (!body.copper.empty && box.min_x < box.max_x &&
                        box.min_y < box.max_y),
          "a body has copper, length and width");
  PlacedBody placed = place_package(e, design.packages[e.package]);
  require(std::isfinite(placed.x) && std::isfinite(placed.y) &&
              std::isfinite(placed.length) && std::isfinite(placed.width) &&
              placed.angle >= 0 && placed.angle < 360,
          "a body lands at a finite place and angle");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text = bytes_of(data, size);
  long lines = std::count(text.begin(), text.end(), '\n') + 1;
  XmlDocument xml;
  Problem problem;
  if (read_xml(text, xml, problem) == 0)
    require(deepest(xml) <= kDeepestXml, "no element nests too deep");
  EagleDesign design;
  if (read_eagle(text, design, problem) != 0) {
    require(problem.line >= 0 && problem.line <= lines, "a line of the input");
    return 0;
  }
  for (const EagleElement& e : design.elements) check_element(design, e);
  return 0;
}
