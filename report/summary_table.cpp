// Computing and writing the summary table of every column.
#include "report/summary_table.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>

#include "core/column_catalogue.h"
#include "core/parallel_for.h"
#include "core/text_pieces.h"
#include "report/json_text.h"
#include "stats/column_statistics.h"
#include "stats/default_bandwidth.h"

namespace varno {

namespace {

std::optional<double> finite(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

SummaryRow summaryRow(const SummaryTableInput& input, int column) {
  SummaryRow row;
  row.column = column + 1;
  DiagnosticDraws draws = diagnosticDraws(*input.table, column, input.layout, input.rows, input.modelFilter);
  row.kind = draws.kind;
  row.n = static_cast<int>(draws.values.size());
  if (draws.values.empty()) return row;

  // The Details page shows a newly chosen column at its default bandwidth, or at the designed one
  // where the rule gives none; the moments that choose it are those the statistics use.
  const SampleMoments moments = sampleMoments(draws.values);
  const int position = defaultBandwidthPosition(row.n, moments.sumSquares).value_or(kDesignedBandwidthPosition);
  // One sort of the draws serves the HPDI, the density and the ranks of the diagnostics.
  std::vector<OrderedDraw> order = ascendingOrder(draws.values);
  std::vector<double> sorted;
  sorted.reserve(draws.values.size());
  for (const OrderedDraw& d : order) sorted.push_back(d.value);
  sorted.resize(draws.values.size(), std::numeric_limits<double>::quiet_NaN());  // NaNs last
  const ColumnStatistics s =
      computeColumnStatistics(draws.values, sorted, moments, input.levelPercent, bandwidthOfPosition(position));
  row.mean = finite(s.mean);
  if (row.n >= 2) {
    row.sd = finite(std::sqrt(s.variance));
    row.mode = finite(s.mode);
    row.hpdiLow = finite(s.hpdiLow);
    row.hpdiHigh = finite(s.hpdiHigh);
  }
  if (draws.diagnosed()) row.diagnostics = convergenceDiagnostics(draws.values, std::move(order));
  return row;
}

std::string number(const std::optional<double>& v, const char* undefined) {
  if (!v) return undefined;
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, *v).ptr);
}

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
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
                                            const SummaryTableHooks& hooks) {
  if (!input.table) return {};
  const int columns = input.table->columnCount();
  const std::vector<std::string> names = summaryColumnNames(*input.table, input.layout);
  std::vector<SummaryRow> rows(static_cast<std::size_t>(columns));
  std::mutex progressMutex;
  int done = 0;
  parallelFor(rows.size(), threads, [&](std::size_t c) {
    if (hooks.cancel && hooks.cancel->load()) return;
    rows[c] = summaryRow(input, static_cast<int>(c));
    rows[c].name = names[c];
    if (hooks.progress) {
      const std::lock_guard<std::mutex> lock(progressMutex);
      hooks.progress(++done, columns);
    }
  });
  if (hooks.cancel && hooks.cancel->load()) return {};
  return rows;
}

const std::vector<std::string>& summaryTableHeader() {
  static const std::vector<std::string> header{"column", "name",      "n",         "mean",     "sd",   "mode",
                                               "hpdi_low", "hpdi_high", "ess_bulk", "ess_tail", "rhat", "mcse_mean"};
  return header;
}

std::string formatSummaryTable(const std::vector<SummaryRow>& rows, SummaryFormat format) {
  const std::vector<std::string>& header = summaryTableHeader();
  const char* undefined = format == SummaryFormat::json ? "null" : "NA";
  std::string out;
  auto fieldsOf = [&](const SummaryRow& r) {
    const ConvergenceDiagnostics& d = r.diagnostics;
    return std::vector<std::string>{
        decimal(r.column),          r.name,                          decimal(r.n),
        number(r.mean, undefined),  number(r.sd, undefined),         number(r.mode, undefined),
        number(r.hpdiLow, undefined), number(r.hpdiHigh, undefined), number(d.essBulk, undefined),
        number(d.essTail, undefined), number(d.rhat, undefined),     number(d.mcseMean, undefined)};
  };
  if (format == SummaryFormat::json) {
    out += "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const std::vector<std::string> fields = fieldsOf(rows[i]);
      out += i == 0 ? "\n  {" : ",\n  {";
      for (std::size_t f = 0; f < fields.size(); ++f) {
        if (f > 0) out += ", ";
        out += jsonString(header[f]) + ": " + (f == 1 ? jsonString(fields[f]) : fields[f]);
      }
      out += "}";
    }
    out += rows.empty() ? "]\n" : "\n]\n";
    return out;
  }
  const bool csv = format == SummaryFormat::csv;
  const char* separator = csv ? "," : "\t";
  const char* end = csv ? "\r\n" : "\n";
  auto line = [&](const std::vector<std::string>& fields) {
    for (std::size_t f = 0; f < fields.size(); ++f) {
      if (f > 0) out += separator;
      out += csv ? csvField(fields[f]) : fields[f];
    }
    out += end;
  };
  line(header);
  for (const SummaryRow& r : rows) line(fieldsOf(r));
  return out;
}

SummaryTableResult runSummaryTable(const SummaryTableOptions& options, const RunHooks& hooks) {
  SummaryTableResult result;
  ColumnData data;
  if (auto error = openColumnData(options, hooks, data, result.warnings)) {
    result.error = std::move(*error);
    return result;
  }
  SummaryTableInput input;
  input.table = data.table;
  input.layout.kind = data.kind;
  if (data.kind == FileKind::fst) {
    input.layout.factorCount = data.decision.factorCount;
    input.layout.hasInteraction = data.decision.hasInteraction;
    input.layout.populationCount = data.modelColumn - 3;
  }
  input.rows = data.rows;
  input.modelFilter = options.modelFilter;
  input.levelPercent = options.levelPercent;
  const unsigned cores = std::thread::hardware_concurrency();
  result.text = formatSummaryTable(computeSummaryTable(input, cores == 0 ? 2 : static_cast<int>(cores)), options.format);
  return result;
}

}  // namespace varno
