// Fuzzes korvane-import on one export or KiCad board. It must end with 0,
// writing an xy file that korvane reads without fault, or with 2, writing
// nothing; its messages to standard error are dropped. KiCad's installed
// library is left out: listing it would take most of each run.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "korvane/run.h"
#include "fuzz_util.h"
#include "korvane-import/import_run.h"

using namespace korvane;

namespace {

// Runs korvane-import with standard error sent to /dev/null.
int import_quietly(const char* const* argv, int argc) {
  fflush(stderr);
  int saved = dup(2);
  int null = open("/dev/null", O_WRONLY);
  dup2(null, 2);
  close(null);
  int status = run_import(argc, argv);
  fflush(stderr);
  dup2(saved, 2);
  close(saved);
  return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_scratch_directory();
  for (const char* name : {"lumbrex.ini", "size.txt", "b.txt", "plate.dxf"})
    remove(name);
  write_file("export.csv", bytes_of(data, size));
  const char* import[] = {"korvane-import", "--no-default-libraries",
                          "export.csv", "b.txt"};
  int status = import_quietly(import, 4);
  require(status == 0 || status == 2, "status 0 or 2");
  bool written = access("b.txt", F_OK) == 0;
  require(written == (status == 0), "an xy file exactly when status is 0");
  require(status == 0 || access("size.txt", F_OK) != 0,
          "no size table when status is 2");
  if (!written) return 0;
  const char* korvane[] = {"korvane", "--all", "plate", "b.txt"};
  require(run_korvane(4, korvane) == 0, "korvane draws what was imported");
  return 0;
}
