// The Details page's figures of one column.
#include "stats/column_figures.h"

#include "stats/chain_diagnostics.h"
#include "stats/pooled_sample.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "stats/autocorrelation.h"
#include "stats/column_sample.h"
#include "stats/default_bandwidth.h"
#include "stats/histogram.h"
#include "stats/quantile_error.h"
#include "stats/running_mean.h"

namespace varno {

namespace {

// The whole column: rows in the sample (retained and of the filtered model) to x, y; the others
// to outsideX, outsideY, a NaN closing every run so that no line joins two runs.
// The trace of a whole column of one chain: its sample at its row numbers, and the rows outside it
// apart, runs parted by a NaN value.
FigureLine wholeColumnTrace(const ColumnFiguresInput& input, const SampleTable& table, RowRange rows) {
  FigureLine lines;
  const int column = input.column - 1;
  const bool filtered = input.modelFilter != 0 && input.modelColumn >= 0 && input.modelColumn < table.columnCount();
  const std::span<const float> models = filtered ? table.column(input.modelColumn) : std::span<const float>{};
  bool outside = false;
  for (int r = 0; r < table.rowCount(); ++r) {
    const bool inSample =
        r >= rows.begin && r < rows.end && (!filtered || static_cast<double>(models[r]) == input.modelFilter);
    if (inSample) {
      if (outside) {
        lines.outsideX.push_back(r + 0.5);
        lines.outsideY.push_back(std::numeric_limits<double>::quiet_NaN());
      }
      lines.x.push_back(r + 1);
      lines.y.push_back(table.value(column, r));
    } else {
      lines.outsideX.push_back(r + 1);
      lines.outsideY.push_back(table.value(column, r));
    }
    outside = !inSample;
  }
  return lines;
}

std::optional<double> finiteLimit(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

// The MCSE figures of a diagnosed sample: the HPDI limits taken as quantiles of the draws the
// diagnostics use (one chain: the sample; several: each chain's, cut to the shortest).
McseFigures mcseFigures(const ColumnFiguresInput& input, std::span<const double> sample,
                        const ColumnStatistics& statistics, const ConvergenceDiagnostics& diagnostics) {
  McseFigures mcse;
  mcse.mean = diagnostics.mcseMean;
  const std::optional<double> low = finiteLimit(statistics.hpdiLow), high = finiteLimit(statistics.hpdiHigh);
  if (!low && !high) return mcse;
  ColumnChainDraws draws;
  std::vector<std::span<const double>> chains;
  if (input.chains.size() > 1) {
    draws = columnChainDraws(input.chains, input.column - 1, input.layout, input.modelFilter);
    chains = equalLengthChains(draws.perChain).chains;
  } else {
    chains.push_back(sample);
  }
  if (chains.empty()) return mcse;
  const QuantileErrors quantiles{ChainDraws(chains)};
  if (low) mcse.hpdiLow = quantiles.limitMcse(*low);
  if (high) mcse.hpdiHigh = quantiles.limitMcse(*high);
  return mcse;
}

}  // namespace

std::optional<ConvergenceDiagnostics> sampleDiagnostics(const ColumnFiguresInput& input,
                                                        std::span<const double> sample) {
  if (input.chains.empty() || !input.chains[0].table || sample.size() <= 1) return std::nullopt;
  const ColumnKind kind = columnKind(*input.chains[0].table, input.column - 1, input.layout, input.chains[0].rows);
  if (kind == ColumnKind::counter || kind == ColumnKind::modelLabel) return std::nullopt;
  return convergenceDiagnostics(sample);
}

std::optional<ConvergenceDiagnostics> sampleDiagnostics(const ColumnFiguresInput& input, std::string& chainsNote) {
  chainsNote.clear();
  if (input.chains.size() <= 1) return sampleDiagnostics(input);
  const ColumnKind kind = columnKind(*input.chains[0].table, input.column - 1, input.layout, input.chains[0].rows);
  if (kind == ColumnKind::counter || kind == ColumnKind::modelLabel) return std::nullopt;
  const ChainDiagnostics d = columnChainDiagnostics(input.chains, input.column - 1, input.layout, input.modelFilter);
  chainsNote = chainUseNote(d.leftOut, d.cut, d.length);
  return d.diagnostics;
}

std::optional<ConvergenceDiagnostics> sampleDiagnostics(const ColumnFiguresInput& input) {
  if (input.chains.empty() || !input.chains[0].table) return std::nullopt;
  if (input.chains.size() > 1) {
    std::string note;
    return sampleDiagnostics(input, note);
  }
  const std::vector<double> sample =
      gatherPooledSample(input.chains, input.column - 1, input.modelFilter, input.modelColumn);
  return sampleDiagnostics(input, sample);
}

ColumnFigures computeColumnFigures(const ColumnFiguresInput& input) {
  ColumnFigures figures;
  if (input.chains.empty() || !input.chains[0].table) return figures;
  // several chains are diagnosed across each other and drawn each apart
  const bool severalChains = input.chains.size() > 1;
  std::vector<double> sample = gatherPooledSample(input.chains, input.column - 1, input.modelFilter, input.modelColumn);
  figures.sampleCount = static_cast<int>(sample.size());
  if (sample.size() <= 1) return figures;

  int position = input.bandwidthPosition.value_or(input.keptBandwidthPosition);
  if (!input.bandwidthPosition) {
    const SampleMoments moments = sampleMoments(sample);
    if (const auto p = defaultBandwidthPosition(figures.sampleCount, moments.sumSquares)) position = *p;
  }
  figures.bandwidthPosition = position;
  figures.statistics = computeColumnStatistics(sample, input.levelPercent, bandwidthOfPosition(position),
                                               input.plotType == PlotType::density);
  figures.sumSquares = figures.statistics.sumSquares;
  figures.texts = statisticsTexts(figures.statistics);
  if (input.diagnose) {
    figures.diagnostics = severalChains ? sampleDiagnostics(input, figures.chainsNote) : sampleDiagnostics(input, sample);
    if (figures.diagnostics) figures.mcse = mcseFigures(input, sample, figures.statistics, *figures.diagnostics);
  }
  if (severalChains && (input.plotType == PlotType::trace || input.plotType == PlotType::runningMean ||
                        input.plotType == PlotType::autocorrelation)) {
    // each chain apart: pooling them would hide runs that disagree
    for (const ChainRows& chain : input.chains) {
      if (input.plotType == PlotType::trace && input.wholeColumn) {
        figures.lines.push_back(wholeColumnTrace(input, *chain.table, chain.rows));
        figures.tableRows = std::max(figures.tableRows, chain.table->rowCount());
        continue;
      }
      std::vector<double> own =
          gatherColumnSample(*chain.table, input.column - 1, chain.rows, input.modelFilter, input.modelColumn);
      std::vector<double> x, y;
      if (input.plotType == PlotType::autocorrelation) {
        const Autocorrelation acf = autocorrelation(own);
        if (!acf.values.empty()) {
          for (std::size_t lag = 0; lag <= acf.lastPlotLag(); ++lag) {
            x.push_back(static_cast<double>(lag));
            y.push_back(acf.values[lag]);
          }
        }
      } else {
        y = input.plotType == PlotType::trace ? std::move(own) : runningMean(own);
        x.resize(y.size());
        for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i + 1);
      }
      figures.lines.push_back({std::move(x), std::move(y), {}, {}});
    }
    return figures;
  }

  FigureLine& line = figures.lines.emplace_back();
  const ColumnStatistics& s = figures.statistics;
  switch (input.plotType) {
    case PlotType::trace:
      if (input.wholeColumn) {
        const ChainRows& chain = input.chains[0];
        line = wholeColumnTrace(input, *chain.table, chain.rows);
        figures.tableRows = chain.table->rowCount();
      } else {
        line.y = std::move(sample);
      }
      break;
    case PlotType::runningMean:
      line.y = runningMean(sample);
      break;
    case PlotType::histogram: {
      const Histogram h = histogramOf(sample, s.min, s.max, input.classCount);
      for (const auto& [x, height] : histogramBars(h)) {
        line.x.push_back(x);
        line.y.push_back(height);
      }
      figures.bars = true;
      // bars are as wide as their class, centred on its lower edge; a single class gets a
      // visible width
      figures.barWidth = h.classWidth > 0 ? h.classWidth : (s.min == 0 ? 1.0 : std::abs(s.min) * 0.1);
      break;
    }
    case PlotType::density:
      line.x = s.gridX;
      line.y = s.density;
      break;
    case PlotType::autocorrelation: {
      const Autocorrelation acf = autocorrelation(sample);
      if (!acf.values.empty()) {
        for (std::size_t lag = 0; lag <= acf.lastPlotLag(); ++lag) {
          line.x.push_back(static_cast<double>(lag));
          line.y.push_back(acf.values[lag]);
        }
      }
      figures.bars = true;
      figures.barWidth = 0.8;
      break;
    }
  }
  return figures;
}

bool sameSample(const ColumnFiguresInput& a, const ColumnFiguresInput& b) {
  return a.chains == b.chains && a.column == b.column && a.modelFilter == b.modelFilter &&
         a.modelColumn == b.modelColumn && a.layout == b.layout;
}

McseFigures sampleMcse(const ColumnFiguresInput& input, const ColumnStatistics& statistics,
                       const ConvergenceDiagnostics& diagnostics) {
  // several chains are gathered chain by chain inside; one chain's errors are of its sample
  const std::vector<double> sample =
      input.chains.size() > 1 ? std::vector<double>{}
                              : gatherPooledSample(input.chains, input.column - 1, input.modelFilter, input.modelColumn);
  return mcseFigures(input, sample, statistics, diagnostics);
}

}  // namespace varno
