#include "text/same_file.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>

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

bool follow_links(const std::string& path, std::string& end) {
  end = path;
  return true;
}

#else
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

constexpr int kMaxLinkHops = 40;

}  // namespace

bool same_file(const char* a, const char* b) {
  struct stat sa, sb;
  return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
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

bool same_destination(const std::string& a, const std::string& b) {
  if (same_file(a.c_str(), b.c_str())) return true;
  std::string end_a, end_b;
  follow_links(a, end_a);
  follow_links(b, end_b);
  std::error_code error;
  namespace fs = std::filesystem;
  return fs::absolute(end_a, error).lexically_normal() ==
         fs::absolute(end_b, error).lexically_normal();
}
