// The summary table: every column's figures and convergence diagnostics, and its three texts.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/progress.h"
#include "core/sample_table.h"
#include "report/table_text.h"
#include "report/unattended_run.h"
#include "stats/chain_rows.h"
#include "stats/convergence_diagnostics.h"
#include "stats/diagnostic_draws.h"
#include "stats/mser_burn_in.h"
#include "stats/quantile_error.h"
#include "stats/row_range.h"

namespace varno {

// One row of the table: the column's draws (diagnosticDraws) and their figures. A figure is
// nothing where it is undefined: the mean without draws, sd, mode and HPDI with fewer than two,
// the diagnostics where the estimators give none or the column is not a quantity, and any figure
// that is not a finite number.
struct SummaryRow {
  int column = 0;  // 1-based
  std::string name;
  ColumnKind kind = ColumnKind::quantity;
  int n = 0;
  std::optional<double> mean, sd, mode, hpdiLow, hpdiHigh;
  ConvergenceDiagnostics diagnostics;
  // Several chains: those left out of the diagnostics (1-based) and whether the others were cut to
  // the shortest.
  std::vector<int> chainsLeftOut;
  bool chainsCut = false;
  int chainsLength = 0;  // draws of each chain the diagnostics used
  // The MCSE of the HPDI limits as quantiles (QuantileErrors::limitMcse over the chains the
  // diagnostics use): a lower bound on their error. Nothing where the diagnostics give none.
  std::optional<double> mcseHpdiLow, mcseHpdiHigh;
  // The column's own suggested burn-in, MSER-5 over each chain's whole table, the largest over
  // the chains (columnBurnIn; column and chain 0-based).
  AnalysisBurnIn burnInMser;
  // At the input's quantile probabilities, in their order: the type 7 quantile, its MCSE and ESS
  // over the chains the diagnostics use; all nothing for a column that is not diagnosed.
  std::vector<QuantileError> quantiles;
};

struct SummaryTableInput {
  // Every chain with its retained rows, chain 1 first; with several, every figure is of their
  // pooled draws and the diagnostics are across them.
  std::vector<ChainRows> chains;
  TableLayout layout;
  int modelFilter = 0;
  int levelPercent = 95;
  std::vector<double> quantiles;  // probabilities in [0, 1] whose quantiles each row gets

  bool operator==(const SummaryTableInput&) const = default;
};

// The names the column choosers show: fst labels, "Locus L allele A" (and "Locus L alleles"
// for a count) in frq files, the header's names in other files that have one, "Column N"
// otherwise and for frq columns of no locus.
std::vector<std::string> summaryColumnNames(const SampleTable& table, const TableLayout& layout);

// Every column in file order, computed on up to `threads` threads. The mode is the Details
// page's: at the default bandwidth of the column's draws (the designed one when they have
// none). `progress` counts the columns done, from the working threads; a cancel ends the work with
// WorkCancelled between columns.
std::vector<SummaryRow> computeSummaryTable(const SummaryTableInput& input, int threads = 2,
                                            Progress& progress = Progress::unwatched());

// The header the three texts share, in order.
const std::vector<std::string>& summaryTableHeader();

// The columns a text adds after those of summaryTableHeader, and how it writes the figures.
struct SummaryColumns {
  bool errors = false;  // mcse_hpdi_low, mcse_hpdi_high and burnin_mser (NA where none is suggested)
  // q<P> mcse_q<P> ess_q<P> for each probability P, named by quantileName; the rows' quantiles
  // must be at these probabilities.
  std::vector<double> quantiles;
  // Each mean and HPDI limit written to the digits its MCSE supports (mcseRounded: the mean by
  // mcse_mean, a limit by its own), NA where it has none.
  bool roundByMcse = false;
};

// summaryTableHeader with the added columns.
std::vector<std::string> summaryTableHeader(const SummaryColumns& columns);

// tsv: tab-separated with a header line; csv: RFC 4180 (CRLF, quoted where needed) with a header
// row; json: an array of objects with the header's keys. Numbers are the shortest texts that read
// back as the same doubles; undefined figures are "NA" (null in json).
std::string formatSummaryTable(const std::vector<SummaryRow>& rows, SummaryFormat format,
                               const SummaryColumns& columns = {});

struct SummaryTableOptions : AnalysisRequest {
  SummaryFormat format = SummaryFormat::tsv;
  std::vector<double> quantiles;  // --quantiles
  bool roundByMcse = false;       // --round-by-mcse
};

struct SummaryTableResult {
  std::optional<std::string> text;  // set on success
  std::vector<std::string> warnings;
  std::optional<RunError> error;
};

// The rows of every column of an opened analysis, at the options' level, model and quantiles.
std::vector<SummaryRow> analysisSummaryRows(const OpenedAnalysis& analysis, const SummaryTableOptions& options,
                                            Progress& progress = Progress::unwatched());

// What the rows' diagnostics left out or cut, one warning per column that did.
std::vector<std::string> summaryRowWarnings(const std::vector<SummaryRow>& rows);

// The rows in the options' format, with the options' added columns.
std::string summaryTableText(const std::vector<SummaryRow>& rows, const SummaryTableOptions& options);

// The headless tool's summary: the data file opened as for the Statistics box of one column,
// then every column's row, formatted.
SummaryTableResult runSummaryTable(const SummaryTableOptions& options, Progress& progress = Progress::unwatched());

}  // namespace varno
