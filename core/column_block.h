// Columns of one number type at a fixed distance apart, with room after each for rows not yet
// written: the storage that the tables viewing a growing trace share.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <set>

namespace varno {

// Who holds which first rows of a storage: rows beyond every holder's are free to be written.
// Holders come and go on any thread (a table is dropped where its last user lets it go).
class RowHolders {
 public:
  class Hold;
  using HoldHandle = std::unique_ptr<Hold>;
  // `block` held for its first `rows` rows until the handle is let go.
  static HoldHandle hold(std::shared_ptr<RowHolders> block, std::size_t rows);
  // Whether nobody holds more than the first `rows` rows.
  bool heldUpTo(std::size_t rows) const;

 protected:
  RowHolders() = default;
  ~RowHolders() = default;

 private:
  mutable std::mutex mutex_;
  std::multiset<std::size_t> held_;
};

class RowHolders::Hold {
 public:
  Hold(std::shared_ptr<RowHolders> block, std::multiset<std::size_t>::iterator at)
      : block_(std::move(block)), at_(at) {}
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;
  ~Hold();

 private:
  std::shared_ptr<RowHolders> block_;
  std::multiset<std::size_t>::iterator at_;
};

// `columns` columns of `capacity` values each, column c starting at c * capacity. Rows are
// written after those any table holds, by the one writer that appends, so tables that view the
// first rows keep reading them while the block grows. Nothing is initialised: pages never
// written cost no memory.
template <class T>
class ColumnBlock : public RowHolders {
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
