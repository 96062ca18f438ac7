#include "test_util.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace korvane {

namespace {

int process_id() {
#ifdef _WIN32
  return _getpid();
#else
  return getpid();
#endif
}

std::filesystem::path scratch_dir() {
  return std::filesystem::temp_directory_path() /
         ("korvane_tests_" + std::to_string(process_id()));
}

void remove_scratch_dir() {
  std::error_code ignored;
  std::filesystem::remove_all(scratch_dir(), ignored);
}

}  // namespace

std::string scratch_path(const std::string& name) {
  static int counter = 0;
  auto dir = scratch_dir();
  // Process ids come back (soon on Windows): start from an empty folder,
  // and leave none behind.
  if (counter == 0) {
    std::filesystem::remove_all(dir);
    std::atexit(remove_scratch_dir);
  }
  std::filesystem::create_directories(dir);
  return (dir / (std::to_string(++counter) + "_" + name)).string();
}

std::string write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string captured(const std::function<void(TextOutput&)>& write) {
  std::string path = scratch_path("out");
  auto out = std::make_unique<TextOutput>();
  if (!(out->file = fopen(path.c_str(), "wb"))) return "<cannot open>";
  write(*out);
  flush_text_output(*out);
  fclose(out->file);
  return read_file(path);
}

std::string fixed(double value) {
  char text[kFixedTextCapacity];
  return std::string(text, format_fixed(text, value, 4));
}

std::string line_and_message(const Problem& problem) {
  return std::to_string(problem.line) + ": " + problem.message;
}

}  // namespace korvane
