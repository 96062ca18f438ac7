#include "input/file_form.h"

#include <memory>
#include <string_view>
#include <vector>

#include "os/same_file.h"
#include "text/encoding.h"
#include "text/text_input.h"

namespace korvane {

namespace {

constexpr long kSampleRows = 20;      // rows file_form looks at
constexpr size_t kSampleLine = 4096;  // bytes of a row it looks into

// The separator that the first rows after the heading show in place of
// TABs, read on from `in` at the heading.
FileForm row_form(TextInput& in) {
  std::vector<char> line(kSampleLine + 1);
  FileForm found;
  bool last = read_line(in, line.data(), line.size());
  for (long n = 2; !last && n < 2 + kSampleRows; ++n) {
    last = read_line(in, line.data(), line.size());
    std::string_view text(line.data());
    if (text.empty()) break;
    if (text.find('\t') != std::string_view::npos) return {};
    if (found.line || text.find_first_of(",;") == std::string_view::npos)
      continue;
    bool semicolons = text.find(';') != std::string_view::npos;
    found = {semicolons ? TextForm::kSemicolons : TextForm::kCommas, n};
  }
  return found;
}

}  // namespace

FileForm file_form(const char* path, FormLook look) {
  auto in = std::make_unique_for_overwrite<TextInput>();
  // A pipe could not be read a second time as korvane read it, and
  // opening one could wait.
  if (!is_regular_file(path) || open_text_input(*in, path) != ReadStatus::kRead)
    return {};
  const char* bytes = "";
  size_t n = peek_raw(*in, &bytes);
  FileForm form;
  if (starts_as_utf16(std::string_view(bytes, n)))
    form.form = TextForm::kUtf16;
  else if (look == FormLook::kRows)
    form = row_form(*in);
  close_text_input(*in);
  return form;
}

std::string form_words(TextForm form) {
  if (form == TextForm::kUtf16)
    return "saved as UTF-16 (Notepad's \"Unicode\"): korvane takes the NUL "
           "byte beside each letter for the end of the line's text";
  return std::string("the fields are separated by ") +
         (form == TextForm::kCommas ? "commas" : "semicolons") + ", not TABs";
}

const char* form_remedy(TextForm form) {
  return form == TextForm::kUtf16 ? "save it as UTF-8 or ANSI"
                                  : "save it as tab-separated text";
}

}  // namespace korvane
