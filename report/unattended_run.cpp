// The unattended run and the Statistics box of one column, on plain data, for the window and the headless tool.
#include "report/unattended_run.h"

#include <charconv>
#include <utility>

#include "core/column_catalogue.h"
#include "core/file_kind.h"
#include "core/input_file.h"
#include "core/model_numbering.h"
#include "core/text_pieces.h"
#include "report/atomic_write.h"
#include "report/chain_outputs.h"
#include "report/named_column.h"
#include "report/output_target.h"
#include "report/results_report.h"
#include "report/summary_table.h"
#include "stats/column_sample.h"
#include "stats/pooled_sample.h"
#include "stats/column_statistics.h"
#include "stats/default_bandwidth.h"
#include "stats/model_summary.h"

namespace varno {

namespace {

RunError fileError(std::string message) { return RunError{std::move(message), false}; }
RunError argumentError(std::string message) { return RunError{std::move(message), true}; }

}  // namespace

std::optional<RunError> buildReportText(std::span<const ChainRows> chains, const FactorDecision& decision,
                                        std::string_view factorsText, std::string& text,
                                        UnattendedCharts* charts, int modelFilter, Progress& progress) {
  if (chains.empty() || !chains[0].table) return fileError("no data");
  const SampleTable& first = *chains[0].table;
  const int populationCount = TableLayout::fst(first.columnCount(), decision).populationCount;
  if (populationCount < 0) return fileError("the table has too few columns for the factors");

  ModelSummaryInput input;
  input.populationCount = populationCount;
  input.factorCount = decision.factorCount;
  input.hasInteraction = decision.hasInteraction;
  input.chains.assign(chains.begin(), chains.end());
  input.modelFilter = modelFilter;
  input.fstSummary.reset(static_cast<std::size_t>(populationCount));
  input.coefficientSummary.reset(static_cast<std::size_t>(decision.factorCount) + 1);
  ModelSummaryResult summary = computeModelSummary(input, progress);
  if (!summary.error.empty()) return fileError("the model summary cannot be computed: " + summary.error);

  ReportInputs in;
  in.populationCount = populationCount;
  in.factorCount = decision.factorCount;
  in.hasInteraction = decision.hasInteraction;
  in.fstSummary = std::move(summary.fstSummary);
  in.factorValues = factorValueRows(readFactorLineValues(factorsText, populationCount), populationCount, decision);
  in.modelProbabilities = summary.modelProbabilities;
  in.bestModel = summary.bestModel;
  in.coefficientSummary = std::move(summary.coefficientSummary);
  in.sigmaSummary = summary.sigmaSummary;
  in.rowCount = first.rowCount();
  in.burnIn = chains[0].rows.begin;
  in.burnOut = first.rowCount() - chains[0].rows.end;
  countPooledRows(chains, in);
  if (auto missing = reportPrecondition(in)) return fileError("the report cannot be written: " + *missing);
  text = buildResultsReport(in);
  if (charts) {
    charts->chains.assign(chains.begin(), chains.end());
    charts->decision = decision;
    charts->populationCount = populationCount;
    charts->modelBars = std::move(summary.modelBars);
    charts->hpdis = std::move(summary.hpdis);
    charts->fstMeans = in.fstSummary.mean;
    charts->factorValues = in.factorValues;
  }
  return std::nullopt;
}

UnattendedResult buildUnattendedReport(const UnattendedOptions& options, Progress& progress) {
  UnattendedResult result;
  auto fail = [&](RunError error) {
    result.error = std::move(error);
    return result;
  };
  if (fileKindOf(lowerCasedExtension(options.dataPath)) != FileKind::fst) {
    return fail(fileError(quoted(options.dataPath) +
                          " is not an .fst file: the results report needs the trace of a regression model"));
  }

  AnalysisRequest request;
  request.dataPath = options.dataPath;
  request.factorsPath = options.factorsPath;
  request.factorsNeeded = true;
  request.factorMode = options.factorMode;
  request.interaction = options.interaction;
  request.modelFilter = options.modelFilter;
  request.burnIn = options.burnIn;
  request.burnOut = options.burnOut;
  request.chainPaths = options.chainPaths;
  request.askInteraction = options.askInteraction;
  request.autoBurnIn = options.autoBurnIn;
  request.burnInShare = options.burnInShare;
  UnattendedReport report;
  OpenedAnalysis analysis;
  if (auto error = openAnalysis(request, analysis, report.warnings, progress)) return fail(std::move(*error));
  auto charts = std::make_shared<UnattendedCharts>();
  if (auto error = buildReportText(analysis.chains, analysis.decision, analysis.factorsText, report.text,
                                   charts.get(), options.modelFilter, progress)) {
    error->message = quoted(options.dataPath) + ": " + error->message;
    return fail(std::move(*error));
  }
  report.charts = std::move(charts);
  report.path = options.outputPath ? *options.outputPath : batchReportName(options.dataPath);
  result.report = std::move(report);
  return result;
}

std::optional<RunError> reportTargetFault(const UnattendedOptions& options) {
  const std::string target = options.outputPath ? *options.outputPath : batchReportName(options.dataPath);
  if (auto why = inputFileTargeted(target, runInputs(options.dataPath, options.factorsPath, options.chainPaths)))
    return argumentError(*why);
  return std::nullopt;
}

UnattendedResult runUnattendedReport(const UnattendedOptions& options, Progress& progress) {
  // refused before any reading: nothing the run finds could make that target right
  if (auto fault = reportTargetFault(options)) {
    UnattendedResult refused;
    refused.error = std::move(fault);
    return refused;
  }
  UnattendedResult result = buildUnattendedReport(options, progress);
  if (!result.report) return result;
  if (auto why = writeFileAtomically(result.report->path, result.report->text)) {
    result.error = fileError(*why);
    result.report.reset();
  }
  return result;
}

ColumnStatisticsResult runColumnStatistics(const ColumnStatisticsOptions& options, Progress& progress) {
  ColumnStatisticsResult result;
  auto fail = [&](RunError error) {
    result.error = std::move(error);
    return result;
  };
  OpenedAnalysis data;
  if (auto error = openAnalysis(options, data, result.warnings, progress)) return fail(std::move(*error));
  const SampleTable* table = data.chains.front().table.get();
  const int modelColumn = data.layout.modelColumn();
  int column = 0;
  if (auto error = requestedColumn(options.dataPath, *table, data.layout, options.column, options.columnName, column))
    return fail(std::move(*error));
  const std::vector<double> sample = gatherPooledSample(data.chains, column - 1, options.modelFilter, modelColumn);
  result.sampleCount = static_cast<int>(sample.size());
  if (sample.size() < 2) {
    std::string where = options.modelFilter != 0 ? " in the retained rows of model " + decimal(options.modelFilter)
                                                 : " in the retained rows";
    return fail(fileError("column " + decimal(column) + " of " + quoted(options.dataPath) + " has " +
                          counted(static_cast<long long>(sample.size()), "value", "values") + where +
                          "; at least two are needed"));
  }

  int position = options.bandwidthPosition.value_or(kDesignedBandwidthPosition);
  ColumnStatistics statistics =
      computeColumnStatistics(sample, options.levelPercent, bandwidthOfPosition(position));
  if (!options.bandwidthPosition) {
    // Choosing a column plots it with the bandwidth in place, then moves to its default, which
    // plots it again only when the position changes.
    const std::optional<int> preferred = defaultBandwidthPosition(statistics.n, statistics.sumSquares);
    if (preferred && *preferred != position) {
      position = *preferred;
      statistics = computeColumnStatistics(sample, options.levelPercent, bandwidthOfPosition(position));
    }
  }
  result.bandwidthPosition = position;
  result.texts = statisticsTexts(statistics);
  return result;
}

}  // namespace varno
