#include "text/message.h"

#include <cstdio>

#include "text/text_output.h"

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

void report_error(const char* program, const std::string& message) {
  TextOutput& err = standard_error();
  put_line(err, (std::string(program) + ": " + message).c_str());
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
