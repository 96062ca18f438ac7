#include <cstdlib>

#include "korvane/run.h"

int main(int argc, char** argv) { return korvane::run_korvane(argc, argv); }
