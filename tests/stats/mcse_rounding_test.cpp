// Figures rounded to the place of their Monte Carlo standard error.
#include "stats/mcse_rounding.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace varno {
namespace {

TEST(McseRounding, TableOfCases) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    std::optional<double> mcse;
    const char* text;
  } cases[] = {
      {4.1834, 0.15, "4.2"},
      {1234.5, 15, "1230"},
      {-4.1834, 0.15, "-4.2"},
      {-1234.5, 15, "-1230"},
      // the place is that of the MCSE's leading digit
      {4.1834, 0.1, "4.2"},
      {4.1834, 0.0999, "4.18"},
      {4.1834, 1, "4"},
      {4.1834, 9.99, "4"},
      // ties go to the even digit, also where the double lies just below the tie it reads as
      {0.125, 0.01, "0.12"},
      {0.135, 0.01, "0.14"},
      {0.155, 0.01, "0.16"},
      {0.1251, 0.01, "0.13"},
      {2.5, 1, "2"},
      {3.5, 1, "4"},
      {-2.5, 1, "-2"},
      {1245, 15, "1240"},
      {1255, 15, "1260"},
      // a carry adds a digit
      {99.96, 0.1, "100.0"},
      {-99.96, 0.1, "-100.0"},
      // values smaller than the place round to 0 or to one unit of it; zero has no sign
      {4, 15, "0"},
      {5, 15, "0"},
      {6, 15, "10"},
      {15, 15, "20"},
      {0.003, 20, "0"},
      {-0.04, 0.15, "0.0"},
      {0, 0.15, "0.0"},
      {1.5e20, 1e18, "150000000000000000000"},
      // a small MCSE keeps trailing zeros up to its place; one finer than a double keeps every digit
      {4.1834, 1e-6, "4.183400"},
      {1.0 / 3, 1e-30, "0.3333333333333333"},
      {4.1834, 0, "4.1834"},
      {1e-7, 0, "1e-07"},
      {4.1834, std::nullopt, "NA"},
      {4.1834, nan, "NA"},
      {4.1834, -0.1, "NA"},
      {4.1834, inf, "NA"},
      {nan, 0.1, "NA"},
      {inf, 0.1, "NA"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(mcseRounded(c.value, c.mcse), c.text)
        << c.value << " +- " << (c.mcse ? std::to_string(*c.mcse) : std::string("none"));
}

}  // namespace
}  // namespace varno
