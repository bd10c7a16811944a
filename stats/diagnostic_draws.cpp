// Choosing the draws of a column for the diagnostics: counters and labels out, coefficients over
// the models that hold their factor.
#include "stats/diagnostic_draws.h"

#include <algorithm>
#include <cmath>

#include "core/model_numbering.h"
#include "stats/column_sample.h"

namespace varno {

namespace {

// Beyond this many models the membership is decided row by row instead of by a table.
constexpr int kModelTableSize = 4096;

RowRange clipped(const SampleTable& table, RowRange rows) {
  return RowRange{std::max(rows.begin, 0), std::min(rows.end, table.rowCount())};
}

template <class Value>
bool stepsEvenly(std::span<const Value> values, RowRange rows) {
  if (rows.count() < 2) return false;
  const double step = static_cast<double>(values[rows.begin + 1]) - values[rows.begin];
  if (!(step > 0)) return false;
  for (int r = rows.begin + 1; r + 1 < rows.end; ++r)
    if (static_cast<double>(values[r + 1]) - values[r] != step) return false;
  return true;
}

// The model number a cell holds, or 0 when it holds none of the layout's models.
int modelOfCell(float cell, int models) {
  const double v = cell;
  if (!(v >= 1 && v <= models) || v != std::floor(v)) return 0;
  return static_cast<int>(v);
}

}  // namespace

ColumnKind columnKind(const SampleTable& table, int column, const TableLayout& layout, RowRange rows) {
  if (column < 0 || column >= table.columnCount()) return ColumnKind::quantity;
  if (layout.kind == FileKind::fst) {
    if (column == 0) return ColumnKind::counter;
    if (column == layout.modelColumn()) return ColumnKind::modelLabel;
    if (column >= layout.coefficientColumn(1) && column <= layout.coefficientColumn(layout.factorCount))
      return ColumnKind::factorCoefficient;
    return ColumnKind::quantity;
  }
  if (column != 0) return ColumnKind::quantity;
  // the exact values where floats would round a long run's counter to uneven steps
  const bool counter = table.exactFirstColumn().empty() ? stepsEvenly(table.column(0), clipped(table, rows))
                                                        : stepsEvenly(table.exactFirstColumn(), clipped(table, rows));
  if (counter) return ColumnKind::counter;
  return ColumnKind::quantity;
}

DiagnosticDraws diagnosticDraws(const SampleTable& table, int column, const TableLayout& layout, RowRange rows,
                                int modelFilter) {
  DiagnosticDraws draws;
  draws.kind = columnKind(table, column, layout, rows);
  if (draws.kind != ColumnKind::factorCoefficient) {
    draws.values = gatherColumnSample(table, column, rows, modelFilter, layout.modelColumn());
    return draws;
  }
  draws.factor = column - layout.coefficientColumn(0);
  const std::span<const float> values = table.column(column);
  const std::vector<int> held = coefficientRows(table, column, layout, rows, modelFilter);
  draws.values.reserve(held.size());
  for (int r : held) draws.values.push_back(values[r]);
  return draws;
}

std::vector<int> coefficientRows(const SampleTable& table, int column, const TableLayout& layout, RowRange rows,
                                 int modelFilter) {
  std::vector<int> result;
  const int modelColumn = layout.modelColumn();
  if (modelColumn >= table.columnCount()) return result;
  const int factor = column - layout.coefficientColumn(0);
  const int models = modelCount(layout.factorCount, layout.hasInteraction);
  auto holds = [&](int model) {
    return model != 0 && FactorInModel(model, factor, layout.factorCount, layout.hasInteraction);
  };
  std::vector<char> held;
  if (models <= kModelTableSize) {
    held.resize(static_cast<std::size_t>(models) + 1);
    for (int m = 1; m <= models; ++m) held[m] = holds(m);
  }
  const RowRange r = clipped(table, rows);
  const std::span<const float> modelCells = table.column(modelColumn);
  for (int i = r.begin; i < r.end; ++i) {
    const int model = modelOfCell(modelCells[i], models);
    if (modelFilter != 0 && model != modelFilter) continue;
    if (held.empty() ? holds(model) : held[model]) result.push_back(i);
  }
  return result;
}

}  // namespace varno
