// The marking rule of the diagnostics and the Statistics box's line of them.
#include <gtest/gtest.h>

#include "stats/convergence_marks.h"

namespace varno {
namespace {

TEST(ConvergenceMarks, MarksEssBelowOneHundredPerChainAndRhatAboveOnePointZeroOne) {
  struct Case {
    std::optional<double> essBulk, essTail, rhat;
    int chains;
    bool bulk, tail, r;
  } cases[] = {
      {99.99, 100, 1.01, 1, true, false, false},
      {100, 99, 1.0100001, 1, false, true, true},
      {399, 400, 1.0, 4, true, false, false},  // four chains need 400
      {150, 150, 1.0, 2, true, true, false},
      {std::nullopt, std::nullopt, std::nullopt, 1, false, false, false},  // undefined is not marked
      {5, 5, 2.08, 1, true, true, true},
  };
  for (const Case& c : cases) {
    const ConvergenceMarks marks = convergenceMarks({c.essBulk, c.essTail, c.rhat, std::nullopt}, c.chains);
    EXPECT_EQ(marks.essBulk.has_value(), c.bulk) << c.essBulk.value_or(-1);
    EXPECT_EQ(marks.essTail.has_value(), c.tail) << c.essTail.value_or(-1);
    EXPECT_EQ(marks.rhat.has_value(), c.r) << c.rhat.value_or(-1);
    EXPECT_EQ(marks.any(), c.bulk || c.tail || c.r);
  }
  const ConvergenceMarks low = convergenceMarks({57.4, 300, 1.05, 0.1}, 1);
  EXPECT_EQ(low.essBulk->substr(0, 36), "ess_bulk 57.4 is below 100: too few ");
  EXPECT_NE(low.rhat->find("1.05 is above 1.01"), std::string::npos);
}

TEST(ConvergenceMarks, LineGroupsThousandsRoundsAndShowsUndefinedAsADash) {
  EXPECT_EQ(convergenceLine({1234.4, 2345.6, 1.00249, 0.1}), "ESS 1,234 bulk \u00B7 2,346 tail \u00B7 R-hat 1.002");
  EXPECT_EQ(convergenceLine({1234567.0, 999.5, 0.99, std::nullopt}),
            "ESS 1,234,567 bulk \u00B7 1,000 tail \u00B7 R-hat 0.990");
  EXPECT_EQ(convergenceLine({50, std::nullopt, std::nullopt, 0.14}),
            "ESS 50 bulk \u00B7 \u2013 tail \u00B7 R-hat \u2013");
}

}  // namespace
}  // namespace varno
