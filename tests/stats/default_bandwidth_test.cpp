// Tests of the default bandwidth position and the bandwidth of a position.
#include "stats/default_bandwidth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace varno {
namespace {

TEST(DefaultBandwidth, PositionOfTheRuleOfThumb) {
  struct Case {
    int n;
    double sumSquares;
    std::optional<int> position;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {1000, 0.05 * 0.05 * 999, -431},  // h0 = 0.0133130, 100 ln h0 = -431.90
      {2, 1.0, -8},                     // 1.06 * 2^-0.2 = 0.92279: -8.03 truncates toward zero
      {2, 2.0, 26},                     // 26.62
      {100, 99.0 * 1e6, 300},           // 604.5
      {100, 99.0 * 1e-12, -1000},       // -1467.8
      {1000, 999.0 * 4e-320, -1000},    // h0 underflows: ln is -inf
      {1000, inf, 300},
      {1, 5.0, std::nullopt},
      {0, 0.0, std::nullopt},
      {1000, 0.0, std::nullopt},
      {1000, -1.0, std::nullopt},
      {1000, std::numeric_limits<double>::quiet_NaN(), std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(defaultBandwidthPosition(c.n, c.sumSquares), c.position)
        << c.n << ' ' << c.sumSquares;
  }
}

TEST(DefaultBandwidth, BandwidthOfPosition) {
  EXPECT_NEAR(bandwidthOfPosition(-431), 0.0134335, 5e-8);
  EXPECT_NEAR(bandwidthOfPosition(-500), 0.00673795, 5e-9);
  EXPECT_EQ(bandwidthOfPosition(0), 1.0);
  EXPECT_NEAR(bandwidthOfPosition(300), 20.0855, 5e-5);
  EXPECT_NEAR(bandwidthOfPosition(-1000), 0.0000453999, 5e-11);
}

}  // namespace
}  // namespace varno
