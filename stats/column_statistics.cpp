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

ColumnStatistics computeColumnStatistics(std::span<const double> rowOrderSample, int levelPercent,
                                         double bandwidth, bool withDensityCurve) {
  ColumnStatistics result;
  double mean = 0;
  double min = 1.7e308;
  double max = -1.7e308;
  long long count = 0;
  for (double v : rowOrderSample) {
    ++count;
    mean = ((count - 1) * mean + v) / count;
    if (v > max) max = v;
    if (v < min) min = v;
  }
  result.n = static_cast<int>(count);
  result.mean = mean;
  result.min = min;
  result.max = max;
  result.bandwidth = bandwidth;
  if (count < 2) return result;

  double squares = 0;
  for (double v : rowOrderSample) squares += (v - mean) * (v - mean);
  result.sumSquares = squares;
  result.variance = squares / (count - 1);

  std::vector<double> sorted(rowOrderSample.begin(), rowOrderSample.end());
  sortSample(sorted);
  const SortedInterval hpdi =
      narrowestWindow(sorted, static_cast<std::size_t>(hpdiWindowCount(count, levelPercent)));
  result.hpdiLow = hpdi.low;
  result.hpdiHigh = hpdi.high;
  result.width = result.hpdiHigh - result.hpdiLow;
  result.accuracy = mean == 0 ? std::numeric_limits<double>::infinity()
                              : (result.hpdiHigh - result.hpdiLow) * 100 / (std::abs(mean) * 2);

  const KernelDensity density = kernelDensity(sorted, rowOrderSample, min, max, bandwidth);
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
