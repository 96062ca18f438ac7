#include "import/import_run.h"

int main(int argc, char** argv) { return run_import(argc, argv); }
