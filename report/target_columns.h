// The columns a convergence target can list: the quantities and factor coefficients of a table.
#pragma once

#include <string>
#include <vector>

#include "core/sample_table.h"
#include "core/table_layout.h"
#include "stats/row_range.h"

namespace varno {

struct TargetColumn {
  int column = 0;  // 1-based
  std::string name;
  // How a target's column list names it: the name, or the number where the name could be read
  // as another column's (a number, a name held twice) or cannot stand in the list (a comma).
  std::string item;
};

// In file order; counter and Model columns are left out, as no target counts them. `rows` are
// the retained rows, which tell a counter in files that do not place it.
std::vector<TargetColumn> targetColumns(const SampleTable& table, const TableLayout& layout, RowRange rows);

// True when `item` of a target's column list names `column`.
bool namesTargetColumn(const std::string& item, const TargetColumn& column);

}  // namespace varno
