#include "os/same_file.h"

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvane {

namespace {

#ifdef _WIN32
bool file_identity(const char* path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE h = CreateFileA(
      path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  return ok;
}
#endif

// The identity of an existing file as text, "" when there is none; it
// starts with a byte no path does.
std::string file_identity_text(const char* path) {
#ifdef _WIN32
  BY_HANDLE_FILE_INFORMATION info;
  if (!file_identity(path, info)) return "";
  std::string identity = std::to_string(info.dwVolumeSerialNumber) + ":" +
                         std::to_string(info.nFileIndexHigh) + ":" +
                         std::to_string(info.nFileIndexLow);
#else
  struct stat st;
  if (stat(path, &st) != 0) return "";
  std::string identity =
      std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
#endif
  return identity.insert(0, 1, '\x01');
}

}  // namespace

bool same_file(const char* a, const char* b) {
  std::string identity = file_identity_text(a);
  return !identity.empty() && identity == file_identity_text(b);
}

#ifdef _WIN32

bool follow_links(const std::string& path, std::string& end) {
  end = path;
  return true;
}

unsigned long name_count(const char* path) {
  BY_HANDLE_FILE_INFORMATION info;
  return file_identity(path, info) ? info.nNumberOfLinks : 0;
}

#else

unsigned long name_count(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 ? static_cast<unsigned long>(st.st_nlink) : 0;
}

bool follow_links(const std::string& path, std::string& end) {
  end = path;
  std::vector<char> target(4096);
  for (int hop = 0; hop < 40; ++hop) {  // a loop, as the system counts them
    struct stat st;
    if (lstat(end.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    ssize_t n = readlink(end.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) == target.size()) return false;
    std::string next(target.data(), static_cast<size_t>(n));
    end = next[0] == '/' ? next : folder_of(end) + next;
  }
  return false;
}

#endif

bool writes_file(const std::string& path, const std::string& file) {
  namespace fs = std::filesystem;
  fs::path a = fs::path(path).lexically_normal();
  fs::path b = fs::path(file).lexically_normal();
  // Names within the working folder are compared without asking the
  // system where that folder is.
  auto inside = [](const fs::path& p) {
    return !p.empty() && !p.has_root_path() && *p.begin() != "..";
  };
  if (!inside(a) || !inside(b)) {
    std::error_code error;
    a = fs::absolute(path, error).lexically_normal();
    b = fs::absolute(file, error).lexically_normal();
  }
  return a == b || same_file(path.c_str(), file.c_str());
}

std::string folder_of(const std::string& path) {
#ifdef _WIN32
  size_t cut = path.find_last_of("/\\:");
#else
  size_t cut = path.rfind('/');
#endif
  return cut == std::string::npos ? "" : path.substr(0, cut + 1);
}

bool is_regular_file(const char* path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

std::string destination_of(const std::string& path) {
  std::string identity = file_identity_text(path.c_str());
  if (!identity.empty()) return identity;
  std::string end;
  follow_links(path, end);
  std::error_code error;
  return std::filesystem::absolute(end, error).lexically_normal().string();
}

}  // namespace korvane
