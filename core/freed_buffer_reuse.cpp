// Allocator settings of batch runs (glibc's; elsewhere the allocator's own defaults stand).
#include "core/freed_buffer_reuse.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace varno {

void keepFreedBuffersForReuse() {
#if defined(__GLIBC__)
  // Buffers up to the largest size glibc serves from its heaps come from there, and freed memory
  // stays in the process instead of being trimmed away after every column.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
#endif
}

}  // namespace varno
