// Columns of one number type at a fixed distance apart, with room after each for rows not yet
// written: the storage that the tables viewing a growing trace share.
#pragma once

#include <cstddef>
#include <memory>

namespace varno {

// `columns` columns of `capacity` values each, column c starting at c * capacity. Rows are
// written after the last one taken (`filled`) by the one writer that appends, never below it, so
// tables that view the first rows keep reading them while the block grows. Nothing is
// initialised: pages never written cost no memory.
template <class T>
class ColumnBlock {
 public:
  // Throws std::bad_alloc when the system gives no such block.
  ColumnBlock(int columns, std::size_t capacity);
  // One column held in `values`, which hold `capacity` values.
  ColumnBlock(std::unique_ptr<T[]> values, std::size_t capacity);
  ColumnBlock(const ColumnBlock&) = delete;
  ColumnBlock& operator=(const ColumnBlock&) = delete;
  ~ColumnBlock();

  T* column(int c) const { return data_ + static_cast<std::size_t>(c) * capacity_; }
  std::size_t capacity() const { return capacity_; }

  // The rows the latest table of this block holds: appending in place writes from here on.
  std::size_t filled = 0;

 private:
  T* data_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t bytes_ = 0;  // of a mapping; 0 when data_ came from new[]
};

// The capacity that a block grown to hold `rows` rows gets: twice as many, at least 1,024 more,
// so that copying into ever larger blocks costs each row a bounded number of copies.
std::size_t grownCapacity(std::size_t rows);

extern template class ColumnBlock<float>;
extern template class ColumnBlock<double>;

}  // namespace varno
