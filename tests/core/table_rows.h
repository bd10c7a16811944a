// A table's cells row by row, for comparing a read table with the rows a test expects.
#pragma once

#include <cstddef>
#include <vector>

#include "core/sample_table.h"

namespace varno::testing {

using Rows = std::vector<std::vector<float>>;

inline Rows rowsOf(const SampleTable& t) {
  Rows rows(static_cast<std::size_t>(t.rowCount()), std::vector<float>(static_cast<std::size_t>(t.columnCount())));
  for (int c = 0; c < t.columnCount(); ++c)
    for (int r = 0; r < t.rowCount(); ++r) rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = t.cell(c, r);
  return rows;
}

}  // namespace varno::testing
