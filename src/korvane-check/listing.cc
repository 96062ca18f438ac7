#include "korvane-check/listing.h"

#include <string>

#include "korvane-check/findings.h"

namespace korvane {

namespace {

constexpr int kColumns = 8;
using Cells = std::vector<std::string>;

// The code as it stands, quoted when spaces at its ends or control bytes
// would not show.
std::string shown_code(const std::string& code) {
  bool plain = !code.empty() && code.front() != ' ' && code.back() != ' ';
  for (char c : code)
    if (static_cast<unsigned char>(c) < 32 || c == 127) plain = false;
  return plain ? code : quoted(code, 64);
}

std::string source(const DrawnSize& drawn) {
  if (!drawn.row) return "none";
  if (drawn.carried_from)
    return "carried over from line " + std::to_string(drawn.carried_from);
  return size_row_name(*drawn.row);
}

Cells cells(const PlacementRow& r, const DrawnSize& drawn) {
  const Placement& p = r.placement;
  return {std::to_string(r.line),
          shown_code(p.code),
          fixed(p.x),
          fixed(p.y),
          fixed(p.a),
          fixed(drawn.size.length),
          fixed(drawn.size.width),
          source(drawn)};
}

void put_row(TextOutput& out, const Cells& row, const size_t* width) {
  std::string text;
  for (int i = 0; i < kColumns; ++i) {
    std::string pad(width[i] - row[i].size(), ' ');
    bool left = i == 1 || i == kColumns - 1;
    text += (i ? "  " : "") + (left ? row[i] + pad : pad + row[i]);
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  put_line(out, text.c_str());
}

}  // namespace

void print_listing(TextOutput& out, const PlacementList& list,
                   const std::vector<DrawnSize>& sizes) {
  std::vector<Cells> rows = {
      {"line", "code", "x", "y", "angle", "length", "width", "size from"}};
  for (size_t i = 0; i < list.rows.size(); ++i)
    rows.push_back(cells(list.rows[i], sizes[i]));
  size_t width[kColumns] = {};
  for (const Cells& row : rows)
    for (int i = 0; i < kColumns; ++i)
      width[i] = std::max(width[i], row[i].size());
  for (const Cells& row : rows) put_row(out, row, width);
}

}  // namespace korvane
