#include "check/findings.h"

#include <algorithm>

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
