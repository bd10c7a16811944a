// Summary of one posterior sample.
#include "stats/sample_summary.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace varno {

PosteriorSummary summarizeSampleNaive(std::span<double> sample, double level) {
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

  std::sort(sample.begin(), sample.end());

  int c = static_cast<int>(std::ceil((1 - level) * count - 1e-9));
  if (c < 1) c = 1;
  if (static_cast<std::size_t>(c) > n) c = static_cast<int>(n);
  std::size_t best = 0;
  double bestWidth = sample[n - c] - sample[0];
  for (std::size_t j = 1; j < static_cast<std::size_t>(c); ++j) {
    const double width = sample[n - c + j] - sample[j];
    if (width < bestWidth) {
      bestWidth = width;
      best = j;
    }
  }
  result.hpdiLow = sample[best];
  result.hpdiHigh = sample[best + n - c];

  double h = 1.06 * std::sqrt(result.variance) * std::pow(count, -0.2);
  if (h == 0) h = 0.01;
  const double rootTwoPi = std::sqrt(6.283185307179586);
  double x[200];
  double density[200];
  for (int j = 0; j < 200; ++j) {
    x[j] = min + j * (max - min) * 0.005;
    density[j] = 0;
  }
  for (double s : sample) {
    for (int j = 0; j < 200; ++j) {
      const double z = (x[j] - s) / h;
      density[j] += std::exp(-0.5 * (z * z)) / rootTwoPi;
    }
  }
  int m = 0;
  for (int j = 1; j < 200; ++j)
    if (density[j] > density[m]) m = j;
  result.mode = x[m];
  return result;
}

PosteriorSummary SummarizeSample(std::span<double> sample, double level) {
  return summarizeSampleNaive(sample, level);
}

}  // namespace varno
