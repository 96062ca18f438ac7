#include "korvane-check/svg.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>

#include "geometry/extent.h"
#include "os/replace_file.h"
#include "text/encoding.h"
#include "text/text_output.h"

namespace korvane {

namespace {

constexpr double kBoardPixels = 1000;     // longer side of the board at 100 %
constexpr double kNarrowestPixels = 560;  // room for the legend
constexpr double kMarginShare = 0.04;     // of the board's longer side
constexpr double kStrokePixels = 1.2;
constexpr double kLabelPixels = 13;  // largest label
constexpr double kSmallestLabelPixels = 9;
constexpr double kDotPixels = 4;   // ring around a part smaller than this
constexpr double kRingPixels = 5;  // from a marked part to its ring
constexpr double kLegendPixels = 13;
constexpr double kLegendLinePixels = 19;
constexpr size_t kKeyLines = 6;       // the legend's lines before the list
constexpr double kCharWidth = 0.62;   // of the font size, sans-serif
constexpr size_t kLongestLabel = 24;  // bytes; a longer label is cut
const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// Where the board and the legend lie in SVG coordinates (Y down, so a
// drawing point (x, y) is at (x, -y)) and how large they show.
struct View {
  double left, top, width, board_height, height;
  double scale;  // pixels a drawing unit at the default size
  int decimals;  // of every coordinate written
};

// The length of the UTF-8 character at text[i] when it is one XML 1.0
// allows, else 0.
size_t xml_char_length(std::string_view text, size_t i) {
  uint32_t code;
  size_t length = utf8_char(text, i, code);
  bool control = code < 0x20 && code != '\t' && code != '\n';
  return control || code == 0xFFFE || code == 0xFFFF ? 0 : length;
}

// Writes text as XML character data: markup characters escaped, anything
// XML does not allow written as U+FFFD.
void put_xml(TextOutput& out, const std::string& text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size();
  for (size_t i = 0; i < n;) {
    size_t len = xml_char_length(text, i);
    const char* escape = nullptr;
    if (len == 0)
      escape = kReplacement;
    else if (s[i] == '&')
      escape = "&amp;";
    else if (s[i] == '<')
      escape = "&lt;";
    else if (s[i] == '>')
      escape = "&gt;";
    else if (s[i] == '"')
      escape = "&quot;";
    else if (s[i] == '\'')
      escape = "&apos;";
    if (escape)
      put_text(out, escape);
    else
      put_bytes(out, text.data() + i, len);
    i += len ? len : 1;
  }
}

// The label as shown: at most kLongestLabel bytes, cut before a character
// and marked with an ellipsis.
std::string shown_label(const std::string& label) {
  if (label.size() <= kLongestLabel) return label;
  size_t cut = kLongestLabel;
  while (cut > 0 && (static_cast<unsigned char>(label[cut]) & 0xC0) == 0x80)
    --cut;
  return label.substr(0, cut) + "\xE2\x80\xA6";
}

// Writes the value with `decimals` digits at most, trailing zeros dropped,
// and no minus sign on a zero.
void put_number(TextOutput& out, double value, int decimals) {
  put_text(out, short_number(held(value), decimals).c_str());
}

// Writes ` name="value"` with a number.
void put_attribute(TextOutput& out, const char* name, double value,
                   const View& view) {
  put_text(out, " ");
  put_text(out, name);
  put_text(out, "=\"");
  put_number(out, value, view.decimals);
  put_text(out, "\"");
}

// The smallest box holding the outline's corners.
Extent corners_box(const PartCorners& c) {
  Extent box;
  for (int i = 0; i < 4; ++i) add_point(box, {held(c.x[i]), held(c.y[i])});
  return box;
}

// The smallest box holding every part; all zero when there is none.
Extent parts_box(const std::vector<SvgPart>& parts) {
  Extent box;
  for (const SvgPart& part : parts) add_extent(box, corners_box(part.corners));
  return box;
}

// Digits after the point that keep every coordinate within a twentieth of
// a pixel at the default size, from 0 to 6.
int decimals_for(double scale) {
  double digits = std::ceil(std::log10(held(scale * 20)));
  return static_cast<int>(std::clamp(held(digits), 0.0, 6.0));
}

// Fits the board into kBoardPixels on its longer side, with a margin, and
// leaves `legend_lines` lines below it for the legend.
View fit_view(const Extent& box, size_t legend_lines) {
  double width = held(extent_length(box));
  double height = held(extent_width(box));
  double extent = std::max({width, height, 0.01});
  double margin = extent * kMarginShare;
  View view;
  view.scale = kBoardPixels / held(extent + 2 * margin);
  view.width =
      std::max(held(width + 2 * margin), kNarrowestPixels / view.scale);
  view.left = held(box.min_x / 2 + box.max_x / 2 - view.width / 2);
  view.top = held(-box.max_y - margin);
  view.board_height = held(height + 2 * margin);
  view.height = held(view.board_height +
                     (legend_lines + 0.6) * kLegendLinePixels / view.scale);
  view.decimals = decimals_for(view.scale);
  return view;
}

// Number of characters (not bytes) of UTF-8 text.
size_t char_count(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

// The font size, in drawing units, at which a label of `chars` characters
// fits upright inside the turned outline, at most kLabelPixels; 0 when
// that would be too small to read.
double label_size(const PartCorners& c, size_t chars, const View& view) {
  double lx = c.x[3] - c.x[0], ly = c.y[3] - c.y[0];
  double length = std::hypot(lx, ly);
  double width = std::hypot(c.x[1] - c.x[0], c.y[1] - c.y[0]);
  if (!(length > 0 && width > 0) || chars == 0) return 0;
  double cosine = std::fabs(lx / length), sine = std::fabs(ly / length);
  double run = kCharWidth * static_cast<double>(chars), rise = 0.8;
  double fit = 0.9 * std::min(length / (run * cosine + rise * sine),
                              width / (run * sine + rise * cosine));
  if (!(fit >= 0)) return 0;
  double size = std::min(fit, kLabelPixels / view.scale);
  return size * view.scale < kSmallestLabelPixels ? 0 : size;
}

// True when the outline is smaller than kDotPixels either way.
bool too_small_to_see(const PartCorners& c, const View& view) {
  Extent box = corners_box(c);
  double extent = std::max(extent_length(box), extent_width(box));
  return extent * view.scale < kDotPixels;
}

// The part's hover text: its label, its note, then its finding on lines
// below.
void put_title(TextOutput& out, const SvgPart& part) {
  put_text(out, "<title>");
  put_xml(out, shown_label(part.label));
  if (!part.note.empty()) {
    put_text(out, "\n");
    put_xml(out, part.note);
  }
  if (!part.finding.empty()) {
    put_text(out, "\n");
    put_xml(out, part.finding);
  }
  put_text(out, "</title>");
}

// A ring around the part: in the warning colour around a marked part, so
// that small ones catch the eye, and around a part too small to see, with
// its hover text.
void put_ring(TextOutput& out, const SvgPart& part, const View& view) {
  bool marked = !part.finding.empty();
  Extent box = corners_box(part.corners);
  double half_x = box.max_x / 2 - box.min_x / 2;
  double half_y = box.max_y / 2 - box.min_y / 2;
  double radius =
      std::max(std::hypot(half_x, half_y) + kRingPixels / view.scale,
               (marked ? 2 : 1) * kDotPixels / view.scale);
  put_text(out, "<circle");
  put_attribute(out, "cx", box.min_x + half_x, view);
  put_attribute(out, "cy", -box.max_y + half_y, view);
  put_attribute(out, "r", radius, view);
  put_text(out, marked ? " class=\"r\"" : " fill-opacity=\"0.3\"");
  if (!too_small_to_see(part.corners, view)) {
    put_line(out, "/>");
    return;
  }
  put_text(out, ">");
  put_title(out, part);
  put_line(out, "</circle>");
}

// The outline as one closed path P0 P1 P2 P3, and a ring when it is marked
// or too small to see.
void put_part(TextOutput& out, const SvgPart& part, const View& view) {
  bool marked = !part.finding.empty();
  put_text(out, "<path d=\"");
  for (int i = 0; i < 4; ++i) {
    put_text(out, i == 0 ? "M" : i == 1 ? "L" : " ");
    put_number(out, part.corners.x[i], view.decimals);
    put_text(out, " ");
    put_number(out, -part.corners.y[i], view.decimals);
  }
  put_text(out, marked ? "Z\" class=\"w\">" : "Z\">");
  put_title(out, part);
  put_line(out, "</path>");
  if (marked || too_small_to_see(part.corners, view)) put_ring(out, part, view);
}

// The label upright at the middle of the outline, when it fits there.
void put_label(TextOutput& out, const SvgPart& part, const View& view) {
  std::string label = shown_label(part.label);
  double size = label_size(part.corners, char_count(label), view);
  if (size == 0) return;
  const PartCorners& c = part.corners;
  double x = c.x[0] / 4 + c.x[1] / 4 + c.x[2] / 4 + c.x[3] / 4;
  double y = c.y[0] / 4 + c.y[1] / 4 + c.y[2] / 4 + c.y[3] / 4;
  put_text(out, "<text");
  put_attribute(out, "x", x, view);
  put_attribute(out, "y", -y + 0.36 * size, view);
  if (size * view.scale < kLabelPixels - 0.01)
    put_attribute(out, "font-size", size, view);
  put_text(out, ">");
  put_xml(out, label);
  put_line(out, "</text>");
}

// Writes the XML declaration, the svg element, the picture's title, the
// styles and a white ground.
void put_head(TextOutput& out, const SvgPicture& picture, const View& view) {
  put_line(out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  put_text(out, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"");
  put_number(out, std::ceil(view.width * view.scale), 0);
  put_text(out, "\" height=\"");
  put_number(out, std::ceil(view.height * view.scale), 0);
  put_text(out, "\" viewBox=\"");
  put_number(out, view.left, view.decimals);
  put_text(out, " ");
  put_number(out, view.top, view.decimals);
  put_text(out, " ");
  put_number(out, view.width, view.decimals);
  put_text(out, " ");
  put_number(out, view.height, view.decimals);
  put_line(out, "\" font-family=\"sans-serif\">");
  put_text(out, "<title>");
  put_xml(out, picture.heading);
  put_line(out, "</title>");
  put_text(out,
           "<style>.w{fill:#ffc9ad}.r{fill:none}"
           ".w,.r{stroke:#d9480f;stroke-width:");
  put_number(out, 2 * kStrokePixels / view.scale, view.decimals);
  put_line(out, "}text{pointer-events:none}</style>");
  put_text(out, "<rect");
  put_attribute(out, "x", view.left, view);
  put_attribute(out, "y", view.top, view);
  put_attribute(out, "width", view.width, view);
  put_attribute(out, "height", view.height, view);
  put_line(out, " fill=\"#fff\"/>");
}

// Where the legend's line `line` has its baseline, and its left end.
double legend_y(const View& view, size_t line) {
  return view.top + view.board_height +
         (static_cast<double>(line) + 0.3) * kLegendLinePixels / view.scale;
}

double legend_x(const View& view, double pixels) {
  return view.left + (12 + pixels) / view.scale;
}

// One legend line of text, starting `indent` pixels in.
void put_legend_text(TextOutput& out, const View& view, size_t line,
                     double indent, const std::string& text) {
  put_text(out, "<text");
  put_attribute(out, "x", legend_x(view, indent), view);
  put_attribute(out, "y", legend_y(view, line), view);
  put_text(out, ">");
  put_xml(out, text);
  put_line(out, "</text>");
}

// A sample outline for the legend's line `line`, marked or not.
// How a legend swatch is drawn: as a part, or as a part with a finding.
enum class Swatch { kPart, kMarked };

void put_swatch(TextOutput& out, const View& view, size_t line, Swatch kind) {
  put_text(out, "<rect");
  put_attribute(out, "x", legend_x(view, 0), view);
  put_attribute(out, "y", legend_y(view, line) - 11 / view.scale, view);
  put_attribute(out, "width", 22 / view.scale, view);
  put_attribute(out, "height", 11 / view.scale, view);
  put_line(out, kind == Swatch::kMarked
                    ? " fill=\"#e3ebf5\" stroke=\"#2b4a6f\" class=\"w\"/>"
                    : " fill=\"#e3ebf5\" stroke=\"#2b4a6f\"/>");
}

// The longest length of 1, 2 or 5 times a power of ten that spans at most
// a fifth of the board's picture.
double scale_bar_length(const View& view) {
  double most = held(kBoardPixels / 5 / view.scale);
  double power = std::pow(10.0, std::floor(std::log10(most)));
  if (!(power > 0) || !std::isfinite(power)) return most;
  for (double step : {5.0, 2.0}) {
    if (step * power <= most) return step * power;
  }
  return power;
}

// A bar of a round length in drawing units, with its length beside it.
void put_scale_bar(TextOutput& out, const View& view, size_t line) {
  double length = scale_bar_length(view);
  double y = legend_y(view, line) - 2 / view.scale;
  double tick = 7 / view.scale;
  double left = legend_x(view, 0);
  put_text(out, "<polyline fill=\"none\" stroke=\"#000\" points=\"");
  double points[8] = {left,          y - tick, left,          y,
                      left + length, y,        left + length, y - tick};
  for (int i = 0; i < 8; ++i) {
    if (i) put_text(out, i % 2 ? "," : " ");
    put_number(out, points[i], view.decimals);
  }
  put_line(out, "\"/>");
  put_text(out, "<text");
  put_attribute(out, "x", left + length + 8 / view.scale, view);
  put_attribute(out, "y", legend_y(view, line), view);
  put_text(out, ">");
  double digits = -std::floor(std::log10(length));
  put_number(out, length, static_cast<int>(std::clamp(held(digits), 0.0, 6.0)));
  put_line(out, " drawing units</text>");
}

// The legend's lines of placements not drawn, then how many more there
// are.
std::vector<std::string> not_drawn_lines(const SvgPicture& picture) {
  const std::vector<std::string>& given = picture.not_drawn;
  size_t count = std::max(picture.not_drawn_count, given.size());
  if (count == 0) return {};
  std::vector<std::string> lines = {"Placements korvane will not draw:"};
  size_t shown = given.size();
  lines.insert(lines.end(), given.begin(), given.end());
  if (shown < count)
    lines.push_back("and " + std::to_string(count - shown) + " more");
  return lines;
}

// A sample of the pale disc around a part too small to see, for the
// legend's line `line`.
void put_disc(TextOutput& out, const View& view, size_t line) {
  put_text(out, "<circle");
  put_attribute(out, "cx", legend_x(view, 11), view);
  put_attribute(out, "cy", legend_y(view, line) - 5 / view.scale, view);
  put_attribute(out, "r", kRingPixels / view.scale, view);
  put_line(out, " fill=\"#e3ebf5\" stroke=\"#2b4a6f\" fill-opacity=\"0.3\"/>");
}

// The legend's lines 2 to 4: a sample of each kind of mark the board shows
// (plain, marked and pale-ringed outlines) with how many there are.
void put_marks(TextOutput& out, const SvgPicture& picture, const View& view) {
  size_t marked = 0, small = 0;
  for (const SvgPart& part : picture.parts) {
    marked += !part.finding.empty();
    small += part.finding.empty() && too_small_to_see(part.corners, view);
  }
  std::string labels =
      picture.labelled_by.empty() ? "" : ", labelled by " + picture.labelled_by;
  put_swatch(out, view, 2, Swatch::kPart);
  put_legend_text(out, view, 2, 30,
                  std::to_string(picture.parts.size()) +
                      " outlines as korvane draws them, Y up" + labels);
  put_swatch(out, view, 3, Swatch::kMarked);
  put_legend_text(out, view, 3, 30,
                  std::to_string(marked) +
                      " with a finding, ringed; hover a part for its label, "
                      "size and findings");
  put_disc(out, view, 4);
  put_legend_text(out, view, 4, 30,
                  std::to_string(small) +
                      " too small to see at this size, each in a pale disc");
}

// The legend's first lines: heading, the marks, the scale.
void put_key(TextOutput& out, const SvgPicture& picture, const View& view) {
  put_text(out, "<text font-weight=\"bold\"");
  put_attribute(out, "x", legend_x(view, 0), view);
  put_attribute(out, "y", legend_y(view, 1), view);
  put_text(out, ">");
  put_xml(out, picture.heading);
  put_line(out, "</text>");
  put_marks(out, picture, view);
  put_scale_bar(out, view, 5);
}

// The legend below the board.
void put_legend(TextOutput& out, const SvgPicture& picture, const View& view,
                const std::vector<std::string>& not_drawn) {
  put_text(out, "<g");
  put_attribute(out, "font-size", kLegendPixels / view.scale, view);
  put_attribute(out, "stroke-width", kStrokePixels / view.scale, view);
  put_line(out, ">");
  put_key(out, picture, view);
  for (size_t i = 0; i < not_drawn.size(); ++i)
    put_legend_text(out, view, kKeyLines + i, i ? 12 : 0, not_drawn[i]);
  put_line(out, "</g>");
}

void write_svg(TextOutput& out, const SvgPicture& picture) {
  std::vector<std::string> not_drawn = not_drawn_lines(picture);
  View view = fit_view(parts_box(picture.parts), kKeyLines + not_drawn.size());
  put_head(out, picture, view);
  put_text(out,
           "<g fill=\"#e3ebf5\" stroke=\"#2b4a6f\" "
           "stroke-linejoin=\"round\"");
  put_attribute(out, "stroke-width", kStrokePixels / view.scale, view);
  put_line(out, ">");
  for (const SvgPart& part : picture.parts) put_part(out, part, view);
  put_text(out, "</g>\n<g fill=\"#14202e\" text-anchor=\"middle\"");
  put_attribute(out, "font-size", kLabelPixels / view.scale, view);
  put_line(out, ">");
  for (const SvgPart& part : picture.parts) put_label(out, part, view);
  put_line(out, "</g>");
  put_legend(out, picture, view, not_drawn);
  put_line(out, "</svg>");
}

}  // namespace

int write_svg_file(const char* path, const SvgPicture& picture,
                   Problem& problem) {
  std::string bytes;
  auto out = std::make_unique_for_overwrite<TextOutput>();
  start_text_in_memory(*out, bytes);
  write_svg(*out, picture);
  flush_text_output(*out);
  return replace_file_with(path, std::move(bytes), InPlace::kWhenAlone,
                           problem);
}

}  // namespace korvane
