// Freed buffers stay in the process for the next allocation once a batch run asks for it.
#include "core/freed_buffer_reuse.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace varno {
namespace {

TEST(FreedBufferReuse, AFreedColumnSizedBufferStaysInTheProcess) {
#if !defined(__GLIBC__)
  GTEST_SKIP() << "the setting is glibc's";
#elif defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer brings its own allocator";
#else
  keepFreedBuffersForReuse();
  constexpr std::size_t kColumn = 16 * 1024 * 1024;  // a million draws with their positions
  {
    std::unique_ptr<char[]> buffer(new char[kColumn]);
    std::memset(buffer.get(), 1, kColumn);
  }
  // By default glibc maps a buffer this large on its own and unmaps it when freed; kept, it is
  // free memory of the heap, ready for the next column.
  EXPECT_GE(mallinfo2().fordblks, kColumn);
#endif
}

}  // namespace
}  // namespace varno
