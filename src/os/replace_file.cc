#include "os/replace_file.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <utility>

#include "os/same_file.h"

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

// One file of a run on its way to the disk.
struct Replacement {
  std::string path;       // as the caller named it
  std::string target;     // the file replaced, links followed
  std::string temporary;  // the new file beside it; empty: written in place
  FILE* file = nullptr;
  bool in_place = false;  // no new file can be made: write `path` itself
  unsigned mode = 0;      // the new file's permission bits (POSIX)
};

// The folder of `path` as a message names it: without its last separator.
std::string shown_folder(const std::string& path) {
  std::string folder = folder_of(path);
  if (folder.size() > 1) folder.pop_back();
  return folder.empty() ? "." : folder;
}

std::string system_error() { return strerror(errno); }

// --- the new files not yet in place, removed on SIGINT and SIGTERM -------

std::vector<std::string>* pending = new std::vector<std::string>;

// Removes the new files and ends the process as the signal would have.
extern "C" void remove_pending(int signal_number) {
#ifdef _WIN32
  for (const std::string& name : *pending) DeleteFileA(name.c_str());
#else
  for (const std::string& name : *pending) unlink(name.c_str());
#endif
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

#ifdef _WIN32

void install_handlers() {
  static bool done = false;
  if (done) return;
  done = true;
  for (int s : {SIGINT, SIGTERM}) std::signal(s, remove_pending);
}

// The list is changed with the signals held back; Windows has no way to
// hold them, and a Ctrl-C there runs its handler on a thread of its own.
struct HeldSignals {};
HeldSignals hold_signals() { return {}; }
void release_signals(HeldSignals) {}

#else

void install_handlers() {
  static bool done = false;
  if (done) return;
  done = true;
  for (int s : {SIGINT, SIGTERM}) {
    struct sigaction old;
    // A job started with the signal ignored keeps ignoring it.
    if (sigaction(s, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
    struct sigaction action = {};
    action.sa_handler = remove_pending;
    sigaction(s, &action, nullptr);
  }
}

using HeldSignals = sigset_t;

HeldSignals hold_signals() {
  sigset_t held, old;
  sigemptyset(&held);
  sigaddset(&held, SIGINT);
  sigaddset(&held, SIGTERM);
  sigprocmask(SIG_BLOCK, &held, &old);
  return old;
}

void release_signals(HeldSignals old) {
  sigprocmask(SIG_SETMASK, &old, nullptr);
}

#endif

// Notes a new file, once made, for the handlers to remove.
void add_pending(const std::string& name) {
  install_handlers();
  pending->push_back(name);
}

void drop_pending(const std::string& name) {
  HeldSignals old = hold_signals();
  for (size_t i = 0; i < pending->size(); ++i) {
    if ((*pending)[i] != name) continue;
    pending->erase(pending->begin() + static_cast<long>(i));
    break;
  }
  release_signals(old);
}

// --- where a new file goes ---------------------------------------------

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

// Decides where `r.path` is written: beside itself, or in place.
void plan(Replacement& r) {
  r.target = r.path;
  r.in_place = !replaceable(r.path.c_str());
}

// Creates the new file in the folder of the target.
bool open_temporary(Replacement& r) {
  std::string folder = folder_of(r.target);
  char temporary[MAX_PATH];
  if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "new", 0,
                        temporary))
    return false;
  HeldSignals old = hold_signals();
  add_pending(temporary);
  release_signals(old);
  r.file = fopen(temporary, "wb");
  r.temporary = temporary;
  return r.file != nullptr;
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

bool name_too_long(const std::string&, std::string&) { return false; }

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

// Decides where `r.path` is written: a new file beside the file its links
// lead to, or, for a device, a pipe, a file that may not be written or a
// broken link, in place.
void plan(Replacement& r) {
  r.in_place = !follow_links(r.path, r.target);
  if (r.in_place) return;
  struct stat st;
  if (stat(r.target.c_str(), &st) == 0) {
    r.in_place = !S_ISREG(st.st_mode) || access(r.target.c_str(), W_OK) != 0;
    r.mode = st.st_mode & 07777;  // the new file takes the old one's
  } else {
    r.in_place = errno != ENOENT && errno != ENAMETOOLONG;
    r.mode = new_file_mode();
  }
}

// Creates the new file beside the target.
bool open_temporary(Replacement& r) {
  std::string folder = folder_of(r.target);
  std::string name = r.target.substr(folder.size(), 64);
  std::string temporary = folder + "." + name + ".XXXXXX";
  // Held back until the new file's name is noted, a signal cannot leave it
  // behind.
  HeldSignals old = hold_signals();
  int fd = mkstemp(temporary.data());
  if (fd >= 0) {
    add_pending(temporary);
    r.temporary = temporary;
  }
  release_signals(old);
  if (fd < 0) return false;
  if (fchmod(fd, static_cast<mode_t>(r.mode)) == 0) r.file = fdopen(fd, "wb");
  if (!r.file) close(fd);
  return r.file != nullptr;
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

// True, with `why` set, when the target's name is longer than its folder
// takes.
bool name_too_long(const std::string& target, std::string& why) {
  std::string folder = folder_of(target);
  size_t length = target.size() - folder.size();
  long most = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
  if (most <= 0 || length <= static_cast<size_t>(most)) return false;
  why = "the name is " + std::to_string(length) +
        " bytes long, and the file system takes " + std::to_string(most);
  return true;
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

// Why the folder of `path` takes no new file, from errno.
std::string folder_refuses(const std::string& path) {
  if (!folder_exists(path))
    return "the folder '" + shown_folder(path) + "' does not exist";
  return "the folder '" + shown_folder(path) + "' takes no new file (" +
         system_error() + ")";
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
  drop_pending(r.temporary);
  r.temporary.clear();
}

void abandon_all(std::vector<Replacement>& all) {
  for (Replacement& r : all) abandon(r);
}

// Opens where `r` is written; several files may not be written in place.
int open_one(Replacement& r, bool alone, Problem& problem) {
  plan(r);
  if (!r.in_place && !open_temporary(r)) {
    bool missing = !folder_exists(r.target);
    std::string why = "cannot be written: " + folder_refuses(r.target);
    abandon(r);
    if (missing) return refuse(problem, r, why);
    if (!alone)
      return refuse(problem, r,
                    why +
                        ", and the files of one run are written whole or "
                        "not at all: nothing was written");
    r.in_place = true;
  }
  if (!r.in_place) return 0;
  if (!alone)
    return refuse(problem, r,
                  "cannot be written whole: it is no plain file that can be "
                  "replaced (a device, a pipe or a file that may not be "
                  "written), and the files of one run are written whole or "
                  "not at all: nothing was written");
  r.file = fopen(r.path.c_str(), "wb");
  if (!r.file)
    return refuse(problem, r, "cannot be written: " + system_error());
  return 0;
}

// Writes the bytes and closes the file. A file written in place is flushed
// to the disk at once; new files are flushed once all are written.
int write_one(Replacement& r, const std::string& bytes, Problem& problem) {
  bool written = fwrite(bytes.data(), 1, bytes.size(), r.file) == bytes.size();
  bool closed = r.in_place ? close_on_disk(r.file) : fclose(r.file) == 0;
  r.file = nullptr;
  if (written && closed) return 0;
  return refuse(problem, r, "cannot be written: " + system_error());
}

int put_in_place(Replacement& r, Problem& problem) {
  if (r.temporary.empty()) return 0;
  if (!move_over(r.temporary, r.target))
    return refuse(problem, r,
                  "cannot be put in place of the old file: " + system_error());
  drop_pending(r.temporary);
  r.temporary.clear();
  return 0;
}

}  // namespace

int replace_files(const std::vector<WholeFile>& files, Problem& problem) {
  std::vector<Replacement> all(files.size());
  bool alone = files.size() == 1;
  for (size_t i = 0; i < files.size(); ++i) {
    all[i].path = files[i].path;
    if (open_one(all[i], alone, problem) != 0 ||
        write_one(all[i], files[i].bytes, problem) != 0) {
      abandon_all(all);
      return -1;
    }
  }
  std::set<std::string> folders;
  for (Replacement& r : all)
    if (!r.in_place) folders.insert(folder_of(r.target));
  // Several new files are flushed together, with one flush of their file
  // system rather than one each; any that fails, each file on its own.
  bool flushed = files.size() > 1 && flush_file_systems(folders);
  for (Replacement& r : all) {
    if (flushed || r.in_place || flush_new_file(r.temporary)) continue;
    refuse(problem, r, "cannot be written: " + system_error());
    abandon_all(all);
    return -1;
  }
  for (Replacement& r : all) {
    if (put_in_place(r, problem) == 0) continue;
    abandon_all(all);
    return -1;
  }
  for (const std::string& folder : folders) flush_folder(folder);
  return 0;
}

int replace_file_with(const std::string& path, std::string bytes,
                      Problem& problem) {
  std::vector<WholeFile> file(1);
  file[0].path = path;
  file[0].bytes = std::move(bytes);
  return replace_files(file, problem);
}

int foresee_replacement(const std::string& path, std::string& why) {
  Replacement r;
  r.path = path;
  plan(r);
  why.clear();
  std::error_code error;
  if (std::filesystem::is_directory(r.target, error)) {
    why = "is a folder";
  } else if (!folder_exists(r.target)) {
    why = folder_refuses(r.target);
  } else if (leads_to_full_device(r.target)) {
    why = "leads to /dev/full, where every write fails";
  } else if (!name_too_long(r.target, why) &&
             (r.in_place || !open_temporary(r))) {
    // Why the folder took no new file, before another call changes errno.
    std::string refused = r.in_place ? "" : folder_refuses(r.target);
    if (!writable_in_place(r.path))
      why = r.in_place ? "cannot be written: " + system_error() : refused;
  }
  abandon(r);
  return why.empty() ? 0 : -1;
}

}  // namespace korvane
