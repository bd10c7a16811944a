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

}  // namespace
}  // namespace varno
