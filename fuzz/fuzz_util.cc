#include "fuzz_util.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "text/encoding.h"

namespace korvane {

void silence_standard_output() {
  require(freopen("/dev/null", "w", stdout) != nullptr,
          "cannot silence standard output");
}

namespace {

std::string scratch_directory;

void remove_scratch_directory() {
  std::error_code ignored;
  std::filesystem::remove_all(scratch_directory, ignored);
}

// Memory is much faster than disk for a file written at every run.
std::string scratch_parent() {
  std::error_code ignored;
  if (std::filesystem::is_directory("/dev/shm", ignored)) return "/dev/shm";
  const char* tmp = getenv("TMPDIR");
  return tmp ? tmp : "/tmp";
}

}  // namespace

void enter_scratch_directory() {
  if (!scratch_directory.empty()) return;
  std::string dir = scratch_parent() + "/korvane_fuzz_XXXXXX";
  require(mkdtemp(dir.data()) != nullptr, "cannot create a scratch directory");
  require(chdir(dir.c_str()) == 0, "cannot enter the scratch directory");
  scratch_directory = dir;
  atexit(remove_scratch_directory);
}

void write_file(const char* path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  require(static_cast<bool>(out), "cannot write a scratch file");
}

std::string read_file(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string read_as_text(std::string_view bytes) {
  std::string text;
  for (char c : bytes.substr(0, text_before_ctrl_z(bytes)))
    if (c != '\r') text += c;
  return text;
}

std::string written_as_text(std::string_view text) {
  std::string bytes;
  for (char c : text)
    bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return bytes;
}

void require(bool holds, const char* what) {
  if (holds) return;
  fprintf(stderr, "check failed: %s\n", what);
  abort();
}

std::string_view bytes_of(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

std::vector<std::string> lay_out_working_files(std::string_view input) {
  const char* const files[] = {"lumbrex.ini", "size.txt",  "b.txt",
                               "dxf11.txt",   "dxf12.txt", "dxf13.txt"};
  std::vector<std::string> templates(3);
  for (int i = 0; i < 6; ++i) {
    remove(files[i]);
    if (input.data() == nullptr) continue;
    size_t cut = input.find('\xfe');
    std::string_view piece = input.substr(0, cut);
    write_file(files[i], piece);
    if (i >= 3) templates[i - 3] = written_as_text(read_as_text(piece));
    input = cut == std::string_view::npos ? std::string_view()
                                          : input.substr(cut + 1);
  }
  return templates;
}

// Every target starts with the echo, where it goes, sent to /dev/null.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silence_standard_output();
  return 0;
}

}  // namespace korvane
