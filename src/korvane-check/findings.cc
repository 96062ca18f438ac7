#include "korvane-check/findings.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace korvane {

void add_finding(Findings& findings, const std::string& file, long line,
                 const std::string& message) {
  findings.push_back({file, line, message, false, {}});
}

void add_fatal(Findings& findings, const std::string& file, long line,
               const std::string& message) {
  findings.push_back({file, line, message, true, {}});
}

void add_grouped(Findings& findings, const std::string& file,
                 const std::vector<long>& lines, const std::string& message) {
  Finding f{file, lines.front(), message, false, {}};
  f.placements.assign(lines.begin() + 1, lines.end());
  findings.push_back(std::move(f));
}

std::string other_lines(const std::vector<long>& lines) {
  constexpr size_t kNamed = 5;  // lines named; the rest are counted
  std::string text;
  size_t n = lines.size();
  for (size_t i = 1; i < n && i <= kNamed; ++i) {
    bool last = i + 1 == n || i == kNamed;
    text += (i == 1                    ? ""
             : last && n <= kNamed + 1 ? " and "
                                       : ", ") +
            std::to_string(lines[i]);
  }
  if (n > kNamed + 1)
    text += " and " + std::to_string(n - kNamed - 1) + " more";
  return text;
}

void sort_findings(Findings& findings, const std::vector<std::string>& files) {
  std::vector<std::string> order = files;
  for (const Finding& f : findings)
    if (std::find(order.begin(), order.end(), f.file) == order.end())
      order.push_back(f.file);
  auto rank = [&order](const Finding& f) {
    return std::find(order.begin(), order.end(), f.file) - order.begin();
  };
  std::stable_sort(findings.begin(), findings.end(),
                   [&rank](const Finding& a, const Finding& b) {
                     if (rank(a) != rank(b)) return rank(a) < rank(b);
                     return a.line < b.line;
                   });
}

void print_findings(TextOutput& out, const Findings& findings) {
  for (const Finding& f : findings)
    put_line(out, (place(f.file, f.line) + ": " + f.message).c_str());
}

int findings_status(const Findings& findings) {
  for (const Finding& f : findings)
    if (f.fatal) return kCheckFails;
  return findings.empty() ? kCheckClean : kCheckFindings;
}

std::string fixed(double value) {
  char text[kFixedTextCapacity];
  format_fixed(text, value, 4);
  return text;
}

std::string too_large(double value, bool angle) {
  double size = std::fabs(value);
  if (!(size >= kLargestValue)) return "";
  std::string what = size == DBL_MAX
                         ? " reads as the largest double, about 1.8e308"
                         : " is 1e12 or more in size";
  if (angle)
    return what +
           "; korvane's turn by an angle this large is arbitrary; give it "
           "within -360 to 360";
  return what +
         "; from 1e12 on, a double no longer holds the four decimals korvane "
         "writes, and a DXF reader may refuse coordinates that large (korvane "
         "writes them in full, up to 309 digits); check the number";
}

}  // namespace korvane
