// Computing and writing the summary table of every column.
#include "report/summary_table.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <limits>
#include <thread>

#include "core/column_catalogue.h"
#include "core/parallel_for.h"
#include "core/text_pieces.h"
#include "report/chain_outputs.h"
#include "report/table_text.h"
#include "stats/burn_in_suggestion.h"
#include "stats/chain_diagnostics.h"
#include "stats/column_statistics.h"
#include "stats/default_bandwidth.h"
#include "stats/mcse_rounding.h"
#include "stats/quantile_error.h"

namespace varno {

namespace {

std::optional<double> finite(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<double> finite(std::optional<double> v) { return v ? finite(*v) : std::nullopt; }

SummaryRow summaryRow(const SummaryTableInput& input, int column) {
  SummaryRow row;
  row.column = column + 1;
  row.quantiles.resize(input.quantiles.size());
  row.burnInMser = columnBurnIn(input.chains, column, input.layout).burnIn;
  ColumnChainDraws perChain = columnChainDraws(input.chains, column, input.layout, input.modelFilter);
  row.kind = perChain.kind;
  const bool pooled = input.chains.size() > 1;
  EqualLengthChains used;
  std::vector<double> values;
  if (pooled) {
    if (perChain.diagnosed()) used = equalLengthChains(perChain.perChain);
    row.chainsLeftOut = used.leftOut;
    row.chainsCut = used.cut;
    row.chainsLength = used.length;
    std::size_t total = 0;
    for (const auto& d : perChain.perChain) total += d.size();
    values.reserve(total);
    for (const auto& d : perChain.perChain) values.insert(values.end(), d.begin(), d.end());
  } else {
    values = std::move(perChain.perChain.front());
    // one chain is diagnosed whatever its length, as the single-chain figures are
    if (perChain.diagnosed()) used.chains.emplace_back(values);
  }
  row.n = static_cast<int>(values.size());
  if (values.empty()) return row;

  // The Details page shows a newly chosen column at its default bandwidth, or at the designed one
  // where the rule gives none; the moments that choose it are those the statistics use.
  const SampleMoments moments = sampleMoments(values);
  const int position = defaultBandwidthPosition(row.n, moments.sumSquares).value_or(kDesignedBandwidthPosition);
  // One sort of the draws serves the HPDI, the density, the ranks of the diagnostics and, when the
  // diagnostics use every draw, the quantiles of the HPDI limits.
  std::vector<OrderedDraw> order = ascendingOrder(values);
  std::vector<double> sorted;
  sorted.reserve(values.size());
  for (const OrderedDraw& d : order) sorted.push_back(d.value);
  const std::size_t numbers = sorted.size();
  sorted.resize(values.size(), std::numeric_limits<double>::quiet_NaN());  // NaNs last
  const ColumnStatistics s =
      computeColumnStatistics(values, sorted, moments, input.levelPercent, bandwidthOfPosition(position));
  row.mean = finite(s.mean);
  if (row.n >= 2) {
    row.sd = finite(std::sqrt(s.variance));
    row.mode = finite(s.mode);
    row.hpdiLow = finite(s.hpdiLow);
    row.hpdiHigh = finite(s.hpdiHigh);
  }
  if (used.chains.empty()) return row;
  const ChainDraws chains(used.chains);
  // every draw in the diagnostics: their sort is this one
  const bool whole = used.leftOut.empty() && !used.cut;
  sorted.resize(numbers);
  std::optional<QuantileErrors> quantiles;
  if (row.hpdiLow || row.hpdiHigh || !input.quantiles.empty())
    quantiles.emplace(whole ? QuantileErrors(chains, std::move(sorted)) : QuantileErrors(chains));
  for (std::size_t q = 0; q < input.quantiles.size(); ++q) row.quantiles[q] = quantiles->at(input.quantiles[q]);
  if (pooled)
    row.diagnostics = used.chains.size() == 1 ? convergenceDiagnostics(used.chains.front())
                                              : convergenceDiagnostics(chains);
  else
    row.diagnostics = convergenceDiagnostics(values, std::move(order));
  if (row.hpdiLow) row.mcseHpdiLow = finite(quantiles->limitMcse(*row.hpdiLow));
  if (row.hpdiHigh) row.mcseHpdiHigh = finite(quantiles->limitMcse(*row.hpdiHigh));
  return row;
}

}  // namespace

std::vector<std::string> summaryColumnNames(const SampleTable& table, const TableLayout& layout) {
  const int columns = table.columnCount();
  if (layout.kind == FileKind::fst) {
    std::vector<std::string> names = fstColumnLabels(columns, layout.factorCount);
    names.resize(static_cast<std::size_t>(columns));
    return names;
  }
  std::vector<std::string> names;
  const std::vector<std::string>& header = table.columnNames();
  for (int c = 1; c <= columns; ++c) {
    const std::size_t at = static_cast<std::size_t>(c - 1);
    names.push_back(at < header.size() && !header[at].empty() ? header[at] : "Column " + decimal(c));
  }
  if (layout.kind == FileKind::frq) {
    const std::vector<int> counts = frqAlleleCounts(table);
    int column = 1;  // 0-based: the count of the first locus
    for (std::size_t locus = 0; locus < counts.size() && column < columns; ++locus) {
      const std::string prefix = "Locus " + decimal(static_cast<long long>(locus) + 1);
      names[column] = prefix + " alleles";
      for (int a = 1; a <= counts[locus] && column + a < columns; ++a) names[column + a] = prefix + " allele " + decimal(a);
      column += counts[locus] + 1;
    }
  }
  return names;
}

std::vector<SummaryRow> computeSummaryTable(const SummaryTableInput& input, int threads,
                                            Progress& progress) {
  if (input.chains.empty() || !input.chains.front().table) return {};
  const SampleTable& first = *input.chains.front().table;
  const int columns = first.columnCount();
  const std::vector<std::string> names = summaryColumnNames(first, input.layout);
  std::vector<SummaryRow> rows(static_cast<std::size_t>(columns));
  std::atomic<int> done{0};
  parallelFor(rows.size(), threads, [&](std::size_t c) {
    progress.stopIfCancelled();
    rows[c] = summaryRow(input, static_cast<int>(c));
    rows[c].name = names[c];
    progress.report(static_cast<double>(++done) / columns);
  });
  progress.stopIfCancelled();
  progress.report(1);
  return rows;
}

const std::vector<std::string>& summaryTableHeader() {
  static const std::vector<std::string> header{"column", "name",      "n",         "mean",     "sd",   "mode",
                                               "hpdi_low", "hpdi_high", "ess_bulk", "ess_tail", "rhat", "mcse_mean"};
  return header;
}

std::vector<std::string> summaryTableHeader(const SummaryColumns& columns) {
  std::vector<std::string> header = summaryTableHeader();
  if (columns.errors) header.insert(header.end(), {"mcse_hpdi_low", "mcse_hpdi_high", "burnin_mser"});
  for (double p : columns.quantiles) {
    const std::string name = quantileName(p);
    header.insert(header.end(), {name, "mcse_" + name, "ess_" + name});
  }
  return header;
}

std::string formatSummaryTable(const std::vector<SummaryRow>& rows, SummaryFormat format,
                               const SummaryColumns& columns) {
  const char* undefined = undefinedText(format);
  // a figure at the digits its MCSE supports; NA without one
  auto figure = [&](const std::optional<double>& value, const std::optional<double>& mcse) {
    if (!columns.roundByMcse) return exactNumber(value, undefined);
    if (!value) return std::string(undefined);
    std::string text = mcseRounded(*value, mcse);
    return text == "NA" ? std::string(undefined) : text;
  };
  std::vector<std::vector<std::string>> fields;
  fields.reserve(rows.size());
  for (const SummaryRow& r : rows) {
    const ConvergenceDiagnostics& d = r.diagnostics;
    std::vector<std::string>& f = fields.emplace_back();
    f = {decimal(r.column), r.name, decimal(r.n), figure(r.mean, d.mcseMean),
         exactNumber(r.sd, undefined), exactNumber(r.mode, undefined), figure(r.hpdiLow, r.mcseHpdiLow),
         figure(r.hpdiHigh, r.mcseHpdiHigh), exactNumber(d.essBulk, undefined),
         exactNumber(d.essTail, undefined), exactNumber(d.rhat, undefined),
         exactNumber(d.mcseMean, undefined)};
    if (columns.errors) {
      const std::optional<double> burnIn =
          r.burnInMser.suggested ? std::optional<double>(static_cast<double>(r.burnInMser.rows)) : std::nullopt;
      f.insert(f.end(), {exactNumber(r.mcseHpdiLow, undefined), exactNumber(r.mcseHpdiHigh, undefined),
                         exactNumber(burnIn, undefined)});
    }
    for (std::size_t q = 0; q < columns.quantiles.size(); ++q) {
      const QuantileError e = q < r.quantiles.size() ? r.quantiles[q] : QuantileError{};
      f.insert(f.end(), {exactNumber(e.quantile, undefined), exactNumber(e.mcse, undefined), exactNumber(e.ess, undefined)});
    }
  }
  const std::vector<std::string> header = summaryTableHeader(columns);
  std::vector<bool> text(header.size(), false);
  text[1] = true;  // the name
  return formatTextTable(header, fields, format, text);
}

std::vector<SummaryRow> analysisSummaryRows(const OpenedAnalysis& analysis, const SummaryTableOptions& options,
                                            Progress& progress) {
  SummaryTableInput input;
  input.chains = analysis.chains;
  input.layout = analysis.layout;
  input.modelFilter = options.modelFilter;
  input.levelPercent = options.levelPercent;
  input.quantiles = options.quantiles;
  const unsigned cores = std::thread::hardware_concurrency();
  return computeSummaryTable(input, cores == 0 ? 2 : static_cast<int>(cores), progress);
}

std::vector<std::string> summaryRowWarnings(const std::vector<SummaryRow>& rows) {
  std::vector<std::string> warnings;
  for (const SummaryRow& row : rows) {
    const std::string note = chainUseNote(row.chainsLeftOut, row.chainsCut, row.chainsLength);
    if (!note.empty()) warnings.push_back("column " + decimal(row.column) + " diagnostics: " + note);
  }
  return warnings;
}

std::string summaryTableText(const std::vector<SummaryRow>& rows, const SummaryTableOptions& options) {
  return formatSummaryTable(rows, options.format, SummaryColumns{true, options.quantiles, options.roundByMcse});
}

SummaryTableResult runSummaryTable(const SummaryTableOptions& options, Progress& progress) {
  SummaryTableResult result;
  OpenedAnalysis data;
  if (auto error = openAnalysis(options, data, result.warnings, progress)) {
    result.error = std::move(*error);
    return result;
  }
  const std::vector<SummaryRow> rows = analysisSummaryRows(data, options, progress);
  // The tables are done with: their memory goes before the texts of a wide table take theirs.
  data = {};
  for (std::string& warning : summaryRowWarnings(rows)) result.warnings.push_back(std::move(warning));
  result.text = summaryTableText(rows, options);
  return result;
}

}  // namespace varno
