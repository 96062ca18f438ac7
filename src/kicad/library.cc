#include "kicad/library.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "text/scan.h"
#include "text/text_input.h"

namespace korvane {

namespace fs = std::filesystem;

namespace {

// The largest footprint file read; KiCad's largest are near 1 MiB.
constexpr size_t kLargestFootprintFile = 64 * 1024 * 1024;

// The entries of `folder` that are folders (`folders` set) or files whose
// name ends in `extension` (any, when empty), letter case ignored, sorted
// by name.
std::vector<fs::path> entries_of(const fs::path& folder, bool folders,
                                 std::string_view extension) {
  std::vector<fs::path> found;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code ignored;
    if (it->is_directory(ignored) == folders &&
        (extension.empty() ||
         lowered(it->path().extension().string()) == extension))
      found.push_back(it->path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Adds the footprints of one .pretty folder that no earlier folder holds.
void index_pretty(FootprintLibraries& libraries, const fs::path& folder) {
  for (const fs::path& file : entries_of(folder, false, ".kicad_mod"))
    libraries.index.emplace(lowered(file.stem().string()), file.string());
}

// A folder as given, without the separator that may end it.
fs::path folder_path(const std::string& folder) {
  fs::path path(folder);
  return path.has_filename() ? path : path.parent_path();
}

#ifdef _WIN32
// "9.0" as {9, 0}; a name without digits as {}.
std::vector<int> version_numbers(const std::string& name) {
  std::vector<int> numbers;
  size_t pos = 0;
  while (pos < name.size() && name[pos] >= '0' && name[pos] <= '9') {
    size_t digits = integer_length(name.c_str() + pos);
    numbers.push_back(to_integer(name.c_str() + pos));
    pos += digits;
    if (pos < name.size() && name[pos] == '.') ++pos;
  }
  return numbers;
}

// %ProgramFiles%\KiCad\<version>\share\kicad\footprints, newest first.
void add_installed_libraries(FootprintLibraries& libraries) {
  const char* program_files = std::getenv("ProgramFiles");
  if (program_files == nullptr) return;
  std::vector<std::pair<std::vector<int>, fs::path>> installs;
  for (const fs::path& version :
       entries_of(fs::path(program_files) / "KiCad", true, ""))
    installs.emplace_back(version_numbers(version.filename().string()),
                          version / "share" / "kicad" / "footprints");
  std::sort(installs.begin(), installs.end(),
            [](const auto& a, const auto& b) { return a.first > b.first; });
  std::error_code ignored;
  for (const auto& install : installs) {
    if (fs::is_directory(install.second, ignored))
      libraries.folders.push_back(install.second.string());
  }
}
#else
void add_installed_libraries(FootprintLibraries& libraries) {
  std::error_code ignored;
  if (fs::is_directory("/usr/share/kicad/footprints", ignored))
    libraries.folders.push_back("/usr/share/kicad/footprints");
}
#endif

}  // namespace

int add_library_folder(FootprintLibraries& libraries, const std::string& folder,
                       Problem& problem) {
  std::error_code error;
  if (!fs::is_directory(folder_path(folder), error)) {
    problem = problem_at(0,
                         "is not a folder; name a .pretty folder of "
                         "footprints or a folder of them",
                         folder);
    return -1;
  }
  libraries.folders.push_back(folder);
  libraries.indexed = false;
  return 0;
}

void add_default_libraries(FootprintLibraries& libraries) {
  for (const char* variable :
       {"KICAD9_FOOTPRINT_DIR", "KICAD8_FOOTPRINT_DIR", "KICAD7_FOOTPRINT_DIR",
        "KICAD6_FOOTPRINT_DIR"}) {
    const char* folder = std::getenv(variable);
    if (folder != nullptr && *folder != '\0')
      libraries.folders.push_back(folder);
  }
  add_installed_libraries(libraries);
  libraries.indexed = false;
}

void index_libraries(FootprintLibraries& libraries) {
  if (libraries.indexed) return;
  libraries.index.clear();
  for (const std::string& folder : libraries.folders) {
    fs::path path = folder_path(folder);
    if (path.extension() == ".pretty") {
      index_pretty(libraries, path);
      continue;
    }
    for (const fs::path& pretty : entries_of(path, true, ".pretty"))
      index_pretty(libraries, pretty);
  }
  libraries.indexed = true;
}

Lookup find_library_footprint(FootprintLibraries& libraries,
                              std::string_view name, LibraryFootprint& found,
                              Problem& problem) {
  index_libraries(libraries);
  auto entry = libraries.index.find(lowered(name));
  if (entry == libraries.index.end()) return Lookup::kMissing;
  found = LibraryFootprint();
  found.path = entry->second;
  found.library = fs::path(found.path).parent_path().filename().string();
  std::string text;
  ReadStatus status =
      read_file_bytes(found.path.c_str(), text, kLargestFootprintFile);
  if (status != ReadStatus::kRead) {
    problem = problem_at(0,
                         status == ReadStatus::kTooLarge
                             ? "is larger than 64 MiB; no footprint is"
                             : "cannot be read; check that it is there and "
                               "readable",
                         found.path);
    return Lookup::kFailed;
  }
  if (read_footprint_file(text, found.footprint, problem) != 0) {
    problem.file = found.path;
    return Lookup::kFailed;
  }
  return Lookup::kFound;
}

}  // namespace korvane
