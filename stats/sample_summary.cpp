// Summary of one posterior sample.
#include "stats/sample_summary.h"

#include <cmath>
#include <cstddef>

#include "stats/column_sample.h"
#include "stats/kernel_density.h"
#include "stats/narrowest_window.h"

namespace varno {

namespace {

PosteriorSummary summarize(std::span<double> sample, double level, bool fastDensity) {
  PosteriorSummary result;
  const std::size_t n = sample.size();
  if (n == 0) return result;

  double sum = 0;
  double min = 1.7e308;
  double max = -1.7e308;
  for (double v : sample) {
    sum += v;
    if (v < min) min = v;
    if (v > max) max = v;
  }
  const double count = static_cast<double>(n);
  result.mean = sum / count;
  double squares = 0;
  for (double v : sample) squares += (v - result.mean) * (v - result.mean);
  result.variance = n > 1 ? squares / (count - 1) : 0;

  sortSample(sample);

  // The guard keeps 0.05 x 20, a hair above 1 in doubles, at one window.
  std::size_t c = 1;
  const double windows = std::ceil((1 - level) * count - 1e-9);
  if (windows > 1) c = windows < count ? static_cast<std::size_t>(windows) : n;
  const SortedInterval hpdi = narrowestWindow(sample, c);
  result.hpdiLow = hpdi.low;
  result.hpdiHigh = hpdi.high;

  double h = 1.06 * std::sqrt(result.variance) * std::pow(count, -0.2);
  if (h == 0) h = 0.01;
  const KernelDensity density =
      fastDensity ? kernelDensity(sample, sample, min, max, h, KernelSums::forTheMode)
                  : kernelDensityNaive(sample, min, max, h);
  result.mode = density.grid[density.modeIndex];
  return result;
}

}  // namespace

PosteriorSummary SummarizeSample(std::span<double> sample, double level) {
  return summarize(sample, level, true);
}

PosteriorSummary summarizeSampleNaive(std::span<double> sample, double level) {
  return summarize(sample, level, false);
}

}  // namespace varno
