#include "text/replace_file.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>
#endif

namespace {

// The folder part of `path` up to its last separator, or "" for none.
std::string folder_of(const std::string& path) {
#ifdef _WIN32
  size_t cut = path.find_last_of("/\\:");
#else
  size_t cut = path.rfind('/');
#endif
  return cut == std::string::npos ? "" : path.substr(0, cut + 1);
}

// Writes straight to `path`, as a plain fopen does.
int open_in_place(FileReplacement& r, const char* path) {
  r.path = path;
  r.file = fopen(path, "wb");
  return r.file ? 0 : -1;
}

#ifdef _WIN32

// True when `path` is missing, or a plain writable file on a disk: no
// folder, link, device, read-only, hidden or system file.
bool replaceable(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  if (attributes &
      (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
    return false;
  HANDLE h = CreateFileA(path, 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool disk = GetFileType(h) == FILE_TYPE_DISK;
  CloseHandle(h);
  return disk;
}

// Creates the new file in the folder of `target`.
int open_temporary(FileReplacement& r, const std::string& target) {
  std::string folder = folder_of(target);
  char temporary[MAX_PATH];
  if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "new", 0,
                        temporary))
    return -1;
  r.file = fopen(temporary, "wb");
  if (!r.file) {
    DeleteFileA(temporary);
    return -1;
  }
  r.temporary = temporary;
  r.path = target;
  return 0;
}

// Flushes `file` to the disk when it is a disk file; closes it.
bool close_on_disk(FILE* file) {
  bool ok = fflush(file) == 0;
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (ok && GetFileType(h) == FILE_TYPE_DISK) ok = FlushFileBuffers(h) != 0;
  return fclose(file) == 0 && ok;
}

bool move_over(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

constexpr int kMaxLinkHops = 40;

// Sets `end` to the name a chain of symbolic links from `path` ends at (a
// name that is no link, or is missing). False for a loop or a bad link.
bool follow_links(const std::string& path, std::string& end) {
  end = path;
  std::vector<char> target(4096);
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st;
    if (lstat(end.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    ssize_t n = readlink(end.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) == target.size()) return false;
    std::string next(target.data(), static_cast<size_t>(n));
    end = next[0] == '/' ? next : folder_of(end) + next;
  }
  return false;
}

// The permission bits fopen gives a new file: 0666 less the umask.
mode_t new_file_mode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Creates the new file beside `target`, with the permission bits `mode`.
int open_temporary(FileReplacement& r, const std::string& target, mode_t mode) {
  std::string folder = folder_of(target);
  std::string name = target.substr(folder.size(), 64);
  std::string temporary = folder + "." + name + ".XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd < 0) return -1;
  r.file = fchmod(fd, mode) == 0 ? fdopen(fd, "wb") : nullptr;
  if (!r.file) {
    close(fd);
    unlink(temporary.c_str());
    return -1;
  }
  r.temporary = temporary;
  r.path = target;
  return 0;
}

// Flushes `file` to the disk when it is a regular file that can be
// flushed (some special file systems cannot); closes it.
bool close_on_disk(FILE* file) {
  bool ok = fflush(file) == 0;
  struct stat st;
  if (ok && fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode))
    ok = fsync(fileno(file)) == 0 || errno == EINVAL;
  return fclose(file) == 0 && ok;
}

// Renames `from` over `to` and has the folder's new entry reach the disk;
// a folder that cannot be flushed is left to the system.
bool move_over(const std::string& from, const std::string& to) {
  if (rename(from.c_str(), to.c_str()) != 0) return false;
  std::string folder = folder_of(to);
  int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
  return true;
}

#endif

}  // namespace

#ifdef _WIN32

int begin_replacement(FileReplacement& r, const char* path) {
  r = FileReplacement{};
  if (replaceable(path) && open_temporary(r, path) == 0) return 0;
  return open_in_place(r, path);
}

#else

int begin_replacement(FileReplacement& r, const char* path) {
  r = FileReplacement{};
  std::string target;
  if (!follow_links(path, target)) return open_in_place(r, path);
  struct stat st;
  bool exists = stat(target.c_str(), &st) == 0;
  bool missing = !exists && errno == ENOENT;
  if (exists && (!S_ISREG(st.st_mode) || access(target.c_str(), W_OK) != 0))
    return open_in_place(r, path);
  if ((exists || missing) &&
      open_temporary(r, target,
                     exists ? st.st_mode & 07777 : new_file_mode()) == 0)
    return 0;
  return open_in_place(r, path);
}

#endif

int close_replacement(FileReplacement& r) {
  bool ok = close_on_disk(r.file);
  r.file = nullptr;
  if (!ok) abandon_replacement(r);
  return ok ? 0 : -1;
}

int commit_replacement(FileReplacement& r) {
  if (r.temporary.empty()) return 0;
  bool ok = move_over(r.temporary, r.path);
  if (!ok) remove(r.temporary.c_str());
  r.temporary.clear();
  return ok ? 0 : -1;
}

int finish_replacement(FileReplacement& r) {
  return close_replacement(r) == 0 ? commit_replacement(r) : -1;
}

void abandon_replacement(FileReplacement& r) {
  if (r.file) fclose(r.file);
  r.file = nullptr;
  if (!r.temporary.empty()) remove(r.temporary.c_str());
  r.temporary.clear();
}
