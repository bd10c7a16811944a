// Everything the Details page shows for one column: the statistics of its retained sample and the
// points of the chosen plot type, computed in one go off the window's thread.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/sample_table.h"
#include "stats/column_statistics.h"
#include "stats/convergence_diagnostics.h"
#include "stats/diagnostic_draws.h"
#include "stats/chain_rows.h"
#include "stats/row_range.h"
#include "stats/statistics_texts.h"

namespace varno {

enum class PlotType { trace, runningMean, histogram, density, autocorrelation };

// The inputs of one computation; two requests with equal inputs give equal figures.
struct ColumnFiguresInput {
  // Every chain with its retained rows, chain 1 first; one chain is a list of one. Several: the
  // statistics are of their pooled draws, the trace, running mean and autocorrelation are drawn
  // per chain, and the diagnostics are across the chains.
  std::vector<ChainRows> chains;
  int column = 1;  // 1-based
  int modelFilter = 0;
  int modelColumn = -1;  // 0-based; -1 when the file has no model column
  TableLayout layout;    // tells the counter and model columns, which get no diagnostics
  int levelPercent = 95;
  // The bandwidth track bar's position; nothing asks for the rule-of-thumb bandwidth of this
  // sample, with keptBandwidthPosition used where the rule gives none.
  std::optional<int> bandwidthPosition;
  int keptBandwidthPosition = 0;
  PlotType plotType = PlotType::trace;
  int classCount = 10;
  // The trace over the whole column, x in row numbers, with the rows outside the sample apart.
  bool wholeColumn = false;
  // False when the caller holds the diagnostics of this very sample already (they cost more than
  // all the other figures together on a long column): figures.diagnostics is then left empty.
  bool diagnose = true;

  bool operator==(const ColumnFiguresInput&) const = default;
};

// One line of a plot; x empty means the row index within the sample (0, 1, 2, ...).
struct FigureLine {
  std::vector<double> x, y;
  // The whole-column trace: the 1-based rows outside the sample, runs parted by a NaN value.
  std::vector<double> outsideX, outsideY;
};

struct ColumnFigures {
  int sampleCount = 0;
  double sumSquares = 0;      // of the sample about its mean, for the default bandwidth
  int bandwidthPosition = 0;  // the position the statistics were computed with
  ColumnStatistics statistics;
  StatisticsTexts texts;      // meaningful only when sampleCount >= 2
  // ess_bulk, ess_tail and rhat of the sample taken as one chain; nothing for the counter and
  // model columns.
  std::optional<ConvergenceDiagnostics> diagnostics;
  // Set with the diagnostics (when the input diagnoses and the column is diagnosed).
  std::optional<McseFigures> mcse;
  // The plot's lines: one (the sample's, or with several chains their pooled histogram or
  // density), or with several chains the trace, running mean or autocorrelation of each chain
  // (x: its position in the chain, or the lag), drawn overlaid; none for fewer than two values.
  std::vector<FigureLine> lines;
  bool bars = false;  // histogram: x are the lower class edges, y the heights; autocorrelation: lags
  double barWidth = 0;
  int tableRows = 0;  // of the whole-column trace, for its x axis
  // What the diagnostics across several chains left out or cut.
  std::string chainsNote;
};

ColumnFigures computeColumnFigures(const ColumnFiguresInput& input);

// The convergence diagnostics of the input's sample (given, or gathered here); nothing for the
// counter and model columns and for fewer than two values.
std::optional<ConvergenceDiagnostics> sampleDiagnostics(const ColumnFiguresInput& input,
                                                        std::span<const double> sample);
std::optional<ConvergenceDiagnostics> sampleDiagnostics(const ColumnFiguresInput& input);
// The same across several chains, with the note of what they left out or cut (chainUseNote).
std::optional<ConvergenceDiagnostics> sampleDiagnostics(const ColumnFiguresInput& input, std::string& chainsNote);

// The MCSE figures of the input's sample, given its statistics and diagnostics: for a caller that
// computes the diagnostics apart from the figures (the sample is gathered here when needed).
McseFigures sampleMcse(const ColumnFiguresInput& input, const ColumnStatistics& statistics,
                       const ConvergenceDiagnostics& diagnostics);

// True when both inputs draw the same sample (chains, column, rows, model filter, layout): its
// diagnostics are then the same whatever the plot, level or bandwidth.
bool sameSample(const ColumnFiguresInput& a, const ColumnFiguresInput& b);

}  // namespace varno
