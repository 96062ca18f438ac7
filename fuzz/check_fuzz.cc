// Fuzzes korvane-check over a working directory laid out from the input
// (lay_out_working_files), with its listing and picture on. It must end
// with 0, 1 or 2, and say korvane fails (2) exactly when korvane does.
#include <cstdio>

#include "korvane-check/check_run.h"
#include "korvane/run.h"
#include "fuzz_util.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_scratch_directory();
  lay_out_working_files(bytes_of(data, size));
  const char* check[] = {"korvane-check", "--list", "--svg", "plate.svg",
                         "--label",       "1",      "plate", "b.txt"};
  int status = run_check(8, check);
  require(status >= 0 && status <= 2, "status 0, 1 or 2");
  const char* korvane[] = {"korvane", "plate", "b.txt"};
  require((status == 2) == (run_korvane(3, korvane) != 0),
          "status 2 exactly when korvane fails");
  return 0;
}
