// The ESS profile of a column for the tool.
#include "report/ess_profile_table.h"

#include "core/text_pieces.h"
#include "report/named_column.h"
#include "report/table_text.h"
#include "stats/chain_diagnostics.h"
#include "stats/rank_plots.h"

namespace varno {

std::string formatEssProfile(const EssProfile& profile) {
  std::vector<std::vector<std::string>> fields;
  for (const auto& [kind, points] : {std::pair{"quantile", &profile.quantile}, std::pair{"local", &profile.local}})
    for (const EssPoint& p : *points) fields.push_back({kind, exactNumber(p.x, "NA"), exactNumber(p.ess, "NA")});
  for (const EssRunPoint& p : profile.run) fields.push_back({"run_bulk", decimal(p.draws), exactNumber(p.essBulk, "NA")});
  for (const EssRunPoint& p : profile.run) fields.push_back({"run_tail", decimal(p.draws), exactNumber(p.essTail, "NA")});
  return formatTextTable({"kind", "x", "ess"}, fields, SummaryFormat::tsv, {false, false, false});
}

EssProfileResult runEssProfile(const ColumnStatisticsOptions& options) {
  EssProfileResult result;
  OpenedAnalysis data;
  int column = 0;
  if (auto error = openRequestedColumn(options, data, column, result.warnings)) {
    result.error = std::move(*error);
    return result;
  }
  const ColumnChainDraws draws = columnChainDraws(data.chains, column - 1, data.layout, options.modelFilter);
  if (!draws.diagnosed()) {
    result.error = RunError{"--ess-profile: column " + decimal(column) + " of " + quoted(options.dataPath) +
                                " is not a sampled quantity (a counter or the Model column) and has no ESS",
                            true};
    return result;
  }
  result.text = formatEssProfile(columnEssProfile(draws.perChain));
  return result;
}

}  // namespace varno
