// The retained rows: begin <= i < end, never outside the table.
#pragma once

namespace varno {

struct RowRange {
  int begin = 0;
  int end = 0;
  int count() const { return end > begin ? end - begin : 0; }
  bool operator==(const RowRange&) const = default;
};

}  // namespace varno
