#include "korvane-check/findings.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace korvane {

void add_finding(Findings& findings, const std::string& file, long line,
                 const std::string& message) {
  findings.emplace_back().problem = problem_at(line, message, file);
}

void add_fatal(Findings& findings, const std::string& file, long line,
               const std::string& message) {
  add_finding(findings, file, line, message);
  findings.back().severity = Severity::kFatal;
}

void add_grouped(Findings& findings, const std::string& file,
                 const std::vector<long>& lines, const std::string& message) {
  add_finding(findings, file, lines.front(), message);
  findings.back().placements.assign(lines.begin() + 1, lines.end());
}

void sort_findings(Findings& findings, const std::vector<std::string>& files) {
  std::vector<std::string> order = files;
  for (const Finding& f : findings)
    if (std::find(order.begin(), order.end(), f.problem.file) == order.end())
      order.push_back(f.problem.file);
  auto rank = [&order](const Finding& f) {
    return std::find(order.begin(), order.end(), f.problem.file) -
           order.begin();
  };
  std::stable_sort(findings.begin(), findings.end(),
                   [&rank](const Finding& a, const Finding& b) {
                     if (rank(a) != rank(b)) return rank(a) < rank(b);
                     return a.problem.line < b.problem.line;
                   });
}

void print_findings(TextOutput& out, const Findings& findings) {
  for (const Finding& f : findings) put_problem(out, f.problem);
}

int findings_status(const Findings& findings) {
  for (const Finding& f : findings)
    if (f.severity == Severity::kFatal) return kCheckFails;
  return findings.empty() ? kCheckClean : kCheckFindings;
}

std::string fixed(double value) {
  char text[kFixedTextCapacity];
  format_fixed(text, value, 4);
  return text;
}

std::string too_large(double value, Quantity quantity) {
  double size = std::fabs(value);
  if (!(size >= kLargestValue)) return "";
  std::string what = size == DBL_MAX
                         ? " reads as the largest double, about 1.8e308"
                         : " is 1e12 or more in size";
  if (quantity == Quantity::kAngle)
    return what +
           "; korvane's turn by an angle this large is arbitrary; give it "
           "within -360 to 360";
  return what +
         "; from 1e12 on, a double no longer holds the four decimals korvane "
         "writes, and a DXF reader may refuse coordinates that large (korvane "
         "writes them in full, up to 309 digits); check the number";
}

}  // namespace korvane
