#include "text/message.h"

#include <cstdio>

namespace korvane {

std::string escaped(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 32 || c == 127) {
      char hex[8];
      snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string quoted(std::string_view text, size_t limit) {
  std::string out(1, '\'');
  out += escaped(text.substr(0, limit));
  return out + (text.size() <= limit ? "'" : "...'");
}

std::string count(long n, const std::string& noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string place(const std::string& file, long line) {
  return line > 0 ? file + ":" + std::to_string(line) : file;
}

std::string listed_numbers(const std::vector<long>& numbers, size_t named,
                           ListStyle style) {
  std::string text;
  for (size_t i = 0; i < numbers.size() && i < named; ++i) {
    bool last = i > 0 && i + 1 == numbers.size() && style == ListStyle::kAnd;
    text += (i == 0 ? "" : last ? " and " : ", ") + std::to_string(numbers[i]);
  }
  if (numbers.size() <= named) return text;
  return text +
         (style == ListStyle::kAnd
              ? " and " + std::to_string(numbers.size() - named) + " more"
              : ", ...");
}

void put_problem(TextOutput& out, const Problem& problem,
                 std::string_view kind) {
  std::string text = escaped(place(problem.file, problem.line)) + ": ";
  text += kind;
  put_line(out, (text + escaped(problem.message)).c_str());
}

void report_error(const char* program, const std::string& message) {
  TextOutput& err = standard_error();
  put_problem(err, problem_at(0, message, program));
  flush_text_output(err);
}

int report_out_of_memory(const char* program, const char* what, int status) {
  TextOutput& err = standard_error();
  put_text(err, program);
  put_text(err, ": out of memory; ");
  put_line(err, what);
  flush_text_output(err);
  return status;
}

}  // namespace korvane
