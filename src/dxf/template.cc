#include "dxf/template.h"

#include <memory>

#include "text/text_input.h"

namespace korvane {

ReadStatus copy_template(TextOutput& out, const char* path) {
  auto in = std::make_unique_for_overwrite<TextInput>();
  if (open_text_input(*in, path) != ReadStatus::kRead)
    return ReadStatus::kNotOpened;
  const char* bytes;
  while (size_t n = read_chunk(*in, &bytes)) put_bytes(out, bytes, n);
  ReadStatus status = input_status(*in);
  close_text_input(*in);
  return status;
}

}  // namespace korvane
