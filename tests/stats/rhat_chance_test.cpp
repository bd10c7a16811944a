// The chance of an R-hat miss among converged chains, against simulated independent draws.
#include "stats/rhat_chance.h"

#include <gtest/gtest.h>

#include <random>
#include <span>
#include <vector>

#include "stats/convergence_diagnostics.h"

namespace varno {
namespace {

// The share of simulated analyses of independent draws whose R-hat exceeds the bound. Normal
// and skewed (exponential) draws: R-hat is rank-normalised, so the formula holds for both.
double simulatedMissShare(int chains, int length, double bound, bool skewed, std::mt19937_64& random) {
  std::normal_distribution<double> normal;
  std::exponential_distribution<double> exponential;
  const int runs = 4000;
  int misses = 0;
  std::vector<std::vector<double>> draws(chains, std::vector<double>(length));
  std::vector<std::span<const double>> spans(draws.begin(), draws.end());
  for (int run = 0; run < runs; ++run) {
    for (auto& chain : draws)
      for (double& x : chain) x = skewed ? exponential(random) : normal(random);
    const auto r = rhat(spans);
    if (r && *r > bound) ++misses;
  }
  return static_cast<double>(misses) / runs;
}

TEST(RhatChance, MatchesSimulatedIndependentDraws) {
  struct Case {
    int chains, length;
    double bound;
    bool skewed;
  };
  // 4 x 100 at 1.01 misses about one time in ten; the others move each of the formula's terms.
  const Case cases[] = {{4, 100, 1.01, false}, {4, 100, 1.01, true}, {2, 400, 1.005, false}, {8, 50, 1.02, false},
                        {1, 200, 1.01, false}};
  std::mt19937_64 random(20261211);
  for (const Case& c : cases) {
    const double expected = rhatChanceMiss(c.chains, c.length, c.bound);
    const double simulated = simulatedMissShare(c.chains, c.length, c.bound, c.skewed, random);
    // 4,000 runs: a binomial standard error of at most 0.008; the tolerance is about three of them,
    // well below what dropping the folded R-hat (half the share) or a plain normal tail would miss by.
    EXPECT_NEAR(expected, simulated, 0.02) << c.chains << " x " << c.length << " at " << c.bound;
  }
}

TEST(RhatChance, UndefinedAndLimitCases) {
  EXPECT_EQ(rhatChanceMiss(4, 3, 1.01), 0);   // split chains of one draw
  EXPECT_EQ(rhatChanceMiss(0, 100, 1.01), 0);
  EXPECT_EQ(rhatChanceMiss(4, 100, 0.99), 0);
  EXPECT_GT(rhatChanceMiss(4, 100, 1.0), rhatChanceMiss(4, 100, 1.01));
  EXPECT_LT(rhatChanceMiss(4, 100, 1.1), 1e-6);
  EXPECT_GT(rhatChanceMiss(4, 100, 1.01), rhatChanceMiss(4, 1000, 1.01));
}

}  // namespace
}  // namespace varno
