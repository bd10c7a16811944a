// The line of Monte Carlo errors under the Statistics box.
#include "stats/statistics_texts.h"

#include <gtest/gtest.h>

namespace varno {
namespace {

TEST(McseLine, ThreeSignificantDigitsAndNaWhereUndefined) {
  struct Case {
    McseFigures mcse;
    const char* line;
  };
  const Case cases[] = {
      {{0.012, 0.041, 0.057}, "MCSE: mean \u00b1 0.012, HPDI limits \u2265 \u00b1 0.041 and \u00b1 0.057"},
      {{0.0123456, 1234.5, 0.00001234}, "MCSE: mean \u00b1 0.0123, HPDI limits \u2265 \u00b1 1.23e+03 and \u00b1 1.23e-05"},
      {{std::nullopt, 0.5, std::nullopt}, "MCSE: mean NA, HPDI limits \u2265 \u00b1 0.5 and NA"},
      {{0.0, std::nullopt, std::nullopt}, "MCSE: mean \u00b1 0, HPDI limits NA"},
  };
  for (const Case& c : cases) EXPECT_EQ(mcseLine(c.mcse), c.line);
}

}  // namespace
}  // namespace varno
