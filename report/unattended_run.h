// The unattended run: from a data file and its factors file to the results report, and the Statistics box of one column.
#pragma once

#include <atomic>
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
#include "core/sample_table.h"
#include "core/table_layout.h"
#include "stats/chain_rows.h"
#include "stats/model_summary.h"
#include "stats/row_range.h"
#include "stats/statistics_texts.h"

namespace varno {

// Why a run stopped. fromArguments marks a fault the caller can mend by giving other arguments
// (a missing interaction answer, a column that does not exist) rather than other files.
struct RunError {
  std::string message;
  bool fromArguments = false;
};

// Hooks for a caller that must stay responsive (the window); all may be left empty.
struct RunHooks {
  YieldFunction yield;                      // called now and then while the data file is read
  std::function<void(int percent)> progress;  // model summary progress, 0 .. 100
  const std::atomic<bool>* cancel = nullptr;  // stops the model summary between two summaries
  // Asked for the interaction of a two-factor file when `interaction` is not given; true = Yes.
  std::function<bool()> askInteraction;
};

struct UnattendedOptions {
  std::string dataPath, factorsPath;
  std::optional<int> factorMode;   // nothing: -1, count the factor lines of the factors file
  std::optional<bool> interaction;  // the answer for a factors file of exactly two factor lines
  long long burnIn = 0, burnOut = 0;
  std::optional<std::string> outputPath;  // nothing: batchReportName(dataPath)
  std::vector<std::string> chainPaths;     // further chains of dataPath's analysis, in order
  int modelFilter = 0;  // the Fst summaries over the rows of this model only, as the window's Model choice; 0: all
};

// What the run's Summary page would show, for figures drawn from the same run.
struct UnattendedCharts {
  std::shared_ptr<const SampleTable> table;
  RowRange rows;
  std::vector<ChainRows> chains;  // several chains: each with its retained rows, chain 1 first
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

// The factor decision for a factors file whose text is given (mode -1 counts its factor lines;
// exactly two need `interaction` or, failing that, hooks.askInteraction; with neither it is an
// argument error asking for --interaction yes|no).
std::optional<RunError> decideFactors(std::optional<int> factorMode, std::string_view factorsText,
                                      std::optional<bool> interaction, const std::function<bool()>& askInteraction,
                                      FactorDecision& decision);

// Burn-in and burn-out that leave at least two of rowCount rows, as retained rows; otherwise an
// error saying how many rows they leave. Negative values are refused as well. The values are not
// fitted: a pipeline that asked for them gets what it asked for or nothing.
std::optional<RunError> checkedRetainedRows(long long burnIn, long long burnOut, int rowCount, RowRange& rows);

// The report text of an fst table read with the given factor decision: the model summary over
// the retained rows with all models, the factor values from factorsText, then the report. The
// table must hold at least factorCount + 5 columns.
std::optional<RunError> buildReportText(const std::shared_ptr<const SampleTable>& table,
                                        const FactorDecision& decision, std::string_view factorsText,
                                        RowRange rows, const RunHooks& hooks, std::string& text,
                                        UnattendedCharts* charts = nullptr);
// The same over several chains pooled (chain 1's retained rows, then chain 2's, ...); with one
// chain exactly the report above. The report counts the pooled retained rows. A model filter m
// summarises the Fst of the rows of model m only, as the window's report with Model = m does.
std::optional<RunError> buildReportText(std::span<const ChainRows> chains, const FactorDecision& decision,
                                        std::string_view factorsText, const RunHooks& hooks, std::string& text,
                                        UnattendedCharts* charts = nullptr, int modelFilter = 0);

// The whole run except writing: factor decision, data file, layout, range, summary, report.
UnattendedResult buildUnattendedReport(const UnattendedOptions& options, const RunHooks& hooks = {});

// The report's path refused when it is the data, factors or a chain file (under any name).
std::optional<RunError> reportTargetFault(const UnattendedOptions& options);

// buildUnattendedReport, then the report written whole (or not at all) to its path. A path that
// is the data or factors file (under any name) is refused as an argument error before reading.
UnattendedResult runUnattendedReport(const UnattendedOptions& options, const RunHooks& hooks = {});

// What the figures of columns are computed over: the data file, its factors, the rows and the model.
struct ColumnDataOptions {
  std::string dataPath;
  std::string factorsPath;  // empty: an fst file has no factors
  std::optional<int> factorMode;
  std::optional<bool> interaction;
  int levelPercent = 95;   // 1 .. 99
  int modelFilter = 0;     // fst files with their factors only
  long long burnIn = 0, burnOut = 0;
  std::vector<std::string> chainPaths;  // further chains of dataPath's analysis, in order
};

struct ColumnStatisticsOptions : ColumnDataOptions {
  int column = 1;          // 1-based
  std::string columnName;  // when given, the column its header names, instead of `column`
  std::optional<int> bandwidthPosition;  // nothing: the default position after a fresh choice
};

// A data file read for the figures of its columns.
struct ColumnData {
  std::shared_ptr<const SampleTable> table;
  FileKind kind = FileKind::other;
  FactorDecision decision;  // fst files: the factors the file was read with
  TableLayout layout;       // where the columns sit: fst files place them by the decision
  RowRange rows;            // the retained rows
  std::vector<ChainRows> chains;  // every chain with its retained rows, the data file first
};

// Checks the options, decides the factors, reads the data file and checks its layout and the
// retained rows, as the Statistics box of one column does.
std::optional<RunError> openColumnData(const ColumnDataOptions& options, const RunHooks& hooks, ColumnData& data,
                                       std::vector<std::string>& warnings);

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
ColumnStatisticsResult runColumnStatistics(const ColumnStatisticsOptions& options, const RunHooks& hooks = {});

}  // namespace varno
