#include "check/findings.h"

#include <algorithm>
#include <cstdio>

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

std::string count(long n, const std::string& noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

void print_findings(TextOutput& out, const Findings& findings) {
  for (const Finding& f : findings) {
    std::string text = f.line > 0 ? place(f.file, f.line) : f.file;
    put_line(out, (text + ": " + f.message).c_str());
  }
}

int findings_status(const Findings& findings) {
  for (const Finding& f : findings)
    if (f.fatal) return 2;
  return findings.empty() ? 0 : 1;
}

std::string quoted(const std::string& text, size_t limit) {
  std::string out = "'";
  for (size_t i = 0; i < text.size(); ++i) {
    if (i == limit) {
      out += "...";
      break;
    }
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\t') {
      out += "\\t";
    } else if (c < 32 || c == 127) {
      char hex[8];
      snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "'";
}

std::string fixed(double value) {
  char text[kFixedTextCapacity];
  format_fixed(text, value, 4);
  return text;
}

std::string number(double value) {
  std::string text = fixed(value);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string place(const std::string& file, long line) {
  return file + ":" + std::to_string(line);
}
