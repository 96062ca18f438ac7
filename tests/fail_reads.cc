// A test shim, preloaded into korvane on Linux, that gives one input a real
// read error part way through: the xy file, the settings, the size table or
// a template, whichever KORVANE_FAIL_READS names (by any path). Its first
// KORVANE_FAIL_READS_AFTER reads (default 0), counted over every opening of
// the file, go through whole. Before the next one the shim puts
// /proc/self/mem under the stream's descriptor: its offset 0 is never
// mapped, so the C library's own read() gets EIO from the kernel and the
// stream's error flag is set the usual way.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool is_target(int fd) {
  const char* path = getenv("KORVANE_FAIL_READS");
  struct stat wanted, seen;
  return path && fstat(fd, &seen) == 0 && stat(path, &wanted) == 0 &&
         seen.st_dev == wanted.st_dev && seen.st_ino == wanted.st_ino;
}

void spoil_after_allowed_reads(FILE* stream) {
  static int reads = 0;
  int fd = fileno(stream);
  if (fd < 0 || !is_target(fd)) return;
  const char* allowed = getenv("KORVANE_FAIL_READS_AFTER");
  if (reads++ < (allowed ? atoi(allowed) : 0)) return;
  int bad = open("/proc/self/mem", O_RDONLY);
  if (bad < 0) return;
  dup2(bad, fd);
  close(bad);
}

template <typename Function>
Function next_definition(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" size_t fread(void* bytes, size_t size, size_t count, FILE* stream) {
  using Fread = size_t (*)(void*, size_t, size_t, FILE*);
  static Fread real = next_definition<Fread>("fread");
  spoil_after_allowed_reads(stream);
  return real(bytes, size, count, stream);
}

// What fread becomes in a build with _FORTIFY_SOURCE.
extern "C" size_t __fread_chk(void* bytes, size_t room, size_t size,
                              size_t count, FILE* stream) {
  using FreadChk = size_t (*)(void*, size_t, size_t, size_t, FILE*);
  static FreadChk real = next_definition<FreadChk>("__fread_chk");
  spoil_after_allowed_reads(stream);
  return real(bytes, room, size, count, stream);
}
