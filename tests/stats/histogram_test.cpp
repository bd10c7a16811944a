// Tests of the histogram classes and bars.
#include "stats/histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace varno {
namespace {

using Bars = std::vector<std::pair<double, double>>;

TEST(Histogram, ClassesStartAtMinAndTheLastBeginsAtMax) {
  struct Case {
    const char* name;
    std::vector<double> values;
    double min, max;
    int classCount;
    std::vector<int> counts;
    double width;
  };
  const Case cases[] = {
      {"one value per class", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0, 10, 11,
       {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 1},
      {"two classes: below max, at max", {0, 1, 2.5, 9.99, 10, 10}, 0, 10, 2, {4, 2}, 10},
      {"class count limited to 2", {-1, 0, 1}, -1, 1, 1, {2, 1}, 2},
      {"boundaries go up", {0, 0.5, 1, 1.5, 2}, 0, 2, 3, {2, 2, 1}, 1},
      {"negative range", {-4, -3.5, -3, -2}, -4, -2, 3, {2, 1, 1}, 1},
      {"outside values clamped, NaN skipped",
       {-100, 0, std::nan(""), 5, 100}, 0, 10, 3, {2, 1, 1}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Histogram h = histogramOf(c.values, c.min, c.max, c.classCount);
    EXPECT_EQ(h.counts, c.counts);
    EXPECT_EQ(h.classWidth, c.width);
    EXPECT_EQ(h.min, c.min);
  }
}

TEST(Histogram, BarsStandAtTheLowerEdges) {
  const std::vector<double> values{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  Bars expected;
  for (int k = 0; k <= 10; ++k) expected.emplace_back(k, 1);
  EXPECT_EQ(histogramBars(histogramOf(values, 0, 10, 11)), expected);
}

TEST(Histogram, ClassCountAbove200IsLimited) {
  std::vector<double> values(1000);
  std::iota(values.begin(), values.end(), 0.0);
  const Histogram h = histogramOf(values, 0, 999, 5000);
  ASSERT_EQ(h.counts.size(), 200u);
  EXPECT_EQ(std::accumulate(h.counts.begin(), h.counts.end(), 0), 1000);
  EXPECT_EQ(h.counts.back(), 1);  // only max itself
}

TEST(Histogram, MaxLandsInTheLastClassWhenTheWidthRoundsUp) {
  // Find bounds where the rounded width puts max one class low: (max - min) / w < b - 1.
  double min = 0, max = 0;
  int b = 0;
  bool found = false;
  for (int i = 1; i < 2000 && !found; ++i) {
    for (int classes = 3; classes <= 200 && !found; ++classes) {
      const double lo = 0.1 * i, hi = lo + 0.7 + 0.013 * i;
      const double w = (hi - lo) / (classes - 1);
      if (static_cast<int>((hi - lo) / w) < classes - 1) {
        min = lo, max = hi, b = classes, found = true;
      }
    }
  }
  ASSERT_TRUE(found);
  const std::vector<double> values{min, max};
  const Histogram h = histogramOf(values, min, max, b);
  ASSERT_EQ(h.counts.size(), static_cast<std::size_t>(b));
  EXPECT_EQ(h.counts.front(), 1);
  EXPECT_EQ(h.counts.back(), 1) << min << ' ' << max << ' ' << b;
}

TEST(Histogram, WithoutSpreadOneBarHoldsEveryValue) {
  struct Case {
    const char* name;
    std::vector<double> values;
    double min, max;
    Bars bars;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {"all equal", {2.5, 2.5, 2.5}, 2.5, 2.5, {{2.5, 3}}},
      {"all zero", {0, 0}, 0, 0, {{0, 2}}},
      {"max below min", {1, 2}, 2, 1, {{2, 2}}},
      {"infinite max", {1, inf}, 1, inf, {{1, 2}}},
      {"range too narrow to divide", {0, 5e-324}, 0, 5e-324, {{0, 2}}},
      {"NaN skipped", {1, std::nan(""), 1}, 1, 1, {{1, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Histogram h = histogramOf(c.values, c.min, c.max, 30);
    EXPECT_EQ(h.classWidth, 0);
    EXPECT_EQ(histogramBars(h), c.bars);
  }
}

TEST(Histogram, EachValueCountsInTheClassThatHoldsIt) {
  // Values placed well inside known classes of ranges that divide badly.
  struct Range {
    double min, max;
  };
  for (const Range r : {Range{0.3, 1.0}, Range{-7.1, 3.3}, Range{1e-6, 3e-6}, Range{250, 1e4}}) {
    for (int b : {2, 3, 7, 30, 199, 200}) {
      const double w = (r.max - r.min) / (b - 1);
      std::vector<double> values{r.min, r.max};
      std::vector<int> expected(static_cast<std::size_t>(b), 0);
      expected.front() += 1;
      expected.back() += 1;
      for (int k = 0; k < b - 1; ++k) {
        for (int j = 1; j <= k % 4 + 1; ++j) {  // 1 to 4 values at different places in class k
          values.push_back(r.min + (k + 0.2 * j - 0.05) * w);
          expected[static_cast<std::size_t>(k)] += 1;
        }
      }
      EXPECT_EQ(histogramOf(values, r.min, r.max, b).counts, expected)
          << r.min << ' ' << r.max << ' ' << b;
    }
  }
}

}  // namespace
}  // namespace varno
