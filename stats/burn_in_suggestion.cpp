// MSER-5 over the columns and chains of an analysis.
#include "stats/burn_in_suggestion.h"

#include <atomic>

#include "core/parallel_for.h"
#include "stats/diagnostic_draws.h"

namespace varno {

ColumnBurnIn columnBurnIn(std::span<const ChainRows> chains, int column, const TableLayout& layout) {
  ColumnBurnIn result;
  result.column = column;
  if (chains.empty() || !chains.front().table) return result;
  const SampleTable& first = *chains.front().table;
  if (column < 0 || column >= first.columnCount()) return result;
  const ColumnKind kind = columnKind(first, column, layout, RowRange{0, first.rowCount()});
  if (kind != ColumnKind::quantity && kind != ColumnKind::factorCoefficient) return result;
  result.quantity = true;
  std::vector<ColumnChainBurnIn> entries;
  for (std::size_t c = 0; c < chains.size(); ++c) {
    const SampleTable* table = chains[c].table.get();
    if (!table || column >= table->columnCount()) continue;
    const std::span<const float> values = table->column(column);
    MserBurnIn burnIn;
    if (kind == ColumnKind::factorCoefficient) {
      const std::vector<int> rows = coefficientRows(*table, column, layout, RowRange{0, table->rowCount()}, 0);
      burnIn = mserBurnIn(values, rows);
    } else {
      burnIn = mserBurnIn(values);
    }
    entries.push_back({column, static_cast<int>(c), burnIn});
  }
  result.burnIn = analysisBurnIn(entries);
  return result;
}

BurnInSuggestion suggestBurnIn(std::span<const ChainRows> chains, const TableLayout& layout,
                               const BurnInSource& source, int threads, Progress& progress) {
  BurnInSuggestion result;
  if (chains.empty() || !chains.front().table) return result;
  const int columns = chains.front().table->columnCount();
  if (source.column) {
    if (*source.column < 0 || *source.column >= columns) return result;
    result.columns.push_back(columnBurnIn(chains, *source.column, layout));
  } else {
    result.columns.resize(static_cast<std::size_t>(columns));
    std::atomic<int> done{0};
    parallelFor(result.columns.size(), threads, [&](std::size_t c) {
      progress.stopIfCancelled();
      result.columns[c] = columnBurnIn(chains, static_cast<int>(c), layout);
      progress.report(static_cast<double>(++done) / columns);
    });
  }
  progress.stopIfCancelled();
  // over the columns' own results in file order: a tie names the first column, and its first chain
  AnalysisBurnIn& analysis = result.analysis;
  for (const ColumnBurnIn& column : result.columns) {
    for (std::size_t r = 0; r < analysis.withoutSuggestion.size(); ++r)
      analysis.withoutSuggestion[r] += column.burnIn.withoutSuggestion[r];
    if (column.burnIn.suggested) analysis.offer(column.burnIn.rows, column.burnIn.column, column.burnIn.chain);
  }
  progress.report(1);
  return result;
}

}  // namespace varno
