#include "korvane-check/check_run.h"

int main(int argc, char** argv) { return korvane::run_check(argc, argv); }
