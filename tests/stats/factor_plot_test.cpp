// Points and titles of the Fst-against-factor charts.
#include "stats/factor_plot.h"

#include <gtest/gtest.h>

#include <cmath>

namespace varno {
namespace {

TEST(FactorPlot, PointsOnBothScalesSkipPopulationsWithoutSummaryOrLogit) {
  const std::vector<double> means = {0.2, 0.0, 0.5, 1.0, -0.1};
  const std::vector<std::vector<float>> values = {{1.5f, 10, 15}, {2, 20, 40}, {3, 30, 90},
                                                  {4, 40, 160}, {5, 50, 250}};
  const auto logit = factorPlotPoints(means, values, 0, true);
  ASSERT_EQ(logit.size(), 2u);  // population 2 has no summary; 4 and 5 have no logit
  EXPECT_EQ(logit[0].first, 1.5);
  EXPECT_NEAR(logit[0].second, -1.386294, 1e-6);  // ln(0.25)
  EXPECT_EQ(logit[1], std::make_pair(3.0, 0.0));
  const auto plain = factorPlotPoints(means, values, 2, false);
  ASSERT_EQ(plain.size(), 4u);
  EXPECT_EQ(plain[0], std::make_pair(15.0, 0.2));
  EXPECT_EQ(plain[3], std::make_pair(250.0, -0.1));
}

TEST(FactorPlot, NoFactorSelectedOrAFactorWithoutValuesReadsNothingOutside) {
  const std::vector<double> means = {0.2, 0.3};
  const std::vector<std::vector<float>> values = {{1}, {2}};
  EXPECT_TRUE(factorPlotPoints(means, values, -1, true).empty());
  EXPECT_TRUE(factorPlotPoints(means, values, 1, true).empty());
  EXPECT_TRUE(factorPlotPoints(means, {}, 0, true).empty());
}

TEST(FactorPlot, Titles) {
  EXPECT_EQ(factorChartTitle(0, false), "Fst against G1");
  EXPECT_EQ(factorChartTitle(2, false), "Fst against G3");
  EXPECT_EQ(factorChartTitle(2, true), "Fst against G1*G2");
  EXPECT_EQ(factorChartTitle(1, true), "Fst against G2");
}

}  // namespace
}  // namespace varno
