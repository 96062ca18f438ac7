// How the C library's heap serves a program that holds a whole input at
// once and frees it stage by stage.
#pragma once

namespace korvane {

// Has blocks of up to 16 MiB come from the heap, and memory freed there
// stay in it, so that a stage reuses what an earlier one freed: a large
// block is otherwise mapped afresh and unmapped when freed, and each of its
// pages costs a fault when first touched. Does nothing where the C library
// has no such settings.
void keep_freed_memory();

}  // namespace korvane
