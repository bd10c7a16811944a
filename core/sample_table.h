// The sample table: columnCount columns of rowCount 32-bit floats, column-major, and the first
// column's exact values when floats cannot hold them. A table is a view of the first rowCount
// rows of a storage that the tables of one growing trace share, so that appending rows leaves
// the rows read where they are.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <utility>
#include <string>
#include <vector>

#include "core/column_block.h"

namespace varno {

// Whether a double is a whole number below 2^53 (from there on, a whole double need not be the
// number written either). Adding 2^52 rounds away any fraction: the baseline x86-64 has no
// rounding instruction, and this runs once a row.
inline bool isExactWhole(double d) {
  const double a = d < 0 ? -d : d;
  if (a >= 0x1p52) return a < 0x1p53;
  return (a + 0x1p52) - 0x1p52 == a;
}

class SampleTable {
 public:
  // Whether a new table keeps room after its rows for rows appended later (address space only:
  // rows not written cost no memory).
  enum class Room { none, forAppending };

  SampleTable() = default;
  // A table of the given size. Cells are left unset (the reader fills every cell it keeps).
  SampleTable(int columnCount, int rowCount, Room room = Room::none);
  // Tables share their storage: copying one would let two writers meet.
  SampleTable(const SampleTable&) = delete;
  SampleTable& operator=(const SampleTable&) = delete;
  SampleTable(SampleTable&&) = default;
  SampleTable& operator=(SampleTable&&) = default;

  int rowCount() const { return rowCount_; }
  int columnCount() const { return columnCount_; }
  std::size_t cellCount() const { return static_cast<std::size_t>(rowCount_) * columnCount_; }

  // Column c (0-based) as one contiguous array of rowCount values.
  std::span<const float> column(int c) const { return {columnData(c), static_cast<std::size_t>(rowCount_)}; }
  const float* columnData(int c) const { return cells_ + static_cast<std::size_t>(c) * stride_; }
  // Writing is for whoever fills a new table, before anybody else sees it.
  float* columnData(int c) { return cells_ + static_cast<std::size_t>(c) * stride_; }
  float cell(int c, int r) const { return columnData(c)[r]; }
  float& cell(int c, int r) { return columnData(c)[r]; }

  // Distance in floats between the starts of two neighbouring columns.
  std::size_t stride() const { return stride_; }

  // Drops the rows from newRowCount on.
  void truncateRows(int newRowCount);

  // A new table: this table's rows followed by those of `rows` (as many columns), its column names
  // and, when the values of column 0 are all whole numbers and floats cannot hold some of them,
  // its exact first column, as reading the whole file would give. The rows are written into this
  // table's storage after its last row, which no table reads, so this table and every job that
  // holds it go on reading their rows unchanged; only the new rows are copied. Storage that is
  // full, or that already holds rows beyond this table (another table was appended first), is
  // copied once into a larger one: twice the rows, so a row is copied a bounded number of times.
  // One writer at a time: two threads must not append to tables of one storage at once.
  // Throws std::bad_alloc when the rows do not fit in memory (this table is left as it was).
  std::shared_ptr<const SampleTable> appended(const SampleTable& rows) const;

  // Column 0 exactly as the file gave it, when it holds whole numbers that floats cannot all hold
  // (the iteration counter of a long run passes 2^24); empty otherwise, when the floats are exact.
  std::span<const double> exactFirstColumn() const {
    return {exact_, exact_ ? static_cast<std::size_t>(rowCount_) : 0};
  }
  // Offers the exact values of column 0, one per row: kept only when exactFirstColumn() says so.
  void offerExactFirstColumn(std::unique_ptr<double[]> values);
  // Tells that column 0 holds a value that is no whole number, which its float may not show (the
  // reader, which saw the text, knows): rows appended later never start an exact first column.
  // Otherwise, without exact values offered, the floats are taken as the values of column 0.
  void noteFirstColumnNotWhole();
  // The value of column c at row r as held: exact for column 0 when it is held exactly.
  double value(int c, int r) const { return c == 0 && exact_ ? exact_[r] : cell(c, r); }

  // The names a header line gave the columns, one per column (a name may be empty); empty when
  // the file had no header.
  const std::vector<std::string>& columnNames() const;
  void setColumnNames(std::vector<std::string> names);

 private:
  // What column 0 holds beyond its floats.
  enum class FirstColumn {
    floats,    // the floats are the values
    exact,     // whole numbers, held exactly in exact_
    notWhole,  // some value is no whole number: never held exactly
  };
  int columnCount_ = 0;
  int rowCount_ = 0;
  std::size_t stride_ = 0;  // distance between two columns, at least rowCount_
  float* cells_ = nullptr;
  std::shared_ptr<ColumnBlock<float>> cellBlock_;
  double* exact_ = nullptr;  // null, or rowCount_ values of column 0
  std::shared_ptr<ColumnBlock<double>> exactBlock_;
  FirstColumn first_ = FirstColumn::floats;
  std::shared_ptr<const std::vector<std::string>> columnNames_;
};

}  // namespace varno
