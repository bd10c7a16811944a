// Which draws of a table column the convergence diagnostics (and the summary table) use.
#pragma once

#include <vector>

#include "core/sample_table.h"
#include "core/table_layout.h"
#include "stats/row_range.h"

namespace varno {

// What a column holds, as far as the diagnostics care.
enum class ColumnKind {
  quantity,           // a sampled quantity: diagnosed over the retained rows and the model filter
  counter,            // the iteration counter: no diagnostics
  modelLabel,         // the fst "Model" column, whose numbers are labels: no diagnostics
  factorCoefficient,  // fst "alpha" f, f >= 1: only the rows whose model holds factor f
};

// The kind of 0-based column `column`. In fst files the columns are told by their place; in
// other files the first column is the counter when its retained values increase by one constant
// positive step (at least two values).
ColumnKind columnKind(const SampleTable& table, int column, const TableLayout& layout, RowRange rows);

struct DiagnosticDraws {
  ColumnKind kind = ColumnKind::quantity;
  int factor = 0;              // for factorCoefficient: the factor f
  std::vector<double> values;  // the draws, in row order
  bool diagnosed() const { return kind == ColumnKind::quantity || kind == ColumnKind::factorCoefficient; }
};

// The draws of `column` over the retained rows that pass the model filter (fst files only, 0 for
// all models); for a coefficient of factor f only those rows whose model holds f (models are
// numbered as on the Summary page; a model number that is not a whole model of the layout holds
// no factor). Counter and model columns keep all those rows: their other figures are still shown.
DiagnosticDraws diagnosticDraws(const SampleTable& table, int column, const TableLayout& layout, RowRange rows,
                                int modelFilter);

// The 0-based rows, ascending, of `rows` that pass the model filter and whose model holds the
// factor of coefficient column `column` (of kind factorCoefficient): the rows its draws come from.
std::vector<int> coefficientRows(const SampleTable& table, int column, const TableLayout& layout, RowRange rows,
                                 int modelFilter);

}  // namespace varno
