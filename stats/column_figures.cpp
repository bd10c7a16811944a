// The Details page's figures of one column.
#include "stats/column_figures.h"

#include <cmath>

#include "stats/column_sample.h"
#include "stats/default_bandwidth.h"
#include "stats/histogram.h"
#include "stats/running_mean.h"

namespace varno {

ColumnFigures computeColumnFigures(const ColumnFiguresInput& input) {
  ColumnFigures figures;
  if (!input.table) return figures;
  std::vector<double> sample = gatherColumnSample(*input.table, input.column - 1, input.rows,
                                                  input.modelFilter, input.modelColumn);
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

  const ColumnStatistics& s = figures.statistics;
  switch (input.plotType) {
    case PlotType::trace:
      figures.y = std::move(sample);
      break;
    case PlotType::runningMean:
      figures.y = runningMean(sample);
      break;
    case PlotType::histogram: {
      const Histogram h = histogramOf(sample, s.min, s.max, input.classCount);
      for (const auto& [x, height] : histogramBars(h)) {
        figures.x.push_back(x);
        figures.y.push_back(height);
      }
      figures.bars = true;
      // bars are as wide as their class, centred on its lower edge; a single class gets a
      // visible width
      figures.barWidth = h.classWidth > 0 ? h.classWidth : (s.min == 0 ? 1.0 : std::abs(s.min) * 0.1);
      break;
    }
    case PlotType::density:
      figures.x = s.gridX;
      figures.y = s.density;
      break;
  }
  return figures;
}

}  // namespace varno
