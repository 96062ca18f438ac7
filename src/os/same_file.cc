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

#ifdef _WIN32

namespace {

bool file_identity(const char* path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE h = CreateFileA(
      path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  return ok;
}

}  // namespace

bool same_file(const char* a, const char* b) {
  BY_HANDLE_FILE_INFORMATION ia, ib;
  return file_identity(a, ia) && file_identity(b, ib) &&
         ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}

namespace {

// The identity of an existing file as text, "" when there is none; it
// starts with a byte no path does.
std::string file_identity_text(const char* path) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!file_identity(path, info)) return "";
  std::string text(1, '\x01');
  text += std::to_string(info.dwVolumeSerialNumber) + ":" +
          std::to_string(info.nFileIndexHigh) + ":" +
          std::to_string(info.nFileIndexLow);
  return text;
}

}  // namespace

bool follow_links(const std::string& path, std::string& end) {
  end = path;
  return true;
}

unsigned long name_count(const char* path) {
  BY_HANDLE_FILE_INFORMATION info;
  return file_identity(path, info) ? info.nNumberOfLinks : 0;
}

#else

namespace {

constexpr int kMaxLinkHops = 40;

}  // namespace

bool same_file(const char* a, const char* b) {
  struct stat sa, sb;
  return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

namespace {

// The identity of an existing file as text, "" when there is none; it
// starts with a byte no path does.
std::string file_identity_text(const char* path) {
  struct stat st;
  if (stat(path, &st) != 0) return "";
  std::string text(1, '\x01');
  text += std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
  return text;
}

}  // namespace

unsigned long name_count(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 ? static_cast<unsigned long>(st.st_nlink) : 0;
}

bool follow_links(const std::string& path, std::string& end) {
  end = path;
  std::vector<char> target(4096);
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st;
    if (lstat(end.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    ssize_t n = readlink(end.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) == target.size()) return false;
    std::string next(target.data(), static_cast<size_t>(n));
    size_t cut = end.rfind('/');
    end = next[0] == '/' || cut == std::string::npos
              ? next
              : end.substr(0, cut + 1) + next;
  }
  return false;
}

#endif

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
