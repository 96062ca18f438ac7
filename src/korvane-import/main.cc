#include <new>

#include "korvane-import/import_run.h"
#include "os/heap.h"
#include "os/signals.h"
#include "text/message.h"

int main(int argc, char** argv) {
  korvane::keep_freed_memory();
  korvane::ignore_write_signals();
  try {
    return korvane::run_import(argc, argv);
  } catch (const std::bad_alloc&) {
    return korvane::report_out_of_memory(
        "korvane-import", "nothing was written", korvane::kImportWriteFailed);
  }
}
