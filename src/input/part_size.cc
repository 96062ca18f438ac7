#include "input/part_size.h"

#include <memory>

#include "dxf/text_output.h"
#include "input/scan.h"
#include "input/text_input.h"

namespace {

void echo_size(const PartSize& size) {
  if (silent_mode) return;
  TextOutput& echo = standard_output();
  put_text(echo, "L = ");
  put_fixed(echo, size.length, 6);
  put_text(echo, "\nW = ");
  put_fixed(echo, size.width, 6);
  put_text(echo, "\n");
}

// Scans the rows after the heading for `code`; true when found.
bool find_row(TextInput& in, const char* code, PartSize& size) {
  char line[kSizeLineCapacity + 1];
  char field[kSizeLineCapacity + 1];
  read_line(in, line, sizeof line);
  for (;;) {
    read_line(in, line, sizeof line);
    if (line[0] == '\0') return false;
    get_field(line, 2, field, sizeof field);
    if (!silent_mode) put_line(standard_output(), field);
    if (text_equal(field, code)) {
      get_field(line, 3, field, sizeof field);
      size.length = to_real(field);
      get_field(line, 4, field, sizeof field);
      size.width = to_real(field);
      return true;
    }
  }
}

}  // namespace

void lookup_part_size(const char* path, const char* code, PartSize& size) {
  auto in = std::make_unique<TextInput>();
  if (open_text_input(*in, path) != 0) return;
  find_row(*in, code, size);
  close_text_input(*in);
  echo_size(size);
}
