// XML documents for the Eagle reader: parsed whole by rapidxml once their
// nesting is known to be shallow enough, with the line of every element.
// Only the elements and their attributes are kept: text, comments, CDATA,
// processing instructions and the DOCTYPE (never fetched) are skipped, and
// no entity but XML's own and character references is expanded.
#pragma once

#include <cstddef>
#include <memory>
#include <rapidxml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "text/problem.h"

namespace korvane {

using XmlNode = rapidxml::xml_node<char>;

// Elements nested deeper than this are refused before rapidxml, which
// descends once a level, sees them. Eagle's own files nest nine deep.
inline constexpr int kDeepestXml = 1000;

// A parsed document. `text` is the file, ended by a NUL; rapidxml cuts its
// names and values in place, so the nodes point into it.
struct XmlDocument {
  std::string text;
  std::vector<size_t> line_ends;  // the offset of every LF of the file
  std::unique_ptr<rapidxml::xml_document<char>> document;
};

// Parses `raw` into `xml`. Returns -1 with `problem` at the line to blame
// for a NUL byte, elements nested past kDeepestXml, text that is not
// well-formed as rapidxml reads it (a tag or comment never closed, a
// closing tag of another name, an attribute without quotes, ...), or more
// than one root element.
int read_xml(std::string_view raw, XmlDocument& xml, Problem& problem);

// The root element; null for a document without one.
const XmlNode* xml_root(const XmlDocument& xml);

// The line, from 1, on which `node`'s tag opens.
int xml_line(const XmlDocument& xml, const XmlNode& node);

// The element's name.
std::string_view xml_name(const XmlNode& node);

// The first child element of `node` named `name` (any name when empty),
// and the next sibling element after `node` of that name; null when there
// is none or `node` is null.
const XmlNode* xml_child(const XmlNode* node, std::string_view name);
const XmlNode* xml_next(const XmlNode* node, std::string_view name);

// Sets `value` to the attribute `name` of `node`, entities expanded; false,
// leaving `value`, when it has none.
bool xml_attribute(const XmlNode& node, std::string_view name,
                   std::string_view& value);

}  // namespace korvane
