#include "kicad/library.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "text/scan.h"
#include "text/text_input.h"

namespace korvane {

namespace fs = std::filesystem;

namespace {

// The largest footprint file read; KiCad's largest are near 1 MiB.
constexpr size_t kLargestFootprintFile = 64 * 1024 * 1024;

// A folder as given, without the separator that may end it.
fs::path folder_path(const std::string& folder) {
  fs::path path(folder);
  return path.has_filename() ? path : path.parent_path();
}

// What a directory entry that is no regular file is, for a message.
std::string entry_kind(const fs::directory_entry& entry) {
  std::error_code error;
  fs::file_type type = entry.status(error).type();
  if (type == fs::file_type::directory) return "a folder";
  if (type == fs::file_type::fifo) return "a pipe";
  if (type == fs::file_type::block || type == fs::file_type::character)
    return "a device";
  if (type == fs::file_type::not_found) return "a link that leads nowhere";
  return "no regular file";
}

// The entries of `folder` that are folders or regular files, as `kind`
// asks, whose name ends in `extension` (any, when empty), letter case
// ignored, sorted by name. Sets `error` when the folder cannot be listed,
// and adds a warning to `passed` for each file entry of that extension
// that is no regular file.
enum class Entry { kFolder, kFile };
std::vector<fs::path> entries_of(const fs::path& folder, Entry kind,
                                 std::string_view extension,
                                 std::error_code& error,
                                 std::vector<Problem>* passed = nullptr) {
  std::vector<fs::path> found;
  for (fs::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code ignored;
    if (!extension.empty() &&
        lowered(it->path().extension().string()) != extension)
      continue;
    bool is_folder = it->is_directory(ignored);
    if (kind == Entry::kFolder ? is_folder : it->is_regular_file(ignored))
      found.push_back(it->path());
    else if (passed && kind == Entry::kFile)
      passed->push_back(problem_at(
          0, "passed over: it is " + entry_kind(*it) + ", not a footprint file",
          it->path().string()));
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Adds the footprints of one .pretty folder that no earlier folder holds.
// Returns how many footprint files it holds.
size_t index_pretty(FootprintLibraries& libraries, const fs::path& folder,
                    std::error_code& error) {
  std::vector<fs::path> files = entries_of(folder, Entry::kFile, ".kicad_mod",
                                           error, &libraries.warnings);
  for (const fs::path& file : files)
    libraries.index.emplace(lowered(file.stem().string()), file.string());
  return files.size();
}

// Why a folder named by the user held no footprint file, as a warning.
Problem held_nothing(const std::string& folder, const fs::path& path,
                     const std::error_code& error) {
  std::string why, advice;
  std::error_code ignored;
  if (error) {
    why = "cannot be read (" + error.message() + ")";
  } else if (path.extension() == ".pretty") {
    why = "holds no .kicad_mod footprint file";
  } else if (!entries_of(path, Entry::kFolder, ".pretty", ignored).empty()) {
    why = "holds no .kicad_mod footprint file in its .pretty folders";
  } else if (!entries_of(path, Entry::kFile, ".kicad_mod", ignored).empty()) {
    why = "holds .kicad_mod files, but is no .pretty folder";
    advice = "; KiCad's libraries are folders named NAME.pretty: rename it so";
  } else {
    why = "is no .pretty folder and holds none";
    advice = "; name a .pretty folder of footprints, or a folder of them";
  }
  return problem_at(0, why + ", so --library finds no footprint in it" + advice,
                    folder);
}

// Adds the footprints of `folder` (a .pretty folder, or a folder of them)
// that no earlier folder holds; returns how many footprint files it holds.
size_t index_folder(FootprintLibraries& libraries, const std::string& folder,
                    bool given) {
  fs::path path = folder_path(folder);
  std::error_code error;
  size_t held = 0;
  if (path.extension() == ".pretty") {
    held = index_pretty(libraries, path, error);
  } else {
    for (const fs::path& pretty :
         entries_of(path, Entry::kFolder, ".pretty", error)) {
      std::error_code ignored;
      held += index_pretty(libraries, pretty, ignored);
    }
  }
  if (given && held == 0)
    libraries.warnings.push_back(held_nothing(folder, path, error));
  return held;
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
  std::error_code error;
  for (const fs::path& version :
       entries_of(fs::path(program_files) / "KiCad", Entry::kFolder, "", error))
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
  libraries.given = libraries.folders.size();
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
  libraries.warnings.clear();
  for (size_t i = 0; i < libraries.folders.size(); ++i)
    index_folder(libraries, libraries.folders[i], i < libraries.given);
  libraries.indexed = true;
}

int find_library_footprint(FootprintLibraries& libraries, std::string_view name,
                           std::optional<LibraryFootprint>& found,
                           Problem& problem) {
  found.reset();
  index_libraries(libraries);
  auto entry = libraries.index.find(lowered(name));
  if (entry == libraries.index.end()) return 0;
  const std::string& path = entry->second;
  LibraryFootprint read;
  read.library = fs::path(path).parent_path().filename().string();
  std::string text;
  ReadStatus status =
      read_file_bytes(path.c_str(), text, kLargestFootprintFile);
  if (status != ReadStatus::kRead) {
    problem = problem_at(0,
                         status == ReadStatus::kTooLarge
                             ? "is larger than 64 MiB; no footprint is"
                             : "cannot be read; check that it is there and "
                               "readable",
                         path);
    return -1;
  }
  if (read_footprint_file(text, read.footprint, problem) != 0) {
    problem.file = path;
    return -1;
  }
  found = std::move(read);
  return 0;
}

}  // namespace korvane
