// Column samples: retained rows, the model filter, widening, and sorting with NaNs.
#include "stats/column_sample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace varno {
namespace {

// Column 0: values 0.1 .. 0.6 as floats; column 1: model numbers.
SampleTable makeTable() {
  SampleTable table(2, 6);
  const float values[] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f};
  const float models[] = {1, 3, 3, 2, 3.0000002f, 3};
  for (int r = 0; r < 6; ++r) {
    table.cell(0, r) = values[r];
    table.cell(1, r) = models[r];
  }
  return table;
}

TEST(GatherColumnSample, KeepsTheRetainedRowsThatPassTheFilter) {
  const SampleTable table = makeTable();
  struct Case {
    RowRange rows;
    int modelFilter;
    int modelColumn;
    std::vector<float> expected;
  };
  const Case cases[] = {
      {{0, 6}, 0, 1, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f}},
      {{1, 4}, 0, 1, {0.2f, 0.3f, 0.4f}},
      {{0, 6}, 3, 1, {0.2f, 0.3f, 0.6f}},  // 3.0000002 is not model 3
      {{2, 6}, 3, 1, {0.3f, 0.6f}},
      {{0, 6}, 3, -1, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f}},  // no model column: no filter
      {{0, 6}, 7, 1, {}},
      {{-5, 100}, 2, 1, {0.4f}},  // rows clamped to the table
      {{4, 2}, 0, 1, {}},
  };
  for (const Case& c : cases) {
    const std::vector<double> sample = gatherColumnSample(table, 0, c.rows, c.modelFilter, c.modelColumn);
    // Widened exactly: 0.2f is 0.20000000298..., not 0.2.
    const std::vector<double> expected(c.expected.begin(), c.expected.end());
    EXPECT_EQ(sample, expected) << "rows " << c.rows.begin << ".." << c.rows.end << ", model " << c.modelFilter;
  }
}

TEST(GatherColumnSample, MissingColumnsGiveAnEmptySample) {
  const SampleTable table = makeTable();
  EXPECT_TRUE(gatherColumnSample(table, 2, {0, 6}, 0, -1).empty());
  EXPECT_TRUE(gatherColumnSample(table, -1, {0, 6}, 0, -1).empty());
  EXPECT_TRUE(gatherColumnSample(table, 0, {0, 6}, 3, 5).empty());
}

TEST(SortSample, SortsAscendingWithNaNsLast) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::mt19937 rng(9);
  std::normal_distribution<double> normal;
  for (std::size_t n : {std::size_t{10}, std::size_t{200000}}) {  // one plain sort; two halves merged
    std::vector<double> values(n);
    for (double& v : values) v = normal(rng);
    values[3] = nan;
    values[n / 2] = nan;
    values[n - 1] = -std::numeric_limits<double>::infinity();
    std::vector<double> expected;
    for (double v : values)
      if (!std::isnan(v)) expected.push_back(v);
    std::sort(expected.begin(), expected.end());
    sortSample(values);
    ASSERT_TRUE(std::isnan(values[n - 1]) && std::isnan(values[n - 2]));
    values.resize(n - 2);
    EXPECT_EQ(values, expected) << "n = " << n;
  }
}

}  // namespace
}  // namespace varno
