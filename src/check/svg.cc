#include "check/svg.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>

#include "dxf/outline.h"
#include "text/text_output.h"

namespace {

// The SVG's numbers have at most this many decimals.
constexpr int kDecimals = 4;
// Pixels across the picture's longer side, at its default size.
constexpr double kPixels = 1000;
// Text height as a share of the picture's longer side.
constexpr double kTextShare = 0.014;

// One part as the picture shows it.
struct Part {
  PartCorners corners;
  std::string label;
  std::string title;  // the findings about it, or empty
};

// What the picture spans, in drawing units, and its text height.
struct Frame {
  double left = DBL_MAX, right = -DBL_MAX, bottom = DBL_MAX, top = -DBL_MAX;
  double text = 1;
};

std::string svg_number(double value) {
  char text[kFixedTextCapacity];
  format_fixed(text, value, kDecimals);
  std::string s = text;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s == "-0" ? "0" : s;
}

// The text with &, < and > written as XML wants them, control bytes as
// spaces.
std::string xml_text(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '"')
      out += "&quot;";
    else
      out += static_cast<unsigned char>(c) < 32 ? ' ' : c;
  }
  return out;
}

// The findings about a drawn placement: on its xy line or its size row.
std::string findings_about(const XyRow& r, const DrawnSize& drawn,
                           const char* xy_path, const Findings& findings) {
  std::string title;
  for (const Finding& f : findings) {
    bool own = f.file == xy_path && f.line == r.line;
    bool row = drawn.row && !drawn.carried_from && f.file == "size.txt" &&
               f.line == drawn.row->line;
    if (own || row) title += (title.empty() ? "" : "\n") + f.message;
  }
  if (title.empty() && (drawn.size.length == 0 || drawn.size.width == 0))
    title = "drawn as a point or a line: its size is 0";
  return title;
}

std::vector<Part> parts_of(const char* xy_path, const XyList& xy,
                           const std::vector<DrawnSize>& sizes,
                           const Findings& findings) {
  std::vector<Part> parts;
  for (size_t i = 0; i < xy.rows.size(); ++i) {
    const XyRow& r = xy.rows[i];
    const Placement& p = r.placement;
    Part part;
    part.corners = part_corners(p.x, p.y, sizes[i].size.length,
                                sizes[i].size.width, p.a, 0, 0, 0);
    part.label = r.label.empty() ? std::to_string(r.line) : r.label;
    part.title = findings_about(r, sizes[i], xy_path, findings);
    parts.push_back(part);
  }
  return parts;
}

Frame frame_of(const std::vector<Part>& parts) {
  Frame f;
  for (const Part& part : parts)
    for (int k = 0; k < 4; ++k) {
      f.left = std::min(f.left, part.corners.x[k]);
      f.right = std::max(f.right, part.corners.x[k]);
      f.bottom = std::min(f.bottom, part.corners.y[k]);
      f.top = std::max(f.top, part.corners.y[k]);
    }
  if (parts.empty()) f = {0, 1, 0, 1};
  double span = std::max({f.right - f.left, f.top - f.bottom, 1e-3});
  double margin = span * 0.05;
  f.left -= margin, f.right += margin, f.bottom -= margin, f.top += margin;
  f.text = std::max(f.right - f.left, f.top - f.bottom) * kTextShare;
  return f;
}

// A length of 1, 2 or 5 times a power of ten, near a fifth of `span`.
double scale_length(double span) {
  double step = std::pow(10, std::floor(std::log10(span / 5)));
  for (double m : {5.0, 2.0, 1.0})
    if (m * step <= span / 5) return m * step;
  return step;
}

void put_part(TextOutput& out, const Part& part, const Frame& f) {
  const PartCorners& c = part.corners;
  std::string text = part.title.empty() ? "<g>" : "<g class=\"w\">";
  text += "<title>" + xml_text(part.label);
  if (!part.title.empty()) text += ": " + xml_text(part.title);
  text += "</title><path d=\"";
  for (int k = 0; k < 4; ++k) {
    text += k ? "L" : "M";
    text += svg_number(c.x[k]) + " " + svg_number(-c.y[k]);
  }
  text += "Z\"/>";
  double w = std::hypot(c.x[1] - c.x[0], c.y[1] - c.y[0]);
  double l = std::hypot(c.x[2] - c.x[1], c.y[2] - c.y[1]);
  double size = std::min(w, l);
  double width = f.text * 0.6 * static_cast<double>(part.label.size());
  double cx = (c.x[0] + c.x[2]) / 2, cy = (c.y[0] + c.y[2]) / 2;
  bool fits = size >= f.text * 1.2 && std::max(w, l) >= width;
  // A marked part too small for its label gets it beside it.
  if (!fits && !part.title.empty())
    cx += std::max({c.x[0], c.x[1], c.x[2], c.x[3]}) - cx + f.text * 0.3 +
          width / 2;
  if (fits || !part.title.empty())
    text += "<text x=\"" + svg_number(cx) + "\" y=\"" +
            svg_number(-cy + f.text * 0.35) + "\">" + xml_text(part.label) +
            "</text>";
  put_line(out, (text + "</g>").c_str());
}

// The legend and the scale bar, below the drawing.
void put_legend(TextOutput& out, const char* xy_path, const XyList& xy,
                const Frame& f, int marked) {
  double x = f.left, y = -f.bottom + f.text * 1.5, t = f.text;
  double bar = scale_length(f.right - f.left);
  auto line = [&](const std::string& cls, const std::string& words) {
    put_line(out, ("<text x=\"" + svg_number(x) + "\" y=\"" + svg_number(y) +
                   "\"" + cls + ">" + xml_text(words) + "</text>")
                      .c_str());
    y += t * 1.4;
  };
  put_line(out, ("<path class=\"s\" d=\"M" + svg_number(x) + " " +
                 svg_number(y) + "h" + svg_number(bar) + "\"/>")
                    .c_str());
  y += t * 1.4;
  line("", svg_number(bar) + " drawing units");
  line("", std::to_string(xy.rows.size()) + " outlines as korvane draws them");
  line(" class=\"m\"", std::to_string(marked) +
                           " marked: a finding concerns them (hover for it)");
  if (xy.empty_line)
    line(" class=\"m\"", "not drawn: " + std::to_string(xy.after_empty) +
                             " lines after the empty line at " + xy_path + ":" +
                             std::to_string(xy.empty_line));
  if (xy.first_undrawn)
    line(" class=\"m\"", "not drawn: " + std::to_string(xy.undrawn) +
                             " lines from " + xy_path + ":" +
                             std::to_string(xy.first_undrawn) +
                             " on, past the 100th placement");
}

// The picture's head: its view, sized to kPixels across, and its styles.
void put_head(TextOutput& out, const Frame& f, double legend) {
  double w = f.right - f.left, h = f.top - f.bottom + legend;
  double scale = kPixels / std::max(w, h);
  put_line(out, ("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" +
                 svg_number(f.left) + " " + svg_number(-f.top) + " " +
                 svg_number(w) + " " + svg_number(h) + "\" width=\"" +
                 svg_number(std::round(w * scale)) + "\" height=\"" +
                 svg_number(std::round(h * scale)) + "\">")
                    .c_str());
  put_line(
      out,
      ("<style>path{fill:none;stroke:#1f4e9c;stroke-width:" +
       svg_number(f.text * 0.12) + "}.w path{stroke:#d62400;stroke-width:" +
       svg_number(f.text * 0.25) + "}text{font:" + svg_number(f.text) +
       "px sans-serif}g text{fill:#1f4e9c;text-anchor:middle}"
       ".w text,.m{fill:#d62400}.s{stroke:#000}</style>")
          .c_str());
  put_line(out, ("<rect x=\"" + svg_number(f.left) + "\" y=\"" +
                 svg_number(-f.top) + "\" width=\"" + svg_number(w) +
                 "\" height=\"" + svg_number(h) + "\" fill=\"#fff\"/>")
                    .c_str());
}

}  // namespace

int write_svg(const char* path, const char* xy_path, const XyList& xy,
              const std::vector<DrawnSize>& sizes, const Findings& findings) {
  std::vector<Part> parts = parts_of(xy_path, xy, sizes, findings);
  Frame f = frame_of(parts);
  int marked = 0;
  for (const Part& part : parts) marked += !part.title.empty();
  int lines = 4 + (xy.empty_line != 0) + (xy.first_undrawn != 0);
  auto out = std::make_unique<TextOutput>();
  if (open_text_output(*out, path) != 0) return -1;
  put_head(*out, f, f.text * (1.5 + 1.4 * lines));
  for (const Part& part : parts) put_part(*out, part, f);
  put_legend(*out, xy_path, xy, f, marked);
  put_line(*out, "</svg>");
  return close_text_output(*out);
}
