#include "os/replace_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <utility>

#include "os/same_file.h"
#include "os/signals.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvane {

namespace {

// How a file can be written.
enum class Way : unsigned char {
  kNewFile,  // through a new file beside it, renamed over it
  kInPlace,  // only in place: a device, a pipe, a file that may not be
             // written, or one whose folder takes no new file
  kNone,     // not at all: a folder, a loop of links, a name too long
};

// One file of a run on its way to the disk.
struct Replacement {
  std::string path;       // as the caller named it
  std::string target;     // the file replaced, links followed
  std::string temporary;  // the new file beside it; empty: none
  std::string why;        // what stands in the way of a new file
  FILE* file = nullptr;
  Way way = Way::kNewFile;
  bool in_place = false;  // `path` itself is being written
  bool existed = false;   // an old file is there to be replaced
  unsigned mode = 0;      // the new file's permission bits (POSIX)
};

// The folder of `path` as a message names it: without its last separator.
std::string shown_folder(const std::string& path) {
  std::string folder = folder_of(path);
  if (folder.size() > 1) folder.pop_back();
  return folder.empty() ? "." : folder;
}

std::string system_error(int error) { return strerror(error); }
std::string system_error() { return system_error(errno); }

// --- where a new file goes ---------------------------------------------

#ifdef _WIN32

// Decides how `r.path` is written: a plain writable file on a disk, or a
// missing one, through a new file; a folder not at all; anything else (a
// device, a link, a read-only, hidden or system file) only in place.
void plan(Replacement& r) {
  r.target = r.path;
  DWORD attributes = GetFileAttributesA(r.path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
    r.way = Way::kInPlace;
    r.why = "it is no file on a disk (a device, or a name Windows keeps)";
    return;
  }
  r.existed = true;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    r.way = Way::kNone;
    r.why = "it is a folder";
  } else if (attributes &
             (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY |
              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
    r.way = Way::kInPlace;
    r.why = "it is a link, or a read-only, hidden or system file";
  } else {
    HANDLE h =
        CreateFileA(r.path.c_str(), 0,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    bool disk = h != INVALID_HANDLE_VALUE && GetFileType(h) == FILE_TYPE_DISK;
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (!disk) r.way = Way::kInPlace;
    if (!disk) r.why = "it is a device or a pipe";
  }
}

// Creates the new file in the folder of the target. Returns 0, or the
// error that kept it from being made.
int open_temporary(Replacement& r) {
  std::string folder = folder_of(r.target);
  char temporary[MAX_PATH];
  if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "new", 0,
                        temporary))
    return EACCES;
  HeldSignals old = hold_signals();
  remove_on_interrupt(temporary);
  release_signals(old);
  r.temporary = temporary;
  r.file = fopen(temporary, "wb");
  return r.file ? 0 : errno;
}

// Flushes `file` to the disk when it is a disk file; closes it.
bool close_on_disk(FILE* file) {
  bool ok = fflush(file) == 0;
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (ok && GetFileType(h) == FILE_TYPE_DISK) ok = FlushFileBuffers(h) != 0;
  return fclose(file) == 0 && ok;
}

// Flushes a closed new file to the disk.
bool flush_new_file(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = FlushFileBuffers(h) != 0;
  return CloseHandle(h) != 0 && ok;
}

bool move_over(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// MOVEFILE_WRITE_THROUGH has already flushed the folder.
void flush_folder(const std::string&) {}

// Each new file is flushed on its own.
bool flush_file_systems(const std::set<std::string>&) { return false; }

bool leads_to_full_device(const std::string&) { return false; }

bool writable_in_place(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

#else

// The permission bits fopen gives a new file: 0666 less the umask.
mode_t new_file_mode() {
  static mode_t mask = [] {
    mode_t old = umask(0);
    umask(old);
    return old;
  }();
  return 0666 & ~mask;
}

// What a path that is no regular file is, for a message.
const char* kind_of(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISFIFO(mode)) return "it is a pipe";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device";
  if (S_ISSOCK(mode)) return "it is a socket";
  return "it is no regular file";
}

// The target's path, and its name, must be no longer than the system and
// its folder take. Returns -1 with `problem` saying by how much otherwise.
int check_name_length(const std::string& target, Problem& problem) {
  std::string folder = folder_of(target);
  size_t length = target.size() - folder.size();
  long most = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
  if (most > 0 && length > static_cast<size_t>(most)) {
    problem = problem_at(0, "the name is " + std::to_string(length) +
                                " bytes long, and the file system takes " +
                                std::to_string(most));
    return -1;
  }
  if (target.size() < PATH_MAX) return 0;
  problem = problem_at(0, "the path is " + std::to_string(target.size()) +
                              " bytes long, and the system takes " +
                              std::to_string(PATH_MAX - 1));
  return -1;
}

// Plans a path that stat() could not follow to a file, failing with
// `error`: a new file where it is missing, or where a chain of links ends
// at no file.
void plan_missing(Replacement& r, int error) {
  r.mode = new_file_mode();
  Problem problem;
  bool followed = error == ENOENT && follow_links(r.path, r.target);
  if (followed && check_name_length(r.target, problem) == 0) return;
  r.way = Way::kNone;
  if (followed ||
      (error == ENAMETOOLONG && check_name_length(r.path, problem) != 0))
    r.why = problem.message;
  else if (error == ELOOP || error == ENOENT)
    r.why =
        "its symbolic links lead round in a loop (or through too many "
        "links to follow)";
  else if (error == ENOTDIR)
    r.why = "a part of its path is a file, not a folder";
  else
    r.why = system_error(error);
}

// Decides how `r.path` is written: through a new file beside the file its
// links lead to; only in place for a device, a pipe or a file that may not
// be written; not at all for a folder, a loop of links or a name too long.
void plan(Replacement& r) {
  struct stat st;
  r.target = r.path;
  if (stat(r.path.c_str(), &st) != 0) return plan_missing(r, errno);
  r.existed = true;
  if (!S_ISREG(st.st_mode)) {
    r.way = S_ISDIR(st.st_mode) ? Way::kNone : Way::kInPlace;
    r.why = kind_of(st.st_mode);
    return;
  }
  follow_links(r.path, r.target);
  r.mode = st.st_mode & 07777;  // the new file takes the old one's
  if (access(r.target.c_str(), W_OK) == 0) return;
  r.way = Way::kInPlace;
  r.why = "it may not be written (" + system_error() + ")";
}

// Creates the new file beside the target. Returns 0, or the error that
// kept it from being made.
int open_temporary(Replacement& r) {
  std::string folder = folder_of(r.target);
  std::string name = r.target.substr(folder.size(), 64);
  std::string temporary = folder + "." + name + ".XXXXXX";
  r.temporary.reserve(temporary.size());
  // Held back until the new file's name is noted, a signal cannot leave it
  // behind.
  HeldSignals old = hold_signals();
  int fd = mkstemp(temporary.data());
  int error = errno;
  try {
    if (fd >= 0) remove_on_interrupt(temporary);
  } catch (...) {
    unlink(temporary.c_str());
    close(fd);
    release_signals(old);
    throw;
  }
  if (fd >= 0) r.temporary = temporary;
  release_signals(old);
  if (fd < 0) return error;
  if (fchmod(fd, static_cast<mode_t>(r.mode)) == 0) r.file = fdopen(fd, "wb");
  error = errno;
  if (!r.file) close(fd);
  return r.file ? 0 : error;
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

// Flushes a closed new file to the disk.
bool flush_new_file(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0 || errno == EINVAL;
  return close(fd) == 0 && ok;
}

bool move_over(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

// Has the folder's new entries reach the disk; a folder that cannot be
// flushed is left to the system.
void flush_folder(const std::string& folder) {
  int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Flushes the file systems of `folders`, each once, through the folder
// itself: one flush for all the new files of a run. False when a file
// system could not be flushed so (or not at all outside Linux); each file
// is then flushed on its own.
bool flush_file_systems(const std::set<std::string>& folders) {
#ifdef __linux__
  std::set<dev_t> flushed;
  for (const std::string& folder : folders) {
    int fd =
        open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    struct stat st;
    bool ok = fd >= 0 && fstat(fd, &st) == 0;
    if (ok && flushed.insert(st.st_dev).second) ok = syncfs(fd) == 0;
    if (fd >= 0) close(fd);
    if (!ok) return false;
  }
  return true;
#else
  (void)folders;
  return false;
#endif
}

bool leads_to_full_device(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) && strcmp(resolved, "/dev/full") == 0;
}

// Opens the file for writing without changing it; a pipe without a reader
// counts as writable, since korvane would wait for one.
bool writable_in_place(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
  if (fd < 0) return errno == ENXIO;
  close(fd);
  return true;
}

#endif

bool folder_exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(shown_folder(path), error);
}

// Why the folder of `path` took no new file, failing with `error`; sets
// `r.way` to whether the file may still be written in place.
void folder_refuses(Replacement& r, int error) {
  bool exists = folder_exists(r.target);
  r.way = exists ? Way::kInPlace : Way::kNone;
  r.why = "the folder '" + shown_folder(r.target) +
          (exists ? "' takes no new file (" + system_error(error) + ")"
                  : "' does not exist");
}

int refuse(Problem& problem, const Replacement& r, const std::string& why) {
  problem = problem_at(0, why, r.path);
  return -1;
}

void abandon(Replacement& r) {
  if (r.file) fclose(r.file);
  r.file = nullptr;
  if (r.temporary.empty()) return;
  remove(r.temporary.c_str());
  forget_on_interrupt(r.temporary);
  r.temporary.clear();
}

void abandon_all(std::vector<Replacement>& all) {
  for (Replacement& r : all) abandon(r);
}

// Opens where `r` is written: a new file, or the file itself where
// `in_place` allows it.
int open_one(Replacement& r, InPlace in_place, bool alone, Problem& problem) {
  plan(r);
  if (r.way == Way::kNewFile) {
    int error = open_temporary(r);
    if (error == 0) return 0;
    abandon(r);
    folder_refuses(r, error);
  }
  if (r.way == Way::kNone)
    return refuse(problem, r, "cannot be written: " + r.why);
  if (in_place == InPlace::kNever || !alone)
    return refuse(problem, r,
                  "cannot be written whole: " + r.why +
                      "; the files of one run are written whole, each "
                      "through a new file put in its place, or not at all: "
                      "nothing was written");
  r.in_place = true;
  r.file = fopen(r.path.c_str(), "wb");
  if (!r.file)
    return refuse(problem, r, "cannot be written: " + system_error());
  return 0;
}

// Writes the bytes and closes the file. A file written in place is flushed
// to the disk at once; new files are flushed once all are written.
int write_one(Replacement& r, const std::string& bytes, Problem& problem) {
  bool written = fwrite(bytes.data(), 1, bytes.size(), r.file) == bytes.size();
  int error = errno;
  bool closed = r.in_place ? close_on_disk(r.file) : fclose(r.file) == 0;
  if (written) error = errno;
  r.file = nullptr;
  if (written && closed) return 0;
  return refuse(problem, r, "cannot be written: " + system_error(error));
}

int put_in_place(Replacement& r, Problem& problem) {
  if (r.temporary.empty()) return 0;
  if (!move_over(r.temporary, r.target))
    return refuse(problem, r,
                  std::string(r.existed ? "cannot be put in place of the old "
                                          "file: "
                                        : "cannot be put in place: ") +
                      system_error());
  forget_on_interrupt(r.temporary);
  r.temporary.clear();
  return 0;
}

// replace_files, with the new files in `all`.
int replace_all(const std::vector<WholeFile>& files, InPlace in_place,
                std::vector<Replacement>& all, Problem& problem) {
  for (size_t i = 0; i < files.size(); ++i) {
    all[i].path = files[i].path;
    if (open_one(all[i], in_place, files.size() == 1, problem) != 0 ||
        write_one(all[i], files[i].bytes, problem) != 0)
      return -1;
  }
  std::set<std::string> folders;
  for (Replacement& r : all)
    if (!r.in_place) folders.insert(folder_of(r.target));
  // Several new files are flushed together, with one flush of their file
  // system rather than one each; any that fails, each file on its own.
  bool flushed = files.size() > 1 && flush_file_systems(folders);
  for (Replacement& r : all) {
    if (flushed || r.in_place || flush_new_file(r.temporary)) continue;
    return refuse(problem, r, "cannot be written: " + system_error());
  }
  for (Replacement& r : all)
    if (put_in_place(r, problem) != 0) return -1;
  for (const std::string& folder : folders) flush_folder(folder);
  return 0;
}

}  // namespace

int replace_files(const std::vector<WholeFile>& files, InPlace in_place,
                  Problem& problem) {
  std::vector<Replacement> all(files.size());
  try {
    if (replace_all(files, in_place, all, problem) == 0) return 0;
  } catch (...) {  // out of memory: no new file may stay behind
    abandon_all(all);
    throw;
  }
  abandon_all(all);
  return -1;
}

int replace_file_with(const std::string& path, std::string bytes,
                      InPlace in_place, Problem& problem) {
  std::vector<WholeFile> file(1);
  file[0].path = path;
  file[0].bytes = std::move(bytes);
  return replace_files(file, in_place, problem);
}

int foresee_replacement(const std::string& path, Problem& problem) {
  Replacement r;
  r.path = path;
  plan(r);
  int error = r.way == Way::kNewFile ? open_temporary(r) : 0;
  bool made = r.way == Way::kNewFile && error == 0;
  abandon(r);
  if (made) return 0;
  if (r.way == Way::kNewFile) folder_refuses(r, error);
  if (r.way == Way::kInPlace && leads_to_full_device(r.path))
    return refuse(problem, r, "leads to /dev/full, where every write fails");
  if (r.way == Way::kInPlace && writable_in_place(r.path)) return 0;
  bool named = r.way == Way::kNone || !r.existed;
  return refuse(problem, r,
                named ? r.why : "cannot be written: " + system_error());
}

}  // namespace korvane
