// The storage of growing columns: small blocks from the heap, large ones mapped so that the room
// kept for later rows costs address space only.
#include "core/column_block.h"

#include <sys/mman.h>

#include <new>

namespace varno {

namespace {

// Below this a block comes from the heap (where the sanitizers watch it); a mapping rounds up to
// whole pages.
constexpr std::size_t kMappedFrom = std::size_t{1} << 20;

// A private mapping that the system does not count against its commit limit until pages are
// written, under its usual heuristic accounting: the unwritten rows stay free. A system that
// counts every mapping (strict accounting) may refuse it: null then.
void* mapped(std::size_t bytes) {
  void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

}  // namespace

std::size_t grownCapacity(std::size_t rows) { return rows + (rows > 1024 ? rows : 1024); }

template <class T>
ColumnBlock<T>::ColumnBlock(int columns, std::size_t capacity) : capacity_(capacity) {
  const std::size_t count = static_cast<std::size_t>(columns > 0 ? columns : 0) * capacity;
  if (count == 0) return;
  if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
  const std::size_t bytes = count * sizeof(T);
  if (bytes >= kMappedFrom) {
    if (void* p = mapped(bytes)) {
      data_ = static_cast<T*>(p);
      bytes_ = bytes;
      return;
    }
  }
  // new T[] without () leaves the values, and so the pages, untouched
  data_ = new T[count];
}

template <class T>
ColumnBlock<T>::ColumnBlock(std::unique_ptr<T[]> values, std::size_t capacity)
    : data_(values.release()), capacity_(data_ ? capacity : 0) {}

template <class T>
ColumnBlock<T>::~ColumnBlock() {
  if (bytes_)
    ::munmap(data_, bytes_);
  else
    delete[] data_;
}

template class ColumnBlock<float>;
template class ColumnBlock<double>;

}  // namespace varno
