// The sample table: columnCount columns of rowCount 32-bit floats, column-major, and the first
// column's exact values when floats cannot hold them.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <utility>
#include <string>
#include <vector>

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
  SampleTable() = default;
  // A table of the given size. Cells are left unset (the reader fills every cell it keeps).
  SampleTable(int columnCount, int rowCount);

  int rowCount() const { return rowCount_; }
  int columnCount() const { return columnCount_; }
  std::size_t cellCount() const { return static_cast<std::size_t>(rowCount_) * columnCount_; }

  // Column c (0-based) as one contiguous array of rowCount values.
  std::span<const float> column(int c) const { return {columnData(c), static_cast<std::size_t>(rowCount_)}; }
  const float* columnData(int c) const { return cells_.get() + static_cast<std::size_t>(c) * stride_; }
  float* columnData(int c) { return cells_.get() + static_cast<std::size_t>(c) * stride_; }
  float cell(int c, int r) const { return columnData(c)[r]; }
  float& cell(int c, int r) { return columnData(c)[r]; }

  // Distance in floats between the starts of two neighbouring columns.
  std::size_t stride() const { return stride_; }

  // Drops the rows from newRowCount on; the storage keeps its size.
  void truncateRows(int newRowCount);

  // Column 0 exactly as the file gave it, when it holds whole numbers that floats cannot all hold
  // (the iteration counter of a long run passes 2^24); empty otherwise, when the floats are exact.
  std::span<const double> exactFirstColumn() const {
    return {exactFirst_.get(), exactFirst_ ? static_cast<std::size_t>(rowCount_) : 0};
  }
  // Offers the exact values of column 0, one per row: kept only when exactFirstColumn() says so.
  void offerExactFirstColumn(std::unique_ptr<double[]> values);
  // The value of column c at row r as held: exact for column 0 when it is held exactly.
  double value(int c, int r) const { return c == 0 && exactFirst_ ? exactFirst_[r] : cell(c, r); }

  // The names a header line gave the columns, one per column (a name may be empty); empty when
  // the file had no header.
  const std::vector<std::string>& columnNames() const { return columnNames_; }
  void setColumnNames(std::vector<std::string> names) { columnNames_ = std::move(names); }

 private:
  int columnCount_ = 0;
  int rowCount_ = 0;
  std::size_t stride_ = 0;  // distance between two columns, at least rowCount_
  std::unique_ptr<float[]> cells_;
  std::unique_ptr<double[]> exactFirst_;  // null, or rowCount_ values of column 0
  std::vector<std::string> columnNames_;
};

}  // namespace varno
