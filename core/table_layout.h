// Where the quantities of a data table sit: for fst files, every column is told by its place,
// from the column count and the factor decision.
#pragma once

#include "core/factors_file.h"
#include "core/file_kind.h"

namespace varno {

// The layout of a table: the kind of file and, for fst files, its regression model. An fst row
// holds the counter, Sigma², the log likelihood, the Fst of each population, the model number,
// the constant and one coefficient per factor, in this order.
struct TableLayout {
  FileKind kind = FileKind::other;
  int populationCount = 0;
  int factorCount = 0;
  bool hasInteraction = false;

  bool operator==(const TableLayout&) const = default;

  // The columns before the populations' Fst, and how many columns an fst table has beside them.
  static constexpr int kCounterColumn = 0;
  static constexpr int kSigmaColumn = 1;
  static constexpr int kLogLikelihoodColumn = 2;
  static constexpr int kColumnsBesidePopulations = 5;  // the three above, the model and the constant

  // The fst layout of a table of columnCount columns read with `decision`; its population count
  // is negative when the table is too narrow for the factors.
  static TableLayout fst(int columnCount, const FactorDecision& decision);

  // The populations of an fst table of columnCount columns with factorCount factors (negative
  // when it is too narrow for them), and the columns such a table needs at least.
  static long long populationsIn(long long columnCount, long long factorCount) {
    return columnCount - factorCount - kColumnsBesidePopulations;
  }
  static long long columnsNeeded(long long factorCount) { return factorCount + kColumnsBesidePopulations; }

  // 0-based columns. The Fst of population 1 .. populationCount.
  int fstColumn(int population) const { return kLogLikelihoodColumn + population; }
  // The model number's column; -1 when the file is not an fst file.
  int modelColumn() const { return kind == FileKind::fst ? kLogLikelihoodColumn + populationCount + 1 : -1; }
  // The coefficient of factor 1 .. factorCount; factor 0 is the constant.
  int coefficientColumn(int factor) const { return kLogLikelihoodColumn + populationCount + 2 + factor; }
  // The columns of the whole fst layout, and those up to and including the model column.
  long long columnCount() const { return static_cast<long long>(populationCount) + factorCount + kColumnsBesidePopulations; }
  long long columnsThroughModel() const { return static_cast<long long>(populationCount) + kLogLikelihoodColumn + 2; }

  FactorDecision decision() const { return {factorCount, hasInteraction}; }
};

}  // namespace varno
