// Tests of the running mean.
#include "stats/running_mean.h"

#include <gtest/gtest.h>

#include <vector>

namespace varno {
namespace {

TEST(RunningMean, FollowsTheMeanOfTheFirstValues) {
  struct Case {
    std::vector<double> values;
    std::vector<double> means;
  };
  const Case cases[] = {
      {{2, 4, 6}, {2, 3, 4}},
      {{}, {}},
      {{-1.5}, {-1.5}},
      {{10, 0, 5, 1}, {10, 5, 5, 4}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(runningMean(c.values), c.means);
  }
}

}  // namespace
}  // namespace varno
