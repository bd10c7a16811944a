// Kernel density: the fast sums against the plain 200 x n sums, the exact mode and its ties.
#include "stats/kernel_density.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "stats/column_sample.h"

namespace varno {
namespace {

struct Sample {
  std::vector<double> rowOrder;
  std::vector<double> sorted;
  double min;
  double max;
};

Sample makeSample(std::vector<double> values) {
  Sample s{values, values, 0, 0};
  sortSample(s.sorted);
  s.min = *std::min_element(values.begin(), values.end());
  s.max = *std::max_element(values.begin(), values.end());
  return s;
}

// Compares the fast result, with its sums as shown and as the mode needs them, with the plain one
// in both summation orders: the mode index exactly, the shown sums within 1e-6 relative wherever
// they are above 1% of the peak, the mode's sums within 1e-11 of the peak everywhere.
void expectMatchesNaive(const Sample& s, double h, const std::string& label) {
  const KernelDensity rowNaive = kernelDensityNaive(s.rowOrder, s.min, s.max, h);
  const KernelDensity rowFast = kernelDensity(s.sorted, s.rowOrder, s.min, s.max, h);
  EXPECT_EQ(rowFast.modeIndex, rowNaive.modeIndex) << label << " (row order)";
  const KernelDensity sortedNaive = kernelDensityNaive(s.sorted, s.min, s.max, h);
  const KernelDensity sortedFast = kernelDensity(s.sorted, s.sorted, s.min, s.max, h);
  EXPECT_EQ(sortedFast.modeIndex, sortedNaive.modeIndex) << label << " (sorted order)";
  const KernelDensity rowLanes = kernelDensity(s.sorted, s.rowOrder, s.min, s.max, h, KernelSums::forTheMode);
  EXPECT_EQ(rowLanes.modeIndex, rowNaive.modeIndex) << label << " (row order, lanes)";
  const KernelDensity sortedLanes = kernelDensity(s.sorted, s.sorted, s.min, s.max, h, KernelSums::forTheMode);
  EXPECT_EQ(sortedLanes.modeIndex, sortedNaive.modeIndex) << label << " (sorted order, lanes)";

  const double peak = *std::max_element(rowNaive.sums.begin(), rowNaive.sums.end());
  for (int j = 0; j < kDensityGridSize; ++j) {
    ASSERT_EQ(rowFast.grid[j], rowNaive.grid[j]);
    if (rowNaive.sums[j] < 0.01 * peak) continue;
    ASSERT_NEAR(rowFast.sums[j], rowNaive.sums[j], 1e-6 * rowNaive.sums[j]) << label << " at grid point " << j;
  }
  for (int j = 0; j < kDensityGridSize; ++j)
    ASSERT_NEAR(rowLanes.sums[j], rowNaive.sums[j], 1e-11 * peak) << label << " at grid point " << j << " (lanes)";
}

enum class Shape { normal, bimodal, heavyTailed, fewIntegers, skewed };

std::vector<double> draw(Shape shape, int n, std::mt19937& rng) {
  std::normal_distribution<double> normal(0, 1);
  std::cauchy_distribution<double> cauchy(0, 1);
  std::uniform_int_distribution<int> small(0, 4);
  std::bernoulli_distribution coin(0.3);
  std::exponential_distribution<double> exponential(5);
  std::vector<double> values(n);
  for (double& v : values) {
    switch (shape) {
      case Shape::normal: v = 0.3 + 0.05 * normal(rng); break;
      case Shape::bimodal: v = coin(rng) ? -2 + 0.5 * normal(rng) : 1.5 + 0.3 * normal(rng); break;
      case Shape::heavyTailed: v = cauchy(rng); break;
      case Shape::fewIntegers: v = small(rng); break;
      case Shape::skewed: v = exponential(rng); break;
    }
    v = static_cast<float>(v);  // samples come from a table of floats
  }
  return values;
}

TEST(KernelDensity, FastModeAndSumsMatchThePlainComputation) {
  const Shape shapes[] = {Shape::normal, Shape::bimodal, Shape::heavyTailed, Shape::fewIntegers, Shape::skewed};
  const char* names[] = {"normal", "bimodal", "heavy-tailed", "few integers", "skewed"};
  // Bandwidths from the ends of the track bar and around the usual default.
  const double bandwidths[] = {std::exp(-10.0), std::exp(-5.0), 0.01, 0.2, std::exp(3.0)};
  const int sizes[] = {2, 3, 40, 700, 2500, 9000, 20000};
  std::mt19937 rng(2024);
  int round = 0;
  for (int s = 0; s < 5; ++s) {
    for (double h : bandwidths) {
      const int n = sizes[round++ % 7];
      const Sample sample = makeSample(draw(shapes[s], n, rng));
      expectMatchesNaive(sample, h, std::string(names[s]) + ", n = " + std::to_string(n) + ", h = " + std::to_string(h));
    }
  }
}

TEST(KernelDensity, SymmetricPeaksAreSettledByTheExactSums) {
  // 0, 1, 0, 1, ...: the two bumps are mirror images, so the sums at x and 1 - x differ only by
  // rounding and the plain computation picks one of them by its last bits. Below 2000 values in
  // reach the terms are added directly, above that the moment sums only shortlist candidates.
  for (int n : {600, 6000}) {
    std::vector<double> values(n);
    for (int i = 0; i < n; ++i) values[i] = i % 2;
    const Sample sample = makeSample(values);
    for (double h : {0.3, 0.4, 0.45}) expectMatchesNaive(sample, h, "n = " + std::to_string(n) + ", h = " + std::to_string(h));
  }
}

TEST(KernelDensity, ManyEqualValuesInReach) {
  std::mt19937 rng(5);
  const std::vector<double> fewIntegers = draw(Shape::fewIntegers, 20000, rng);
  struct Case {
    std::vector<double> values;
    double h;
  };
  const Case cases[] = {
      {fewIntegers, std::exp(-10.0)},  // thousands of values exactly on some grid points
      {fewIntegers, 0.3},
      {std::vector<double>(5000, 2.5), 0.1},  // a single value: all grid points coincide
  };
  for (const Case& c : cases) expectMatchesNaive(makeSample(c.values), c.h, "h = " + std::to_string(c.h));
}

TEST(KernelDensity, LaneSumsGiveTheModeOfThePlainSums) {
  std::mt19937 rng(30);
  std::normal_distribution<double> normal(0, 1);
  const auto normalSample = [&](int n, double centre, double spread) {
    std::vector<double> values(n);
    for (double& v : values) v = centre + spread * static_cast<float>(normal(rng));
    return values;
  };
  std::vector<double> alternating(1000);
  for (std::size_t i = 0; i < alternating.size(); ++i) alternating[i] = i % 2 == 0 ? -1 : 1;
  std::vector<double> ties = normalSample(4000, 0, 1);
  for (double& v : ties) v = std::round(v * 4) / 4;
  std::vector<double> farApart = normalSample(500, 0, 1);
  farApart.push_back(1e12);
  struct Case {
    const char* label;
    std::vector<double> values;
    double h;
  };
  const Case cases[] = {
      {"two values", {0.25, 0.75}, 0.3},
      {"two values, narrow kernel", {0.25, 0.75}, std::exp(-10.0)},
      {"a constant", std::vector<double>(300, 0.125), 0.01},
      {"mirror-image bumps", alternating, 0.6},  // the mode is settled by summing again
      {"ties on a quarter grid", ties, 0.2},
      {"1000 normal", normalSample(1000, 0, 1), 0.27},
      {"7999 normal (lanes and a tail)", normalSample(7999, 5, 2), 0.6},
      {"100000 normal", normalSample(100000, 0, 1), 0.1},
      {"100000 normal, narrow kernel", normalSample(100000, 0, 1), 0.002},
      {"frequencies near 0", normalSample(1000, 1e-300, 1e-302), 3e-303},
      {"a large offset", normalSample(1000, 1e15, 1), 0.3},
      {"huge values", normalSample(1000, 1e300, 1e298), 1e297},
      {"one value far apart", farApart, 0.3},
      {"a wide kernel", normalSample(700, 0, 1), std::exp(3.0)},
  };
  for (const Case& c : cases) expectMatchesNaive(makeSample(c.values), c.h, c.label);

  // The mirror-image bumps tie to the last bits, so the lane sums cannot tell their peaks apart.
  const Sample mirror = makeSample(alternating);
  const KernelDensity lanes =
      kernelDensity(mirror.sorted, mirror.rowOrder, mirror.min, mirror.max, 0.6, KernelSums::forTheMode);
  EXPECT_GE(lanes.summedAgain, 2);
}

TEST(KernelDensity, LaneExponentialIsWithin64UnitsInTheLastPlace) {
  // One value at 0 and one far above: up to grid point 96 only the value at 0 is in reach, so each
  // lane sum is a single term, here with z = x / h exact (h a power of two), from 1 down to 2^-1063.
  const double h = 0x1p-3;
  const Sample s = makeSample({0, 80 * h});
  const KernelDensity lanes = kernelDensity(s.sorted, s.sorted, s.min, s.max, h, KernelSums::forTheMode);
  for (int j = 0; j <= 96; ++j) {
    const double term = kernelTerm(lanes.grid[j], 0, h);
    const double tolerance = term >= 0x1p-1022 ? 64 * std::ldexp(1.0, std::ilogb(term) - 52) : 0x1p-1022;
    ASSERT_NEAR(lanes.sums[j], term, tolerance) << "grid point " << j << ", z = " << lanes.grid[j] / h;
  }
}

TEST(KernelDensity, BitIdenticalPeaksGoToTheLowerGridPoint) {
  // With {0, 1} the sums at x and 1 - x add the same two terms in swapped order; at h = 0.45
  // the peaks of the two bumps fall on grid points 30 and 170.
  const Sample s = makeSample({1, 0});
  const KernelDensity naive = kernelDensityNaive(s.rowOrder, 0, 1, 0.45);
  ASSERT_EQ(naive.sums[30], naive.sums[170]);
  EXPECT_EQ(naive.modeIndex, 30);
  EXPECT_EQ(kernelDensity(s.sorted, s.rowOrder, 0, 1, 0.45).modeIndex, 30);
  EXPECT_EQ(kernelDensity(s.sorted, s.sorted, 0, 1, 0.45).modeIndex, 30);
}

TEST(KernelDensity, NonFiniteOrHugeValuesGiveThePlainResult) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    std::vector<double> values;
    double h;
  };
  const Case cases[] = {
      {{1, nan, 2, 3}, 0.5},
      {{1, inf, 2}, 0.5},
      {{-inf, 0, 1}, 0.5},
      {{-1e308, 1e308, 0}, 0.5},               // the range overflows
      {{1.6e308, 1.7e308, 1.65e308}, 1e307},   // bin centres would overflow
      {{1, 2, 3}, nan},
  };
  for (const Case& c : cases) {
    std::vector<double> sorted = c.values;
    sortSample(sorted);
    double min = 1.7e308, max = -1.7e308;
    for (double v : c.values) {
      if (v < min) min = v;
      if (v > max) max = v;
    }
    const KernelDensity naive = kernelDensityNaive(c.values, min, max, c.h);
    const KernelDensity fast = kernelDensity(sorted, c.values, min, max, c.h);
    EXPECT_EQ(fast.modeIndex, naive.modeIndex);
  }
}

TEST(KernelDensity, GridStopsOneStepShortOfTheMaximum) {
  const DensityGrid grid = densityGrid(-1, 3);
  EXPECT_EQ(grid[0], -1);
  EXPECT_DOUBLE_EQ(grid[199], -1 + 0.995 * 4);
  EXPECT_TRUE(std::is_sorted(grid.begin(), grid.end()));
}

}  // namespace
}  // namespace varno
