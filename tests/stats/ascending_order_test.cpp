// The ascending order of draws: every path (comparison sort, draws by byte, keys packed with
// their positions) gives the order of a stable sort, NaNs left out.
#include "stats/ascending_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "stats/ordered_key.h"

namespace varno {
namespace {

std::vector<OrderedDraw> stableOrder(const std::vector<double>& values) {
  std::vector<OrderedDraw> order;
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!std::isnan(values[i])) order.push_back({values[i], static_cast<std::uint32_t>(i)});
  std::stable_sort(order.begin(), order.end(),
                   [](const OrderedDraw& a, const OrderedDraw& b) { return orderedKey(a.value) < orderedKey(b.value); });
  return order;
}

// Draws with ties, both zeros, infinities and NaNs mixed in: every 7th draw repeats an earlier
// one, and a few are special.
std::vector<double> drawsOf(std::size_t n, bool widenedFromFloat, double scale, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> normal(0, scale);
  std::vector<double> values(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double v = normal(rng);
    values[i] = widenedFromFloat ? static_cast<float>(v) : v;
    if (i % 7 == 6) values[i] = values[i / 2];
  }
  const double special[] = {0.0, -0.0, std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                            0.0, -0.0, std::numeric_limits<double>::quiet_NaN()};
  for (std::size_t k = 0; k < std::size(special) && 11 * k + 3 < n; ++k) values[11 * k + 3] = special[k];
  return values;
}

TEST(AscendingOrder, IsTheOrderOfAStableSortWithoutNaNs) {
  struct Case {
    std::string name;
    std::vector<double> values;
  };
  std::vector<double> narrow(5000);  // few varying bits: 0.25 .. 0.5 as floats
  for (std::size_t i = 0; i < narrow.size(); ++i) narrow[i] = static_cast<float>(0.25 + 0.25 * ((i * 7919) % 4999) / 4999.0);
  std::vector<double> allEqual(3000, 0.125);
  allEqual[17] = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"a few draws", drawsOf(100, false, 1, 1)},
      {"floats with ties and specials", drawsOf(20000, true, 3, 2)},
      {"doubles with ties and specials", drawsOf(20000, false, 1e-3, 3)},
      {"floats in a narrow range", narrow},
      {"all equal", allEqual},
      {"floats of both signs, no -0", [] {
         std::vector<double> v = drawsOf(4000, true, 1, 5);
         for (double& x : v)
           if (std::isnan(x) || std::isinf(x) || x == 0) x = 0.5;
         return v;
       }()},
      {"negative floats only", [] {
         std::vector<double> v = drawsOf(4000, true, 1, 4);
         for (double& x : v) x = -std::abs(x) - 1;
         return v;
       }()},
  };
  for (const Case& c : cases) {
    const std::vector<OrderedDraw> expected = stableOrder(c.values);
    const std::vector<OrderedDraw> got = ascendingOrder(c.values);
    ASSERT_EQ(got.size(), expected.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(got[i].value), std::bit_cast<std::uint64_t>(expected[i].value))
          << c.name << ", place " << i;
      ASSERT_EQ(got[i].index, expected[i].index) << c.name << ", place " << i;
    }
  }
}

}  // namespace
}  // namespace varno
