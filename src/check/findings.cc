#include "check/findings.h"

#include <algorithm>

void add_finding(Findings& findings, const std::string& file, long line,
                 const std::string& message) {
  findings.push_back({file, line, message, false});
}

void add_fatal(Findings& findings, const std::string& file, long line,
               const std::string& message) {
  findings.push_back({file, line, message, true});
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
