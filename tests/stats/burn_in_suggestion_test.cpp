// The analysis's suggested burn-in over columns and chains, and which column and chain set it.
#include "stats/burn_in_suggestion.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/synthetic_chains.h"

namespace varno {
namespace {

// 10 batches (50 rows), each MSER-5 result known: a step cut after 2 or 3 batches, an
// alternating series cut after none, a constant.
const std::vector<float> kCutTwo = batchesOf<float>({10, 10, 0, 0, 0, 0, 0, 0, 0, 0});
const std::vector<float> kCutThree = batchesOf<float>({10, 10, 10, 0, 0, 0, 0, 0, 0, 0});
const std::vector<float> kStationary = batchesOf<float>({0, 1, 0, 1, 0, 1, 0, 1, 0, 1});
const std::vector<float> kConstant(50, 2.5f);

// A counter column 1, 2, 3, ... then the given columns.
ChainRows chainOf(const std::vector<std::vector<float>>& columns, RowRange retained) {
  const int rows = static_cast<int>(columns.front().size());
  for (const auto& column : columns) EXPECT_EQ(column.size(), columns.front().size()) << "columns of one table";
  auto table = std::make_shared<SampleTable>(static_cast<int>(columns.size()) + 1, rows);
  for (int r = 0; r < rows; ++r) table->cell(0, r) = static_cast<float>(r + 1);
  for (std::size_t c = 0; c < columns.size(); ++c)
    for (int r = 0; r < rows; ++r) table->cell(static_cast<int>(c) + 1, r) = columns[c][static_cast<std::size_t>(r)];
  return {table, retained};
}

TEST(BurnInSuggestion, LargestOverColumnsAndChainsNamesTheFirstThatGivesIt) {
  // retained rows that start late must not move the suggestion: it is of the whole chain
  const std::vector<ChainRows> chains = {
      chainOf({kCutTwo, kStationary, kCutThree}, {30, 50}),
      chainOf({kCutThree, kConstant, kStationary}, {0, 40}),
  };
  const TableLayout layout;
  const BurnInSuggestion all = suggestBurnIn(chains, layout, {});
  // 15 rows twice: column 1 in chain 2 and column 3 in chain 1; file order names column 1 first
  EXPECT_TRUE(all.analysis.suggested);
  EXPECT_EQ(all.analysis.rows, 15);
  EXPECT_EQ(all.analysis.column, 1);
  EXPECT_EQ(all.analysis.chain, 1);
  EXPECT_EQ(all.analysis.count(MserOutcome::constant), 1);
  ASSERT_EQ(all.columns.size(), 4u);
  EXPECT_FALSE(all.columns[0].quantity) << "the counter gives no suggestion";
  EXPECT_EQ(all.columns[0].burnIn, AnalysisBurnIn{});
  struct Expected {
    std::int64_t rows;
    int chain;
    int constant;
  };
  const Expected own[] = {{15, 1, 0}, {0, 0, 1}, {15, 0, 0}};
  for (int c = 1; c <= 3; ++c) {
    const ColumnBurnIn& column = all.columns[static_cast<std::size_t>(c)];
    const Expected& e = own[c - 1];
    EXPECT_TRUE(column.quantity) << c;
    EXPECT_TRUE(column.burnIn.suggested) << c;
    EXPECT_EQ(column.burnIn.rows, e.rows) << c;
    EXPECT_EQ(column.burnIn.column, c) << c;
    EXPECT_EQ(column.burnIn.chain, e.chain) << c;
    EXPECT_EQ(column.burnIn.count(MserOutcome::constant), e.constant) << c;
    EXPECT_EQ(columnBurnIn(chains, c, layout), column) << c;
  }

  // one column decides alone
  const BurnInSuggestion third = suggestBurnIn(chains, layout, {3});
  EXPECT_EQ(third.analysis, all.columns[3].burnIn);
  ASSERT_EQ(third.columns.size(), 1u);
  // the counter or a column beyond the table gives nothing, and no reason
  for (int column : {0, 4, -1}) {
    const BurnInSuggestion none = suggestBurnIn(chains, layout, {column});
    EXPECT_FALSE(none.analysis.suggested) << column;
    EXPECT_EQ(none.analysis.withoutSuggestion, (std::array<int, 5>{})) << column;
  }
}

TEST(BurnInSuggestion, NoneSuggestedCountsEveryColumnOfEveryChainByReason) {
  std::vector<float> trend(60);
  for (std::size_t i = 0; i < trend.size(); ++i) trend[i] = static_cast<float>(i);
  // as long as chain 2's trend: 12 batches
  std::vector<float> nonFinite = batchesOf<float>({0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1});
  nonFinite[7] = std::numeric_limits<float>::infinity();
  const std::vector<ChainRows> chains = {
      chainOf({std::vector<float>(trend.begin(), trend.begin() + 50), kConstant}, {0, 50}),
      chainOf({trend, nonFinite}, {0, 60}),  // 12 batches: the trend's least MSER is still at the cap
  };
  const BurnInSuggestion result = suggestBurnIn(chains, TableLayout{}, {});
  EXPECT_FALSE(result.analysis.suggested);
  EXPECT_EQ(result.analysis.rows, 0);
  EXPECT_EQ(result.analysis.column, -1);
  EXPECT_EQ(result.analysis.count(MserOutcome::minimumAtCap), 2);
  EXPECT_EQ(result.analysis.count(MserOutcome::constant), 1);
  EXPECT_EQ(result.analysis.count(MserOutcome::nonFinite), 1);
}

// An fst coefficient counts only the rows whose model holds its factor, and its suggestion is in
// chain rows: the rows before its (5 d* + 1)-th such row.
TEST(BurnInSuggestion, ACoefficientCountsItsModelsRowsAndSuggestsInChainRows) {
  // one population, one factor: Iteration, Sigma, log likelihood, Fst1, Model, alpha0, alpha1;
  // model 2 holds the factor, model 1 does not
  const int rows = 100;
  auto table = std::make_shared<SampleTable>(7, rows);
  std::vector<int> held;
  for (int r = 0; r < rows; ++r) {
    const bool holds = r % 2 == 1;  // every other row
    if (holds) held.push_back(r);
    table->cell(0, r) = static_cast<float>(r + 1);
    table->cell(1, r) = table->cell(2, r) = table->cell(3, r) = table->cell(5, r) = static_cast<float>(r % 2);
    table->cell(4, r) = holds ? 2 : 1;
    table->cell(6, r) = 0;
  }
  // the held rows' values: kCutThree, so d* = 3 and the 16th held row (chain row 31) starts the draws
  for (std::size_t i = 0; i < held.size(); ++i) table->cell(6, held[i]) = kCutThree[i];
  const std::vector<ChainRows> chains = {{table, {50, 100}}};
  const TableLayout layout{FileKind::fst, 1, 1, false};
  const ColumnBurnIn coefficient = columnBurnIn(chains, 6, layout);
  EXPECT_TRUE(coefficient.quantity);
  EXPECT_EQ(coefficient.burnIn.rows, 31);
  EXPECT_FALSE(columnBurnIn(chains, 4, layout).quantity) << "the Model column";
  EXPECT_FALSE(columnBurnIn(chains, 0, layout).quantity) << "the counter";
  EXPECT_EQ(suggestBurnIn(chains, layout, {}).analysis.rows, 31);
}

}  // namespace
}  // namespace varno
