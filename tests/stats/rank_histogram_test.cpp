// Ranks across chains and their bins against R's rank() and cut() (fixtures/rank_reference.R).
#include "stats/rank_histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "stats/rank_plots.h"
#include "tests/stats/reference_fixtures.h"

namespace varno {
namespace {

using fixtures::drawCases;
using fixtures::number;
using fixtures::tsvRows;

std::vector<std::span<const double>> spans(const std::vector<std::vector<double>>& chains) {
  return {chains.begin(), chains.end()};
}

// Ties within and across chains, discrete draws, an odd count: every rank and every bin count
// exactly as R gives them, with bin edges that fall on half ranks (7 bins) and on whole ones.
TEST(RankHistogram, RanksAndBinCountsAreRs) {
  std::map<std::string, std::vector<double>> ranks;
  std::map<std::string, std::map<int, std::vector<std::vector<std::int64_t>>>> bins;  // case, B, chain, bin
  for (const auto& row : tsvRows("rank_reference.tsv")) {
    if (row.at(1) == "rank") {
      ranks[row.at(0)].push_back(*number(row.at(4)));
      continue;
    }
    auto& perChain = bins[row.at(0)][std::stoi(row.at(1).substr(5))];
    const auto chain = static_cast<std::size_t>(std::stoi(row.at(2)));
    if (perChain.size() < chain) perChain.resize(chain);
    perChain[chain - 1].push_back(std::stoll(row.at(4)));
  }
  ASSERT_EQ(ranks.size(), 4u);
  for (const auto& [name, expected] : ranks) {
    const auto chains = spans(drawCases().at(name));
    EXPECT_EQ(averageRanks(chains), expected) << name;
    for (const auto& [b, counts] : bins.at(name)) {
      const RankHistogram h = rankHistogram(chains, b);
      EXPECT_EQ(h.counts, counts) << name << " in " << b << " bins";
      EXPECT_EQ(h.draws, static_cast<std::int64_t>(expected.size()));
      EXPECT_DOUBLE_EQ(h.expected, static_cast<double>(expected.size()) / (b * chains.size())) << name;
    }
  }
}

// Hand-made edges: 2 chains of 3 draws, N = 6 and 4 bins put the edges at 1.5, 3, 4.5 and 6;
// a rank on an edge belongs to the bin below it, a half rank just above one to the bin above.
TEST(RankHistogram, ARankOnABinEdgeBelongsToTheBinBelow) {
  struct Case {
    const char* name;
    std::vector<double> first, second;
    std::vector<std::vector<std::int64_t>> counts;
  };
  const Case cases[] = {
      // ranks 1..6: bins hold {1}, {2, 3}, {4}, {5, 6}
      {"distinct", {1, 3, 5}, {2, 4, 6}, {{1, 1, 0, 1}, {0, 1, 1, 1}}},
      // a tie of draws ranked 3 and 4 takes 3.5: bin 3, both chains
      {"tie across chains", {1, 2, 7}, {7, 9, 7.5}, {{1, 1, 1, 0}, {0, 0, 1, 2}}},
      {"all tied", {5, 5, 5}, {5, 5, 5}, {{0, 0, 3, 0}, {0, 0, 3, 0}}},
  };
  for (const Case& c : cases) {
    const std::span<const double> chains[] = {c.first, c.second};
    EXPECT_EQ(rankHistogram(chains, 4).counts, c.counts) << c.name;
  }
}

// A NaN draw takes no rank and the order the diagnostics share gives the same counts.
TEST(RankHistogram, NaNDrawsTakeNoRankAndTheSharedOrderAgrees) {
  const std::vector<double> first{3, NAN, 1}, second{2, 4, 5};
  const std::span<const double> chains[] = {first, second};
  const std::vector<double> ranks = averageRanks(chains);
  EXPECT_TRUE(std::isnan(ranks[1]));
  EXPECT_EQ(ranks[0], 3);
  EXPECT_EQ(ranks[5], 5);
  const RankHistogram h = rankHistogram(chains, 5);
  EXPECT_EQ(h.draws, 5);
  EXPECT_EQ(h.counts, (std::vector<std::vector<std::int64_t>>{{1, 0, 1, 0, 0}, {0, 1, 0, 1, 1}}));
}

// The chains the diagnostics leave out are not shown, and their numbers say which were.
TEST(RankPlots, ShowTheChainsTheDiagnosticsUse) {
  const std::vector<std::vector<double>> perChain{{1, 2, 3, 4, 5}, {9, 8}, {5, 4, 3, 2, 1, 0}};
  const RankPlots plots = rankPlots(perChain, 5);
  EXPECT_EQ(plots.chains, (std::vector<int>{1, 3}));
  ASSERT_EQ(plots.histogram.counts.size(), 2u);
  EXPECT_EQ(plots.histogram.draws, 10);  // the third chain cut to 5 draws
  EXPECT_EQ(plots.ecdf.curves.size(), 2u);
  EXPECT_TRUE(rankPlots(std::vector<std::vector<double>>{{1, 2}}, 5).chains.empty());
}

}  // namespace
}  // namespace varno
