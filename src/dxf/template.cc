#include "dxf/template.h"

#include <memory>

#include "text/text_input.h"

namespace korvane {

int copy_template(TextOutput& out, const char* path) {
  auto in = std::make_unique_for_overwrite<TextInput>();
  if (open_text_input(*in, path) != 0) return kNotOpened;
  const char* bytes;
  while (size_t n = read_chunk(*in, &bytes)) put_bytes(out, bytes, n);
  int status = in->failed ? kReadFailed : 0;
  close_text_input(*in);
  return status;
}

}  // namespace korvane
