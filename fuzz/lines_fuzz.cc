// Fuzzes line reading and field cutting. The first three bytes of the input
// choose the line capacity, the field capacity and whether the rest is
// repeated so that lines cross the read buffer. The file
// is read line by line into a buffer of exactly that capacity, each line is
// cut into fields, and everything is checked against a plain model of the
// text rules.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "text/scan.h"
#include "text/text_input.h"

using namespace korvane;

namespace {

struct Choice {
  size_t line_size;
  size_t field_size;
  std::string file;
};

struct ModelLine {
  std::string bytes;
  bool at_end;
};

Choice choose(std::string_view input) {
  auto a = static_cast<unsigned char>(input[0]);
  auto b = static_cast<unsigned char>(input[1]);
  auto c = static_cast<unsigned char>(input[2]);
  std::string_view body = input.substr(3);
  Choice choice{a < 200 ? a + 1u : 2049u, b % 48 + 1u, std::string(body)};
  // One input in eight is repeated to just past the read buffer.
  size_t length = c < 224 ? 0 : kTextInputBuffer - 512 + (c - 224u) * 32;
  while (choice.file.size() < length) choice.file += body;
  return choice;
}

std::vector<ModelLine> model_lines(const std::string& file) {
  std::string text = read_as_text(file);
  std::vector<ModelLine> lines;
  size_t start = 0;
  for (size_t lf; (lf = text.find('\n', start)) != std::string::npos;
       start = lf + 1)
    lines.push_back({text.substr(start, lf - start), false});
  lines.push_back({text.substr(start), true});
  return lines;
}

TextInput* open_memory(std::unique_ptr<TextInput>& in, std::string& file) {
  in = std::make_unique<TextInput>();
  in->file = fmemopen(file.data(), file.size(), "rb");
  require(in->file != nullptr, "fmemopen failed");
  return in.get();
}

// The text a line holds for the routines that take it as a string.
std::string as_string(const std::string& bytes, size_t size) {
  std::string kept = bytes.substr(0, size - 1);
  return kept.substr(0, kept.find('\0'));
}

std::vector<std::string> split_at_tabs(const std::string& text) {
  std::vector<std::string> fields(1);
  for (char c : text) {
    if (c == '\t')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

bool model_equal(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? a[i] - 32 : a[i];
    char y = b[i] >= 'a' && b[i] <= 'z' ? b[i] - 32 : b[i];
    if (x != y) return false;
  }
  return true;
}

void check_fields(const std::string& text, size_t size) {
  std::vector<std::string> fields = split_at_tabs(text);
  int last = static_cast<int>(fields.size() < 10 ? fields.size() : 10) + 1;
  for (int n = -1; n <= last; ++n) {
    auto out = std::make_unique<char[]>(size);
    get_field(text.c_str(), n, out.get(), size);
    size_t i = n <= 1 ? 0 : static_cast<size_t>(n - 1);
    std::string want = i < fields.size() ? fields[i] : "";
    require(want.substr(0, size - 1) == out.get(), "get_field");
    require(text_equal(text.c_str(), out.get()) == model_equal(text, out.get()),
            "text_equal");
  }
}

void check_lines(Choice& choice) {
  std::unique_ptr<TextInput> in;
  open_memory(in, choice.file);
  auto line = std::make_unique<char[]>(choice.line_size);
  std::vector<ModelLine> model = model_lines(choice.file);
  size_t count = 0;
  for (const ModelLine& want : model) {
    bool at_end = read_line(*in, line.get(), choice.line_size);
    size_t kept = want.bytes.size() < choice.line_size - 1
                      ? want.bytes.size()
                      : choice.line_size - 1;
    require(at_end == want.at_end, "read_line reports the end");
    require(
        memcmp(line.get(), want.bytes.data(), kept) == 0 && line[kept] == '\0',
        "read_line bytes");
    // Cutting fields costs more than reading: the first lines are enough.
    if (++count <= 16)
      check_fields(as_string(want.bytes, choice.line_size), choice.field_size);
  }
  require(read_line(*in, line.get(), choice.line_size) && line[0] == '\0',
          "read_line after the end");
  require(!in->failed, "no read error");
  fclose(in->file);
}

void check_chunks(Choice& choice) {
  std::unique_ptr<TextInput> in;
  open_memory(in, choice.file);
  std::string all;
  const char* bytes;
  while (size_t n = read_chunk(*in, &bytes)) all.append(bytes, n);
  require(all == read_as_text(choice.file), "read_chunk");
  fclose(in->file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  Choice choice = choose(bytes_of(data, size));
  check_lines(choice);
  check_chunks(choice);
  return 0;
}
