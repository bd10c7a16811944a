// ESS against burn-in: the candidate burn-ins and the draws each leaves.
#include "stats/ess_by_burn_in.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "stats/convergence_diagnostics.h"
#include "tests/synthetic_chains.h"

namespace varno {

namespace {

TEST(EssByBurnIn, CandidatesInTwentiethsOfTheShortestChainEachOverTheRowsItLeaves) {
  const auto first = walkTable(99, 1, 20, 0.9, 1), second = walkTable(130, 2, 20, 0.9, 1);
  const std::vector<ChainRows> chains = {{first, {40, 90}}, {second, {40, 121}}};
  const long long burnOut = 9;
  const std::vector<EssAtBurnIn> result = essByBurnIn(chains, 1, TableLayout{}, 0, burnOut);
  ASSERT_EQ(result.size(), 11u);
  const std::int64_t expectedBurnIns[] = {0, 4, 9, 14, 19, 24, 29, 34, 39, 44, 49};  // floor(k 99 / 20)
  for (std::size_t k = 0; k < result.size(); ++k) {
    EXPECT_EQ(result[k].burnIn, expectedBurnIns[k]) << k;
    // chain 1 keeps rows burnIn .. 90; chain 2 as many of its rows from burnIn on
    const std::size_t b = static_cast<std::size_t>(expectedBurnIns[k]);
    const std::size_t length = 90 - b;
    std::vector<double> one, two;
    for (std::size_t r = b; r < b + length; ++r) {
      one.push_back(first->cell(1, static_cast<int>(r)));
      two.push_back(second->cell(1, static_cast<int>(r)));
    }
    const std::span<const double> both[] = {one, two};
    EXPECT_EQ(result[k].essBulk, essBulk(both)) << k;
    EXPECT_EQ(result[k].essTail, essTail(both)) << k;
    EXPECT_TRUE(result[k].essBulk.has_value()) << k;
  }
  EXPECT_TRUE(essByBurnIn(chains, 0, TableLayout{}, 0, burnOut).empty()) << "the counter";
  EXPECT_TRUE(essByBurnIn(chains, 2, TableLayout{}, 0, burnOut).empty()) << "no such column";
  EXPECT_TRUE(essByBurnIn({}, 1, TableLayout{}, 0, burnOut).empty());
}

}  // namespace
}  // namespace varno
