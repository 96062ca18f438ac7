// The attribute values of Eagle's XML: numbers in mm, rotations, names and
// design-rule sizes, each read strictly with the line of its element.
#pragma once

#include <string>
#include <string_view>

#include "eagle/eagle.h"
#include "eagle/xml.h"
#include "text/problem.h"

namespace korvane {

// Whether an attribute must be there.
enum class Need { kRequired, kOptional };

// Reads the number attribute `name` of `node` into `value`, which keeps
// what it holds when the attribute is absent and optional. Returns -1 with
// `problem` for a required attribute missing, or a value that is not a
// decimal number or lies beyond 100 m.
int read_number(const XmlDocument& xml, const XmlNode& node, const char* name,
                Need need, double& value, Problem& problem);

// Reads the optional "rot" attribute of `node`; R0 when absent. Returns -1
// with `problem` for any other text than [S][M]R and a number.
int read_rotation(const XmlDocument& xml, const XmlNode& node,
                  Rotation& rotation, Problem& problem);

// Reads the text attribute `name` of `node`; empty when absent and
// optional. Returns -1 with `problem` for a required one missing or empty,
// or one holding a control character.
int read_name(const XmlDocument& xml, const XmlNode& node, const char* name,
              Need need, std::string& value, Problem& problem);

// A design-rule size in mm from "10mil", "0.25mm", "0.01inch", "254mic" or
// a bare number (mm); false for any other text.
bool rule_size(std::string_view text, double& mm);

}  // namespace korvane
