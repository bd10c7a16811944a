// Column statistics: running mean, variance, HPDI windows, accuracy, mode and density curve.
#include "stats/column_statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "stats/kernel_density.h"

namespace varno {
namespace {

TEST(HpdiWindowCount, IsComputedInWholeNumbers) {
  struct Case {
    long long n;
    int level;
    long long windows;
  };
  const Case cases[] = {
      {100, 95, 5},  // exactly 5, where 100 x 0.05 in doubles would round up to 6
      {2, 95, 1},     {20, 95, 1}, {21, 95, 2},  {1000, 95, 50},
      {100, 1, 99},   {2, 99, 1},  {2, 1, 2},    {1000000, 95, 50000},
      {100, 0, 99},   {100, 150, 1},  // levels outside 1..99 are clamped
  };
  for (const Case& c : cases) EXPECT_EQ(hpdiWindowCount(c.n, c.level), c.windows) << c.n << " at " << c.level;
}

TEST(ColumnStatistics, TwoValues) {
  const std::vector<double> sample = {3.5, 1.25};
  const ColumnStatistics s = computeColumnStatistics(sample, 95, 0.5);
  EXPECT_EQ(s.n, 2);
  EXPECT_EQ(s.mean, 2.375);
  EXPECT_EQ(s.min, 1.25);
  EXPECT_EQ(s.max, 3.5);
  EXPECT_EQ(s.variance, 2.25 * 2.25 / 2);
  EXPECT_EQ(s.sumSquares, 2.25 * 2.25 / 2);
  EXPECT_EQ(s.hpdiLow, 1.25);
  EXPECT_EQ(s.hpdiHigh, 3.5);
  EXPECT_EQ(s.width, 2.25);
  EXPECT_EQ(s.accuracy, 2.25 * 100 / (2.375 * 2));
  EXPECT_EQ(s.bandwidth, 0.5);
}

TEST(ColumnStatistics, FewerThanTwoValuesGiveOnlyTheCount) {
  const std::vector<double> one = {4};
  const ColumnStatistics s = computeColumnStatistics(one, 95, 0.5, true);
  EXPECT_EQ(s.n, 1);
  EXPECT_EQ(s.sumSquares, 0);
  EXPECT_TRUE(s.density.empty());
  EXPECT_EQ(computeColumnStatistics(std::vector<double>{}, 95, 0.5).n, 0);
}

TEST(ColumnStatistics, HpdiWindowsOfOneToHundred) {
  struct Case {
    std::vector<double> values;
    int level;
    double low;
    double high;
  };
  std::vector<double> oneToHundred(100);
  std::iota(oneToHundred.begin(), oneToHundred.end(), 1.0);
  std::vector<double> narrowGap = oneToHundred;
  narrowGap[60] = 60.5;  // 60 -> 60.5 is the one gap narrower than 1
  std::vector<double> twoNarrowGaps = narrowGap;
  twoNarrowGaps[80] = 80.5;  // as narrow as 60 -> 60.5, but higher up
  const Case cases[] = {
      {oneToHundred, 95, 1, 96},  // five windows of 95, the first wins
      {oneToHundred, 1, 1, 2},    // 99 windows of neighbours, all 1 wide
      {narrowGap, 1, 60, 60.5},
      {twoNarrowGaps, 1, 60, 60.5},
  };
  for (const Case& c : cases) {
    std::vector<double> rows = c.values;
    std::shuffle(rows.begin(), rows.end(), std::mt19937(3));
    const ColumnStatistics s = computeColumnStatistics(rows, c.level, 1);
    EXPECT_EQ(s.hpdiLow, c.low) << "level " << c.level;
    EXPECT_EQ(s.hpdiHigh, c.high) << "level " << c.level;
    EXPECT_EQ(s.width, c.high - c.low);
  }
}

TEST(ColumnStatistics, EqualValues) {
  const std::vector<double> sample(30, 0.625);
  const ColumnStatistics s = computeColumnStatistics(sample, 95, 0.01, true);
  EXPECT_EQ(s.mean, 0.625);
  EXPECT_EQ(s.variance, 0);
  EXPECT_EQ(s.hpdiLow, 0.625);
  EXPECT_EQ(s.hpdiHigh, 0.625);
  EXPECT_EQ(s.width, 0);
  EXPECT_EQ(s.accuracy, 0);
  EXPECT_EQ(s.mode, 0.625);
}

TEST(ColumnStatistics, ZeroMeanGivesInfiniteAccuracyAndStillAMode) {
  const std::vector<double> sample = {-2, 1, -1, 2, 0.5, -0.5};
  const ColumnStatistics s = computeColumnStatistics(sample, 95, 0.3);
  ASSERT_EQ(s.mean, 0);
  EXPECT_EQ(s.accuracy, std::numeric_limits<double>::infinity());
  const KernelDensity naive = kernelDensityNaive(sample, -2, 2, 0.3);
  EXPECT_EQ(s.mode, naive.grid[naive.modeIndex]);
}

TEST(ColumnStatistics, MeanIsRunningNotSumOverCount) {
  // (1.1 + 0.1 + 0.3 + 0.1) / 4 is 0.4000000000000001; the running mean ends one bit higher.
  const std::vector<double> sample = {1.1, 0.1, 0.3, 0.1};
  EXPECT_EQ(computeColumnStatistics(sample, 95, 0.1).mean, 0.40000000000000013);
}

TEST(ColumnStatistics, ModeFollowsTheRowOrderSums) {
  // Mirror-image bumps: which peak wins depends on the rounding of the sums in row order.
  // The largest sample is big enough to be worked on two threads.
  struct Case {
    int n;
    double h;
  };
  const Case cases[] = {{600, 0.4}, {6000, 0.3}, {120000, 0.4}};
  for (const Case& c : cases) {
    std::vector<double> rows(c.n);
    for (int i = 0; i < c.n; ++i) rows[i] = i % 2;
    const ColumnStatistics s = computeColumnStatistics(rows, 95, c.h);
    const KernelDensity naive = kernelDensityNaive(rows, 0, 1, c.h);
    EXPECT_EQ(s.mode, naive.grid[naive.modeIndex]) << "n = " << c.n << ", h = " << c.h;
  }
}

TEST(ColumnStatistics, DensityCurveIsTheScaledSums) {
  std::mt19937 rng(11);
  std::gamma_distribution<double> gamma(2, 0.1);
  std::vector<double> rows(5000);
  for (double& v : rows) v = gamma(rng);
  const double h = std::exp(-3.0);
  const ColumnStatistics s = computeColumnStatistics(rows, 95, h, true);
  const KernelDensity naive = kernelDensityNaive(rows, s.min, s.max, h);
  ASSERT_EQ(s.gridX.size(), 200u);
  ASSERT_EQ(s.density.size(), 200u);
  EXPECT_EQ(s.gridX.front(), s.min);
  EXPECT_LT(s.gridX.back(), s.max);
  for (int j = 0; j < 200; ++j) {
    const double expected = naive.sums[j] / (5000 * h);
    EXPECT_NEAR(s.density[j], expected, 1e-9 * expected + 1e-300) << "grid point " << j;
  }
  EXPECT_EQ(s.mode, naive.grid[naive.modeIndex]);
}

}  // namespace
}  // namespace varno
