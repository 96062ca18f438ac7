// Small helpers shared by the unit tests: scratch files and captured output.
#pragma once

#include <functional>
#include <string>

#include "text/text_output.h"

namespace korvane {

// A fresh path in the test scratch folder, unique to this process.
std::string scratch_path(const std::string& name);

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);

// Runs `write` against a TextOutput on a scratch file and returns the bytes
// that reached the file.
std::string captured(const std::function<void(TextOutput&)>& write);

}  // namespace korvane
