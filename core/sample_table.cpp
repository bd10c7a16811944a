// The sample table's storage.
#include "core/sample_table.h"

#include <algorithm>

namespace varno {

SampleTable::SampleTable(int columnCount, int rowCount)
    : columnCount_(std::max(columnCount, 0)),
      rowCount_(std::max(rowCount, 0)),
      stride_(static_cast<std::size_t>(rowCount_)),
      // new float[] without () leaves the pages untouched until they are written, so an
      // allocation sized from a line count costs memory only for the rows really read
      cells_(cellCount() ? new float[cellCount()] : nullptr) {}

void SampleTable::truncateRows(int newRowCount) {
  rowCount_ = std::clamp(newRowCount, 0, rowCount_);
}

void SampleTable::offerExactFirstColumn(std::unique_ptr<double[]> values) {
  exactFirst_.reset();
  if (!values || columnCount_ == 0) return;
  bool needed = false;
  const float* floats = columnData(0);
  for (int r = 0; r < rowCount_; ++r) {
    const double v = values[r];
    if (!isExactWhole(v)) return;
    needed = needed || static_cast<double>(floats[r]) != v;
  }
  if (needed) exactFirst_ = std::move(values);
}

}  // namespace varno
