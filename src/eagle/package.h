// Eagle packages (read by eagle.cc): the box of a package's body in its own
// frame, by the drawing on its documentation layer, else its silkscreen, else
// its copper.
#pragma once

#include "eagle/eagle.h"
#include "eagle/xml.h"
#include "text/problem.h"

namespace korvane {

// The design rules that size a pad's copper: a pad whose diameter is 0 is
// its drill and a restring on each side, the drill times `restring`, held
// between `least` and `most`; long and offset pads are longer by a
// percentage of their width. Eagle's defaults.
struct PadRules {
  double restring = 0.25;       // rvPadTop
  double least = 0.254;         // rlMinPadTop, mm (10 mil)
  double most = 0.508;          // rlMaxPadTop, mm (20 mil)
  double long_percent = 100;    // psElongationLong
  double offset_percent = 100;  // psElongationOffset
};

// Reads the <param> children of a <designrules> element (null: none) into
// `rules`, over Eagle's defaults. Returns -1 with `problem` for a size or
// ratio that is not a number.
int read_pad_rules(const XmlDocument& xml, const XmlNode* designrules,
                   PadRules& rules, Problem& problem);

// Reads the <package> element `package`. The body is the box of the wires
// (arcs by their true extent), rectangles (turned about their centre),
// circles and polygons (curved edges too) on tDocu (layer 51), else on
// tPlace (21), else of the copper; a layer is passed over when its box has
// no length or no width, or does not hold the copper's centre. Stroke
// widths are not added. A package without copper has no body. Returns -1
// with `problem` for an item whose numbers cannot be read.
int read_package(const XmlDocument& xml, const XmlNode& package,
                 const PadRules& rules, PackageBody& body, Problem& problem);

}  // namespace korvane
