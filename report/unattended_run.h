// The unattended run: from a data file and its factors file to the results report, and the Statistics box of one column.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/data_file_reader.h"
#include "core/factors_file.h"
#include "core/file_kind.h"
#include "core/progress.h"
#include "core/sample_table.h"
#include "core/table_layout.h"
#include "report/open_analysis.h"
#include "stats/chain_rows.h"
#include "stats/model_summary.h"
#include "stats/row_range.h"
#include "stats/statistics_texts.h"

namespace varno {

struct UnattendedOptions {
  std::string dataPath, factorsPath;
  std::optional<int> factorMode;   // nothing: -1, count the factor lines of the factors file
  std::optional<bool> interaction;  // the answer for a factors file of exactly two factor lines
  std::function<bool()> askInteraction;  // asked for it when `interaction` is not given; true = Yes
  long long burnIn = 0, burnOut = 0;
  std::optional<std::string> outputPath;  // nothing: batchReportName(dataPath)
  std::vector<std::string> chainPaths;     // further chains of dataPath's analysis, in order
  int modelFilter = 0;  // the Fst summaries over the rows of this model only, as the window's Model choice; 0: all
  std::optional<AutoBurnIn> autoBurnIn;  // the burn-in taken from the suggestion (burnIn is then not used)
  std::optional<BurnInShare> burnInShare;  // a share of each chain's rows (burnIn is then not used)
};

// What the run's Summary page would show, for figures drawn from the same run.
struct UnattendedCharts {
  std::vector<ChainRows> chains;  // every chain with its retained rows, chain 1 first
  FactorDecision decision;
  int populationCount = 0;
  std::vector<ModelBar> modelBars;
  std::vector<HpdiInterval> hpdis;
  std::vector<double> fstMeans;
  std::vector<std::vector<float>> factorValues;  // populationCount rows of factorCount + 1
};

struct UnattendedReport {
  std::string path;  // where the report goes
  std::string text;  // its bytes
  std::vector<std::string> warnings;  // things the user should know that did not stop the run
  std::shared_ptr<const UnattendedCharts> charts;  // what the charts of the run show
};

struct UnattendedResult {
  std::optional<UnattendedReport> report;  // set on success
  std::optional<RunError> error;           // set on failure
};

// The report text of the chains of an fst analysis read with the given factor decision: the
// model summary over their retained rows pooled (chain 1's, then chain 2's, ...), the factor
// values from factorsText, then the report. Every table must hold at least factorCount + 5
// columns. Several chains: the report counts the pooled retained rows. A model filter m
// summarises the Fst of the rows of model m only, as the window's report with Model = m does.
std::optional<RunError> buildReportText(std::span<const ChainRows> chains, const FactorDecision& decision,
                                        std::string_view factorsText, std::string& text,
                                        UnattendedCharts* charts = nullptr, int modelFilter = 0,
                                        Progress& progress = Progress::unwatched());

// The whole run except writing: factor decision, data file, layout, range, summary, report. A
// cancel asked of `progress` ends it with WorkCancelled.
UnattendedResult buildUnattendedReport(const UnattendedOptions& options, Progress& progress = Progress::unwatched());

// The report's path refused when it is the data, factors or a chain file (under any name).
std::optional<RunError> reportTargetFault(const UnattendedOptions& options);

// buildUnattendedReport, then the report written whole (or not at all) to its path. A path that
// is the data or factors file (under any name) is refused as an argument error before reading.
UnattendedResult runUnattendedReport(const UnattendedOptions& options, Progress& progress = Progress::unwatched());

struct ColumnStatisticsOptions : AnalysisRequest {
  int column = 1;          // 1-based
  std::string columnName;  // when given, the column its header names, instead of `column`
  std::optional<int> bandwidthPosition;  // nothing: the default position after a fresh choice
};

struct ColumnStatisticsResult {
  std::optional<StatisticsTexts> texts;  // set on success
  int sampleCount = 0;
  int bandwidthPosition = 0;  // the position the figures were computed with
  std::vector<std::string> warnings;
  std::optional<RunError> error;
};

// The Statistics box of one column, as the window shows it once the column is chosen: the sample
// over the retained rows and the model filter, the statistics at the designed bandwidth -500,
// then, unless a position is given, again at the default position of that sample when there is
// one. Fewer than two values is an error.
ColumnStatisticsResult runColumnStatistics(const ColumnStatisticsOptions& options,
                                           Progress& progress = Progress::unwatched());

}  // namespace varno
