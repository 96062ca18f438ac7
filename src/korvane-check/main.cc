#include <new>

#include "korvane-check/check_run.h"
#include "korvane-check/findings.h"
#include "os/signals.h"
#include "text/message.h"

int main(int argc, char** argv) {
  korvane::ignore_write_signals();
  try {
    return korvane::run_check(argc, argv);
  } catch (const std::bad_alloc&) {
    return korvane::report_out_of_memory("korvane-check",
                                         "the files could not be checked",
                                         korvane::kCheckFails);
  }
}
