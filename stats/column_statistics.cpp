// Statistics of one column sample.
#include "stats/column_statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "stats/column_sample.h"
#include "stats/kernel_density.h"
#include "stats/narrowest_window.h"

namespace varno {

long long hpdiWindowCount(long long n, int levelPercent) {
  const int level = std::clamp(levelPercent, 1, 99);
  const long long w = (n * (100 - level) + 99) / 100;
  return std::max(w, 1LL);
}

namespace {

// The running mean, updated value by value in row order.
double runningMeanOf(std::span<const double> rowOrderSample) {
  double mean = 0;
  long long count = 0;
  for (double v : rowOrderSample) {
    ++count;
    mean = ((count - 1) * mean + v) / count;
  }
  return mean;
}

double sumSquaresAbout(std::span<const double> rowOrderSample, double mean) {
  double squares = 0;
  for (double v : rowOrderSample) squares += (v - mean) * (v - mean);
  return squares;
}

}  // namespace

SampleMoments sampleMoments(std::span<const double> rowOrderSample) {
  SampleMoments m;
  m.n = static_cast<long long>(rowOrderSample.size());
  m.mean = runningMeanOf(rowOrderSample);
  if (m.n >= 2) m.sumSquares = sumSquaresAbout(rowOrderSample, m.mean);
  return m;
}

ColumnStatistics computeColumnStatistics(std::span<const double> rowOrderSample, int levelPercent,
                                         double bandwidth, bool withDensityCurve) {
  std::vector<double> sorted(rowOrderSample.begin(), rowOrderSample.end());
  sortSample(sorted);
  return computeColumnStatistics(rowOrderSample, sorted, sampleMoments(rowOrderSample), levelPercent, bandwidth,
                                 withDensityCurve);
}

ColumnStatistics computeColumnStatistics(std::span<const double> rowOrderSample, std::span<const double> sorted,
                                         const SampleMoments& moments, int levelPercent, double bandwidth,
                                         bool withDensityCurve) {
  ColumnStatistics result;
  double min = 1.7e308;
  double max = -1.7e308;
  for (double v : rowOrderSample) {
    if (v > max) max = v;
    if (v < min) min = v;
  }
  const long long count = moments.n;
  const double mean = moments.mean;
  result.n = static_cast<int>(count);
  result.mean = mean;
  result.min = min;
  result.max = max;
  result.bandwidth = bandwidth;
  if (count < 2) return result;

  const double squares = moments.sumSquares;
  result.sumSquares = squares;
  result.variance = squares / (count - 1);

  const SortedInterval hpdi =
      narrowestWindow(sorted, static_cast<std::size_t>(hpdiWindowCount(count, levelPercent)));
  result.hpdiLow = hpdi.low;
  result.hpdiHigh = hpdi.high;
  result.width = result.hpdiHigh - result.hpdiLow;
  result.accuracy = mean == 0 ? std::numeric_limits<double>::infinity()
                              : (result.hpdiHigh - result.hpdiLow) * 100 / (std::abs(mean) * 2);

  const KernelDensity density = kernelDensity(sorted, rowOrderSample, min, max, bandwidth,
                                              withDensityCurve ? KernelSums::shown : KernelSums::forTheMode);
  result.mode = density.grid[density.modeIndex];
  if (withDensityCurve) {
    const double scale = static_cast<double>(count) * bandwidth;
    result.gridX.assign(density.grid.begin(), density.grid.end());
    result.density.resize(kDensityGridSize);
    for (int j = 0; j < kDensityGridSize; ++j) result.density[j] = density.sums[j] / scale;
  }
  return result;
}

}  // namespace varno
