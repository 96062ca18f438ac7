// Fuzzes korvane-check against korvane with a read error staged in one of
// the working files: korvane-check must end with 2 exactly when korvane
// fails, on faults as well as on content. The input's first byte picks the
// file whose reads fail (the six files of lay_out_working_files, or none),
// the second how many reads of it go through first; the rest is laid out
// as the working directory. Reads are failed the way a disk fails them: the
// stream's descriptor is swapped for one whose reads end in EIO.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "korvane-check/check_run.h"
#include "korvane/run.h"
#include "fuzz_util.h"

using namespace korvane;

namespace {

// The file whose reads fail, and how many of its reads go through first.
struct Fault {
  bool armed = false;
  dev_t device = 0;
  ino_t inode = 0;
  int allowed = 0;
  int reads = 0;
};

Fault fault;

bool is_faulty(FILE* stream) {
  struct stat st;
  return fault.armed && fstat(fileno(stream), &st) == 0 &&
         st.st_dev == fault.device && st.st_ino == fault.inode;
}

// Arms the fault for `path`, counting its reads from 0.
void arm(const char* path, int allowed) {
  struct stat st;
  fault = Fault{};
  if (stat(path, &st) != 0) return;
  fault = {true, st.st_dev, st.st_ino, allowed, 0};
}

}  // namespace

// Every fread of the programs comes here (the target links with
// --wrap=fread).
extern "C" size_t __real_fread(void* bytes, size_t size, size_t count,
                               FILE* stream);
extern "C" size_t __wrap_fread(void* bytes, size_t size, size_t count,
                               FILE* stream) {
  if (is_faulty(stream) && fault.reads++ >= fault.allowed) {
    int bad = open("/proc/self/mem", O_RDONLY);
    if (bad >= 0) {
      dup2(bad, fileno(stream));
      close(bad);
    }
  }
  return __real_fread(bytes, size, count, stream);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_scratch_directory();
  if (size < 2) return 0;
  const char* const files[] = {"lumbrex.ini", "size.txt",  "b.txt",
                               "dxf11.txt",   "dxf12.txt", "dxf13.txt"};
  const char* faulty = data[0] < 6 ? files[data[0]] : nullptr;
  int allowed = data[1] % 4;
  lay_out_working_files(bytes_of(data + 2, size - 2));
  remove("plate.dxf");
  const char* check[] = {"korvane-check", "plate", "b.txt"};
  const char* korvane[] = {"korvane", "plate", "b.txt"};
  if (faulty) arm(faulty, allowed);
  int status = run_check(3, check);
  if (faulty) arm(faulty, allowed);
  bool failed = run_korvane(3, korvane) != 0;
  fault = Fault{};
  require(status >= 0 && status <= 2, "status 0, 1 or 2");
  require((status == 2) == failed, "status 2 exactly when korvane fails");
  return 0;
}
