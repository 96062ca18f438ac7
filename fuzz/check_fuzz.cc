// Fuzzes korvane-check over a working directory laid out from the input
// (lay_out_working_files), with its listing and picture on. It must end
// with 0, 1 or 2, and say korvane fails (2) exactly when korvane does; an
// input of odd length runs both with --all.
#include <cstdio>

#include "korvane-check/check_run.h"
#include "korvane/run.h"
#include "fuzz_util.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_scratch_directory();
  lay_out_working_files(bytes_of(data, size));
  int all = static_cast<int>(size % 2);
  const char* check[] = {"korvane-check", "--list",  "--svg",
                         "plate.svg",     "--label", "1",
                         "plate",         "b.txt",   "--all"};
  int status = run_check(8 + all, check);
  require(status >= 0 && status <= 2, "status 0, 1 or 2");
  const char* plain[] = {"korvane", "plate", "b.txt"};
  const char* every[] = {"korvane", "--all", "plate", "b.txt"};
  int drawn = all ? run_korvane(4, every) : run_korvane(3, plain);
  require((status == 2) == (drawn != 0), "status 2 exactly when korvane fails");
  return 0;
}
