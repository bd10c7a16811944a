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

}  // namespace varno
