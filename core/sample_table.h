// The sample table: columnCount columns of rowCount 32-bit floats, column-major.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <utility>
#include <string>
#include <vector>

namespace varno {

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

  // The names a header line gave the columns, one per column (a name may be empty); empty when
  // the file had no header.
  const std::vector<std::string>& columnNames() const { return columnNames_; }
  void setColumnNames(std::vector<std::string> names) { columnNames_ = std::move(names); }

 private:
  int columnCount_ = 0;
  int rowCount_ = 0;
  std::size_t stride_ = 0;  // distance between two columns, at least rowCount_
  std::unique_ptr<float[]> cells_;
  std::vector<std::string> columnNames_;
};

}  // namespace varno
