#include "os/heap.h"

#include <cstdlib>  // any C library header tells whether it is glibc
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace korvane {

void keep_freed_memory() {
#ifdef __GLIBC__
  mallopt(M_MMAP_THRESHOLD, 16 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

}  // namespace korvane
