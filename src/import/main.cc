#include "import/import_run.h"
#include "text/heap.h"

int main(int argc, char** argv) {
  keep_freed_memory();
  return run_import(argc, argv);
}
