#include "eagle/xml.h"

#include <algorithm>
#include <cstring>

#include "text/encoding.h"

namespace korvane {

namespace {

constexpr int kFlags = rapidxml::parse_no_data_nodes |
                       rapidxml::parse_no_element_values |
                       rapidxml::parse_validate_closing_tags;

using Tables = rapidxml::internal::lookup_tables<0>;

// What a node read past is: an element with content or without, or
// another node (a comment, a processing instruction, ...).
enum class NodeKind { kOther, kEmpty, kOpened };

// rapidxml's own character classes, so that the nesting check below reads
// names and blanks as the parser does.
bool is_blank(char c) {
  return Tables::lookup_whitespace[static_cast<unsigned char>(c)] != 0;
}
bool is_name(char c) {
  return Tables::lookup_node_name[static_cast<unsigned char>(c)] != 0;
}
bool is_attribute_name(char c) {
  return Tables::lookup_attribute_name[static_cast<unsigned char>(c)] != 0;
}

const char* skip_blanks(const char* p) {
  while (is_blank(*p)) ++p;
  return p;
}

// Just past the first `end` at or after `p`; null when the text ends first.
const char* past(const char* p, const char* end) {
  const char* found = std::strstr(p, end);
  return found ? found + std::strlen(end) : nullptr;
}

// Past the DOCTYPE whose name starts at `p`: its first '>' outside
// brackets, brackets nesting, as rapidxml skips it.
const char* past_doctype(const char* p) {
  for (; *p != '>'; ++p) {
    if (*p == '\0') return nullptr;
    if (*p != '[') continue;
    for (long depth = 1; depth > 0;) {
      ++p;
      if (*p == '\0') return nullptr;
      depth += *p == '[' ? 1 : *p == ']' ? -1 : 0;
    }
  }
  return p + 1;
}

// Past the attributes and the end of the tag of an element whose name
// ends at `p`; sets `kind` to kOpened when content follows ('>', not "/>").
const char* past_tag(const char* p, NodeKind& kind) {
  p = skip_blanks(p);
  while (is_attribute_name(*p)) {
    while (is_attribute_name(*p)) ++p;
    p = skip_blanks(p);
    if (*p != '=') return nullptr;
    p = skip_blanks(p + 1);
    if (*p != '"' && *p != '\'') return nullptr;
    p = std::strchr(p + 1, *p);
    if (p == nullptr) return nullptr;
    p = skip_blanks(p + 1);
  }
  kind = *p == '>' ? NodeKind::kOpened : NodeKind::kEmpty;
  if (*p == '>') return p + 1;
  return p[0] == '/' && p[1] == '>' ? p + 2 : nullptr;
}

// Past the node that opens at `p`, just after its '<', skipped as rapidxml
// skips it, and what it is. Null where rapidxml stops with an error.
const char* past_node(const char* p, NodeKind& kind) {
  kind = NodeKind::kOther;
  if (*p == '?') return past(p + 1, "?>");
  if (*p == '!') {
    if (p[1] == '-' && p[2] == '-') return past(p + 3, "-->");
    if (std::strncmp(p + 1, "[CDATA[", 7) == 0) return past(p + 8, "]]>");
    if (std::strncmp(p + 1, "DOCTYPE", 7) == 0 && is_blank(p[8]))
      return past_doctype(p + 9);
    return past(p + 1, ">");
  }
  const char* name = p;
  while (is_name(*p)) ++p;
  return p == name ? nullptr : past_tag(p, kind);
}

// Refuses elements nested deeper than kDeepestXml in the NUL-ended `text`,
// read as rapidxml reads it up to where it would stop with an error. Sets
// `deep` to where the first one that is too deep opens.
int check_depth(const char* text, const char*& deep) {
  const char* p = text;
  int depth = 0;
  while (true) {
    p = depth == 0 ? skip_blanks(p) : std::strchr(p, '<');
    if (p == nullptr || *p != '<') return 0;
    if (p[1] == '/') {
      if (depth == 0) return 0;
      p += 2;
      while (is_name(*p)) ++p;
      p = skip_blanks(p);
      if (*p != '>') return 0;
      ++p;
      --depth;
      continue;
    }
    const char* tag = p;
    NodeKind kind = NodeKind::kOther;
    p = past_node(p + 1, kind);
    if (p == nullptr) return 0;
    if (kind != NodeKind::kOther && depth + 1 > kDeepestXml) {
      deep = tag;
      return -1;
    }
    if (kind == NodeKind::kOpened) ++depth;
  }
}

int line_at(const XmlDocument& xml, size_t offset) {
  auto before =
      std::lower_bound(xml.line_ends.begin(), xml.line_ends.end(), offset) -
      xml.line_ends.begin();
  return static_cast<int>(before + 1);
}

int line_of(const XmlDocument& xml, const char* at) {
  size_t offset = static_cast<size_t>(at - xml.text.data());
  return line_at(xml, std::min(offset, xml.text.size()));
}

// The checks before rapidxml parses: no NUL byte, no nesting too deep.
int check_text(XmlDocument& xml, Problem& problem) {
  size_t nul = xml.text.find('\0');
  if (nul != std::string::npos) {
    problem = problem_at(line_at(xml, nul),
                         "holds a NUL byte, which no XML file holds; was it "
                         "saved as UTF-16, or damaged?");
    return -1;
  }
  const char* text = without_byte_order_mark(xml.text).data();
  const char* deep = nullptr;
  if (check_depth(text, deep) == 0) return 0;
  problem =
      problem_at(line_of(xml, deep),
                 "elements nest more than " + std::to_string(kDeepestXml) +
                     " deep here, which no Eagle file does; the file "
                     "is not read");
  return -1;
}

// The one root element of a parsed document.
int check_root(const XmlDocument& xml, Problem& problem) {
  const XmlNode* root = xml_root(xml);
  const XmlNode* second = xml_next(root, "");
  if (root != nullptr && second == nullptr) return 0;
  problem = problem_at(
      root ? xml_line(xml, *second) : 1,
      root ? "a second root element; an XML file has one, so this one is "
             "damaged: save it again from Eagle or Fusion 360"
           : "holds no XML element");
  return -1;
}

// The first element named `name` (any, when empty) among `node` and its
// later siblings; null for none.
const XmlNode* element_from(const XmlNode* node, std::string_view name) {
  while (node && (node->type() != rapidxml::node_element ||
                  (!name.empty() && xml_name(*node) != name)))
    node = node->next_sibling();
  return node;
}

}  // namespace

int read_xml(std::string_view raw, XmlDocument& xml, Problem& problem) {
  xml.text.assign(raw);
  xml.line_ends.clear();
  for (size_t at = raw.find('\n'); at != std::string_view::npos;
       at = raw.find('\n', at + 1))
    xml.line_ends.push_back(at);
  if (check_text(xml, problem) != 0) return -1;
  xml.document = std::make_unique<rapidxml::xml_document<char>>();
  try {
    xml.document->parse<kFlags>(xml.text.data());
  } catch (const rapidxml::parse_error& error) {
    problem =
        problem_at(line_of(xml, error.where<char>()),
                   std::string("the XML is broken here (") + error.what() +
                       "), so the file cannot be read; it may be cut "
                       "short: save it again from Eagle or Fusion 360");
    return -1;
  }
  return check_root(xml, problem);
}

const XmlNode* xml_root(const XmlDocument& xml) {
  return xml.document ? xml_child(xml.document.get(), "") : nullptr;
}

int xml_line(const XmlDocument& xml, const XmlNode& node) {
  return line_of(xml, node.name());
}

std::string_view xml_name(const XmlNode& node) {
  return {node.name(), node.name_size()};
}

const XmlNode* xml_child(const XmlNode* node, std::string_view name) {
  return node ? element_from(node->first_node(), name) : nullptr;
}

const XmlNode* xml_next(const XmlNode* node, std::string_view name) {
  return node ? element_from(node->next_sibling(), name) : nullptr;
}

bool xml_attribute(const XmlNode& node, std::string_view name,
                   std::string_view& value) {
  for (const rapidxml::xml_attribute<char>* a = node.first_attribute(); a;
       a = a->next_attribute()) {
    if (std::string_view(a->name(), a->name_size()) != name) continue;
    value = {a->value(), a->value_size()};
    return true;
  }
  return false;
}

}  // namespace korvane
