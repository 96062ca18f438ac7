#include <new>

#include "korvane/run.h"
#include "os/signals.h"
#include "text/message.h"

int main(int argc, char** argv) {
  korvane::ignore_write_signals();
  try {
    return korvane::run_korvane(argc, argv);
  } catch (const std::bad_alloc&) {
    return korvane::report_out_of_memory(
        "korvane", "no drawing was written, and an old one is left as it was",
        -1);
  }
}
