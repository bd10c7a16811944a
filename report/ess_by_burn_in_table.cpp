// ESS against burn-in for the tool.
#include "report/ess_by_burn_in_table.h"

#include <thread>

#include "core/text_pieces.h"
#include "report/named_column.h"
#include "report/table_text.h"

namespace varno {

std::string formatEssByBurnIn(const std::vector<EssAtBurnIn>& rows) {
  std::vector<std::vector<std::string>> fields;
  for (const EssAtBurnIn& r : rows)
    fields.push_back({decimal(r.burnIn), exactNumber(r.essBulk, "NA"), exactNumber(r.essTail, "NA")});
  return formatTextTable({"burn_in", "ess_bulk", "ess_tail"}, fields, SummaryFormat::tsv, {false, false, false});
}

EssByBurnInResult runEssByBurnIn(const ColumnStatisticsOptions& options, Progress& progress) {
  EssByBurnInResult result;
  OpenedAnalysis data;
  int column = 0;
  if (auto error = openRequestedColumn(options, data, column, result.warnings, progress)) {
    result.error = std::move(*error);
    return result;
  }
  const unsigned cores = std::thread::hardware_concurrency();
  const std::vector<EssAtBurnIn> rows = essByBurnIn(data.chains, column - 1, data.layout, options.modelFilter,
                                                    options.burnOut, cores == 0 ? 2 : static_cast<int>(cores), progress);
  if (rows.empty()) {
    result.error = RunError{"--ess-by-burnin: column " + decimal(column) + " of " + quoted(options.dataPath) +
                                " is not a sampled quantity (a counter or the Model column) and has no ESS",
                            true};
    return result;
  }
  result.text = formatEssByBurnIn(rows);
  return result;
}

}  // namespace varno
