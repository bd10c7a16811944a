// Axis labels of the main chart: thousands grouped by a blank, at most four decimals.
#include "stats/axis_number_format.h"

#include <gtest/gtest.h>

#include <cmath>

namespace varno {
namespace {

TEST(GroupedAxisNumber, GroupsThousandsAndKeepsAtMostFourDecimals) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {{0, "0"},
               {1234567.891, "1 234 567.891"},
               {-2500, "-2 500"},
               {999, "999"},
               {1000, "1 000"},
               {0.123456, "0.1235"},
               {0.5, "0.5"},
               {0.00001, "0"},
               {-0.00001, "0"},
               {-12345.00004, "-12 345"},
               {1e20, "100 000 000 000 000 000 000"},
               {NAN, "NAN"},
               {INFINITY, "INF"}};
  for (const Case& c : cases) EXPECT_EQ(groupedAxisNumber(c.value), c.text) << c.value;
}

// Ticks the designed four decimals cannot tell apart get the digits they need, or the exponent form.
TEST(DistinctAxisLabels, KeepTheDesignedStyleWhileItSeparatesTheTicksAndAddDigitsOtherwise) {
  const struct {
    std::vector<double> ticks;
    std::vector<std::string> labels;
  } cases[] = {
      {{0, 0.25, 0.5}, {"0", "0.25", "0.5"}},
      {{1000, 2000}, {"1 000", "2 000"}},
      {{0.0003, 0.00031, 0.00032, 0.00033}, {"0.0003", "0.00031", "0.00032", "0.00033"}},
      {{1e-9, 2e-9, 3e-9}, {"1e-09", "2e-09", "3e-09"}},
      {{1.5e-9, 1.55e-9}, {"1.5e-09", "1.55e-09"}},
      {{1e15, 1e15 + 0.25}, {"1 000 000 000 000 000", "1 000 000 000 000 000.25"}},
      {{0.00015, 0.00016, 0.00017}, {"0.00015", "0.00016", "0.00017"}},
      {{2, 2}, {"2", "2"}},
  };
  for (const auto& c : cases) EXPECT_EQ(distinctAxisLabels(c.ticks), c.labels) << c.labels.front();
}

}  // namespace
}  // namespace varno
