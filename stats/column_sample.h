// Column samples: the retained values of one column, and sorting a sample.
#pragma once

#include <span>
#include <vector>

#include "core/sample_table.h"
#include "stats/row_range.h"

namespace varno {

// The values of `column` (0-based) over `rows`, widened to double, in row order. A row is kept
// when modelFilter is 0, when modelColumn < 0 (the file has no model column) or when its value
// in modelColumn equals modelFilter exactly. Rows outside the table are ignored; a column that
// does not exist gives an empty sample.
std::vector<double> gatherColumnSample(const SampleTable& table, int column, RowRange rows,
                                       int modelFilter, int modelColumn);

// Sorts ascending with NaNs moved to the end (a radix sort for all but small samples).
void sortSample(std::span<double> values);

}  // namespace varno
