// Statistics of one column sample for the Details page: moments, HPDI, accuracy, mode, density.
#pragma once

#include <span>
#include <vector>

namespace varno {

struct ColumnStatistics {
  int n = 0;
  double mean = 0;  // running mean, updated value by value in row order
  double variance = 0;
  double min = 0;
  double max = 0;
  double sumSquares = 0;  // sum of (v - mean)^2; 0 when n < 2
  double hpdiLow = 0;
  double hpdiHigh = 0;
  double width = 0;
  double accuracy = 0;  // HPDI half-width in percent of |mean|; +inf when the mean is 0
  double mode = 0;
  double bandwidth = 0;
  // Filled only when the density curve is asked for: the 200 grid abscissae and d[j] / (n h).
  std::vector<double> gridX;
  std::vector<double> density;
};

// The running mean of a sample in row order and its sum of squares about that mean: the same
// arithmetic the statistics use, so a bandwidth chosen from it matches theirs.
struct SampleMoments {
  long long n = 0;
  double mean = 0;
  double sumSquares = 0;  // 0 when n < 2
};
SampleMoments sampleMoments(std::span<const double> rowOrderSample);

// The statistics of a sample given in row order, with the HPDI at levelPercent (1..99, clamped)
// and the kernel density of the given bandwidth. With fewer than two values only n, mean, min
// and max are set.
ColumnStatistics computeColumnStatistics(std::span<const double> rowOrderSample, int levelPercent,
                                         double bandwidth, bool withDensityCurve = false);
// The same from what the caller has already: the sample sorted as `sortSample` sorts it
// (ascending, NaNs last) and its `sampleMoments`.
ColumnStatistics computeColumnStatistics(std::span<const double> rowOrderSample, std::span<const double> sorted,
                                         const SampleMoments& moments, int levelPercent, double bandwidth,
                                         bool withDensityCurve = false);

// The number of HPDI windows, ceil(n (100 - L) / 100) in whole numbers, at least 1.
long long hpdiWindowCount(long long n, int levelPercent);

}  // namespace varno
