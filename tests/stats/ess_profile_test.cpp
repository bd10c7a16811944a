// Quantile, local and over-the-run ESS against the reference's values
// (fixtures/rank_reference.R over the draws of fixtures/convergence_draws.tsv).
#include "stats/ess_profile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/stats/reference_fixtures.h"

namespace varno {
namespace {

using fixtures::drawCases;
using fixtures::number;
using fixtures::tsvRows;

struct Expected {
  double x;
  std::optional<double> ess;
};

void expectSeries(const std::vector<Expected>& expected, const std::vector<std::pair<double, std::optional<double>>>& actual,
                  const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::string at = what + " at " + std::to_string(expected[i].x);
    EXPECT_EQ(actual[i].first, expected[i].x) << at;
    if (!expected[i].ess) {
      EXPECT_FALSE(actual[i].second) << at << " should be NA, is " << *actual[i].second;
      continue;
    }
    ASSERT_TRUE(actual[i].second) << at << " should be " << *expected[i].ess;
    EXPECT_NEAR(*actual[i].second, *expected[i].ess, 1e-9 * std::abs(*expected[i].ess)) << at;
  }
}

// One and four chains, ties and discrete draws, an odd chain, and the NA cases: constant draws,
// a NaN draw, an interval indicator that is constant (zero_one), the first tenths too short.
TEST(EssProfile, EverySeriesMatchesTheReference) {
  std::map<std::string, std::map<std::string, std::vector<Expected>>> reference;
  for (const auto& row : tsvRows("ess_profile_reference.tsv"))
    reference[row.at(0)][row.at(1)].push_back({*number(row.at(2)), number(row.at(3))});
  ASSERT_GE(reference.size(), 9u);
  int na = 0, defined = 0;
  for (const auto& [name, kinds] : reference) {
    const auto& draws = drawCases().at(name);
    const std::vector<std::span<const double>> chains(draws.begin(), draws.end());
    const EssProfile profile = essProfile(chains);
    EXPECT_EQ(quantileEss(chains), profile.quantile) << name;
    EXPECT_EQ(localEss(chains), profile.local) << name;
    EXPECT_EQ(essOverRun(chains), profile.run) << name;
    std::map<std::string, std::vector<std::pair<double, std::optional<double>>>> actual;
    for (const EssPoint& p : profile.quantile) actual["quantile"].push_back({p.x, p.ess});
    for (const EssPoint& p : profile.local) actual["local"].push_back({p.x, p.ess});
    for (const EssRunPoint& p : profile.run) {
      actual["run_bulk"].push_back({static_cast<double>(p.draws), p.essBulk});
      actual["run_tail"].push_back({static_cast<double>(p.draws), p.essTail});
    }
    for (const auto& [kind, expected] : kinds) {
      expectSeries(expected, actual[kind], name + " " + kind);
      for (const Expected& e : expected) (e.ess ? defined : na) += 1;
    }
  }
  EXPECT_GT(defined, 300);
  EXPECT_GT(na, 60);
}

}  // namespace
}  // namespace varno
