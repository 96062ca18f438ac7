#include "korvane-import/import_run.h"
#include "os/heap.h"

int main(int argc, char** argv) {
  korvane::keep_freed_memory();
  return korvane::run_import(argc, argv);
}
