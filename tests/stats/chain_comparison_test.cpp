// Chains side by side over small hand-made Fst chains: two that agree, two that visit different
// models.
#include "stats/chain_comparison.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace varno {
namespace {

// One row of an Fst chain of two populations and two factors.
struct Row {
  float model;
  float fst1;
  float fst2;
};

constexpr int kPopulations = 2;
constexpr int kFactors = 2;

std::shared_ptr<const SampleTable> chainTable(const std::vector<Row>& rows) {
  auto table = std::make_shared<SampleTable>(kPopulations + kFactors + 5, static_cast<int>(rows.size()));
  for (int r = 0; r < table->rowCount(); ++r) {
    const Row& row = rows[static_cast<std::size_t>(r)];
    for (int c = 0; c < table->columnCount(); ++c) table->cell(c, r) = 0;
    table->cell(0, r) = static_cast<float>(r + 1);
    table->cell(3, r) = row.fst1;
    table->cell(4, r) = row.fst2;
    table->cell(5, r) = row.model;
  }
  return table;
}

// `times` repeats of a block of rows.
std::vector<Row> repeated(const std::vector<Row>& block, int times) {
  std::vector<Row> rows;
  for (int t = 0; t < times; ++t) rows.insert(rows.end(), block.begin(), block.end());
  return rows;
}

std::vector<ChainRows> allRows(const std::vector<std::vector<Row>>& chains) {
  std::vector<ChainRows> result;
  for (const auto& rows : chains) {
    auto table = chainTable(rows);
    result.push_back({table, {0, table->rowCount()}});
  }
  return result;
}

const TableLayout kLayout{FileKind::fst, kPopulations, kFactors, false};

const ChainComparisonRow& rowNamed(const ChainComparison& c, const std::string& name) {
  for (const auto& row : c.rows)
    if (row.name == name) return row;
  ADD_FAILURE() << "no row " << name;
  static const ChainComparisonRow none;
  return none;
}

// Both chains visit models 1, 2 and 4 in the same shares in every half (model 3 never), with
// Fst draws spread over the same ranges.
std::vector<std::vector<Row>> agreeingChains() {
  const std::vector<Row> block1 = {{1, 0.10f, 0.50f}, {2, 0.20f, 0.60f}, {2, 0.30f, 0.55f}, {4, 0.40f, 0.65f}};
  const std::vector<Row> block2 = {{2, 0.25f, 0.52f}, {4, 0.35f, 0.62f}, {1, 0.15f, 0.58f}, {2, 0.45f, 0.54f}};
  return {repeated(block1, 5), repeated(block2, 5)};
}

// Chain 1 moves between models 1 and 2 (G1 in and out, G2 never), chain 2 between 3 and 4 (G2
// always): G2's indicator is constant in each chain but differs between them.
std::vector<std::vector<Row>> disagreeingChains() {
  const std::vector<Row> block1 = {{1, 0.10f, 0.50f}, {2, 0.12f, 0.52f}};
  const std::vector<Row> block2 = {{3, 0.40f, 0.51f}, {4, 0.42f, 0.53f}};
  return {repeated(block1, 10), repeated(block2, 10)};
}

TEST(ChainComparison, ListsModelsFactorsAndPopulationsInOrder) {
  const auto chains = allRows(agreeingChains());
  const ChainComparison c = compareChains(chains, kLayout, 0);
  ASSERT_TRUE(c.error.empty()) << c.error;
  EXPECT_EQ(c.chainCount, 2);
  std::vector<std::string> names;
  for (const auto& row : c.rows) {
    names.push_back(row.name);
    EXPECT_EQ(row.chains.size(), 2u) << row.name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"P(model=1)", "P(model=2)", "P(model=3)", "P(model=4)", "P(G1)", "P(G2)",
                                             "Fst pop 1 mean", "Fst pop 1 HPDI low", "Fst pop 1 HPDI high",
                                             "Fst pop 2 mean", "Fst pop 2 HPDI low", "Fst pop 2 HPDI high"}));
}

TEST(ChainComparison, ChainsThatAgreeAreNotMarked) {
  const auto chains = allRows(agreeingChains());
  const ChainComparison c = compareChains(chains, kLayout, 0);
  struct Case {
    const char* name;
    double chain1, chain2, pooled;
  };
  const Case cases[] = {
      {"P(model=1)", 0.25, 0.25, 0.25}, {"P(model=2)", 0.5, 0.5, 0.5}, {"P(model=3)", 0, 0, 0},
      {"P(model=4)", 0.25, 0.25, 0.25}, {"P(G1)", 0.75, 0.75, 0.75},   {"P(G2)", 0.25, 0.25, 0.25},
  };
  for (const Case& k : cases) {
    const ChainComparisonRow& row = rowNamed(c, k.name);
    EXPECT_EQ(row.chains[0], k.chain1) << k.name;
    EXPECT_EQ(row.chains[1], k.chain2) << k.name;
    EXPECT_EQ(row.pooled, k.pooled) << k.name;
    EXPECT_FALSE(row.disagrees) << k.name;
  }
  // Every half holds the same shares: no spread between chains, R-hat at most 1.
  ASSERT_TRUE(rowNamed(c, "P(model=1)").rhat.has_value());
  EXPECT_LE(*rowNamed(c, "P(model=1)").rhat, 1.0);
  // Half of the draws in model 2: folded about their median of 0.5 they are all equal, and the
  // estimator (as its reference) gives no R-hat.
  EXPECT_FALSE(rowNamed(c, "P(model=2)").rhat.has_value());
  // A model no chain visits has a constant indicator: no R-hat, nothing to mark.
  EXPECT_FALSE(rowNamed(c, "P(model=3)").rhat.has_value());

  // 20 draws at 95% leave one window: the HPDI is the whole range.
  const ChainComparisonRow& low = rowNamed(c, "Fst pop 1 HPDI low");
  const ChainComparisonRow& high = rowNamed(c, "Fst pop 1 HPDI high");
  EXPECT_FLOAT_EQ(*low.chains[0], 0.10f);
  EXPECT_FLOAT_EQ(*high.chains[0], 0.40f);
  EXPECT_FLOAT_EQ(*low.chains[1], 0.15f);
  EXPECT_FLOAT_EQ(*high.chains[1], 0.45f);
  EXPECT_NEAR(*rowNamed(c, "Fst pop 1 mean").chains[0], 0.25, 1e-7);
  EXPECT_NEAR(*rowNamed(c, "Fst pop 1 mean").chains[1], 0.30, 1e-7);
  EXPECT_NEAR(*rowNamed(c, "Fst pop 1 mean").pooled, 0.275, 1e-7);
  EXPECT_FALSE(low.rhat.has_value());
  for (const auto& row : c.rows) EXPECT_FALSE(row.disagrees) << row.name;
}

TEST(ChainComparison, ChainsInDifferentModelsAreMarked) {
  const auto chains = allRows(disagreeingChains());
  const ChainComparison c = compareChains(chains, kLayout, 0);
  ASSERT_TRUE(c.error.empty()) << c.error;
  struct Case {
    const char* name;
    double chain1, chain2, pooled;
    bool disagrees;
  };
  const Case cases[] = {
      {"P(model=1)", 0.5, 0, 0.25, true}, {"P(model=2)", 0.5, 0, 0.25, true}, {"P(model=3)", 0, 0.5, 0.25, true},
      {"P(model=4)", 0, 0.5, 0.25, true}, {"P(G1)", 0.5, 0.5, 0.5, false},    {"P(G2)", 0, 1, 0.5, true},
  };
  for (const Case& k : cases) {
    const ChainComparisonRow& row = rowNamed(c, k.name);
    EXPECT_EQ(row.chains[0], k.chain1) << k.name;
    EXPECT_EQ(row.chains[1], k.chain2) << k.name;
    EXPECT_EQ(row.pooled, k.pooled) << k.name;
    EXPECT_EQ(row.disagrees, k.disagrees) << k.name;
  }
  ASSERT_TRUE(rowNamed(c, "P(model=1)").rhat.has_value());
  EXPECT_GT(*rowNamed(c, "P(model=1)").rhat, kChainRhatLimit);
  // G2 in every row of chain 2 and none of chain 1: infinite spread, which has no R-hat.
  EXPECT_FALSE(rowNamed(c, "P(G2)").rhat.has_value());

  // Population 1 sits near 0.1 in chain 1 and near 0.4 in chain 2; population 2's intervals
  // overlap.
  for (const char* name : {"Fst pop 1 mean", "Fst pop 1 HPDI low", "Fst pop 1 HPDI high"})
    EXPECT_TRUE(rowNamed(c, name).disagrees) << name;
  for (const char* name : {"Fst pop 2 mean", "Fst pop 2 HPDI low", "Fst pop 2 HPDI high"})
    EXPECT_FALSE(rowNamed(c, name).disagrees) << name;
}

TEST(ChainComparison, ModelFilterSelectsTheFstRowsOnly) {
  const auto chains = allRows(disagreeingChains());
  const ChainComparison c = compareChains(chains, kLayout, 2);
  // Chain 2 never visits model 2: no Fst figures for it, and nothing left to disagree with.
  const ChainComparisonRow& mean = rowNamed(c, "Fst pop 1 mean");
  EXPECT_NEAR(*mean.chains[0], 0.12, 1e-7);
  EXPECT_FALSE(mean.chains[1].has_value());
  EXPECT_NEAR(*mean.pooled, 0.12, 1e-7);
  EXPECT_FALSE(mean.disagrees);
  // The model probabilities still count every retained row.
  EXPECT_EQ(rowNamed(c, "P(model=3)").pooled, 0.25);
}

TEST(ChainComparison, IndicatorRhatUsesTheShortestChainsLength) {
  auto rows = disagreeingChains();
  const auto base = compareChains(allRows(rows), kLayout, 0);
  // Rows of another model after chain 2's first 20 count in its probabilities but not in R-hat.
  rows[1].insert(rows[1].end(), 20, Row{1, 0.4f, 0.5f});
  const auto longer = compareChains(allRows(rows), kLayout, 0);
  const ChainComparisonRow& before = rowNamed(base, "P(model=1)");
  const ChainComparisonRow& after = rowNamed(longer, "P(model=1)");
  EXPECT_EQ(after.chains[1], 0.5);
  ASSERT_TRUE(after.rhat.has_value());
  EXPECT_EQ(after.rhat, before.rhat);
}

TEST(ChainComparison, RetainedRowsOnlyAndTablesTooNarrowAreRefused) {
  auto chains = allRows(disagreeingChains());
  chains[1].rows = {10, 20};
  const ChainComparison c = compareChains(chains, kLayout, 0);
  EXPECT_EQ(rowNamed(c, "P(model=3)").chains[1], 0.5);
  EXPECT_DOUBLE_EQ(*rowNamed(c, "P(model=3)").pooled, 5.0 / 30.0);

  // Six populations need the model column at 9, one past these tables' nine columns.
  const TableLayout wide{FileKind::fst, 6, kFactors, false};
  const ChainComparison refused = compareChains(chains, wide, 0);
  EXPECT_EQ(refused.error, "chain 1 has 9 columns, 10 needed");
  EXPECT_TRUE(refused.rows.empty());
}

}  // namespace
}  // namespace varno
