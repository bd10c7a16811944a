// Whether the model column of an fst table, where the factor decision puts it, holds model numbers.
#pragma once

#include <optional>
#include <string>

#include "core/sample_table.h"
#include "core/table_layout.h"
#include "stats/row_range.h"

namespace varno {

struct ModelColumnCheck {
  // Set when a retained row holds a value that is no whole number in the model column: the
  // factor decision does not describe the file's columns. Says which column, what it should
  // hold, the value and its row; the caller adds the file and a hint about the factors.
  std::optional<std::string> mismatch;
  // Retained rows whose whole model number lies outside the models of the factor decision; they
  // are left out of the model counts.
  long long rowsOutsideModels = 0;
  int modelCount = 0;  // models of the factor decision: 1 .. modelCount
};

// The model column is where the fst layout puts it; tables too narrow for it are left to the
// layout check and pass here.
ModelColumnCheck checkModelColumn(const SampleTable& table, const TableLayout& layout, RowRange rows);

// "12 rows carry model numbers outside 1..4 and are not counted" (nothing to say for 0 rows).
std::string rowsOutsideModelsNote(long long rows, int modelCount);

}  // namespace varno
