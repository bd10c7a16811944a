// The model column check: fractions mean a wrong layout, strange whole numbers are only counted.
#include "stats/model_column_check.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/model_numbering.h"
#include "core/text_pieces.h"

namespace varno {

namespace {

std::string shortest(float value) {
  char digits[32];
  return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string modelSetText(const FactorDecision& decision, int models) {
  if (decision.hasInteraction) return "model numbers 1 to 5 (two factors and their interaction)";
  if (models == 1) return "model number 1 (no factors)";
  return "model numbers 1 to " + decimal(models) + " (" + decimal(decision.factorCount) +
         (decision.factorCount == 1 ? " factor)" : " factors)");
}

}  // namespace

ModelColumnCheck checkModelColumn(const SampleTable& table, const TableLayout& layout, RowRange rows) {
  ModelColumnCheck check;
  const FactorDecision decision = layout.decision();
  check.modelCount = modelCount(decision.factorCount, decision.hasInteraction);
  if (layout.kind != FileKind::fst || layout.populationCount < 0 || layout.columnsThroughModel() > table.columnCount())
    return check;
  const long long column = layout.modelColumn();
  const int begin = std::max(rows.begin, 0);
  const int end = std::min(rows.end, table.rowCount());
  const float* models = table.columnData(static_cast<int>(column));
  for (int i = begin; i < end; ++i) {
    const float value = models[i];
    if (!std::isfinite(value) || std::trunc(value) != value) {
      check.mismatch = "column " + decimal(column + 1) + " should hold " + modelSetText(decision, check.modelCount) +
                       " but holds " + shortest(value) + " in row " + decimal(i + 1);
      check.rowsOutsideModels = 0;
      return check;
    }
    if (value < 1.0f || value > static_cast<float>(check.modelCount)) ++check.rowsOutsideModels;
  }
  return check;
}

std::string rowsOutsideModelsNote(long long rows, int modelCount) {
  if (rows <= 0) return {};
  const std::string set = modelCount == 1 ? "other than 1" : "outside 1.." + decimal(modelCount);
  return rows == 1 ? "1 row carries a model number " + set + " and is not counted"
                   : decimal(rows) + " rows carry model numbers " + set + " and are not counted";
}

}  // namespace varno
