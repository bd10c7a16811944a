// MSER-5 on short series whose MSER values are worked out by hand, and the analysis's choice.
#include "stats/mser_burn_in.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/synthetic_chains.h"

namespace varno {
namespace {


std::vector<double> repeated(std::vector<double> pattern, int times) {
  std::vector<double> all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), pattern.begin(), pattern.end());
  return all;
}

TEST(MserBurnIn, HandWorkedSeries) {
  struct Case {
    const char* name;
    std::vector<double> rows;
    MserBurnIn expected;
  };
  std::vector<double> linear(60);
  for (std::size_t i = 0; i < linear.size(); ++i) linear[i] = static_cast<double>(i);
  const Case cases[] = {
      // z = 10, 10, 0 x 8: MSER(d) is 0 for every d >= 2 up to the cap 5; the smallest such d
      // wins, so the tie must not fall to the cap
      {"step", batchesOf<double>({10, 10, 0, 0, 0, 0, 0, 0, 0, 0}), {MserOutcome::suggested, 10, 2, 10}},
      // z = 4 3 2 1 then 0 1 0 1 ...: SSD / (b - d)^2 for d = 0..6 is 17.67/144, 8.91/121,
      // 4.1/100, 2.22/81 = 0.0274, 2/64 = 0.0313, 1.71/49 = 0.0350, 1.5/36: least at d = 3, where
      // the last 1 of the transient fits in with the ones after it
      {"linear transient", batchesOf<double>({4, 3, 2, 1, 0, 1, 0, 1, 0, 1, 0, 1}), {MserOutcome::suggested, 15, 3, 12}},
      // z = 0 1 0 1 ... (20 batches): 5/400 at d = 0 and more for every later d
      {"stationary", batchesOf(repeated({0, 1}, 10)), {MserOutcome::suggested, 0, 0, 20}},
      // the rows 0..59: MSER(d) = 25 ((b - d)^2 - 1) / (12 (b - d)) falls with every batch cut
      {"trend to the end: least at the cap", linear, {MserOutcome::minimumAtCap, 0, 6, 12}},
      {"too few batches", std::vector<double>(49, 1.5), {MserOutcome::tooFewBatches, 0, 0, 9}},
      {"constant", std::vector<double>(52, 0.1), {MserOutcome::constant, 0, 0, 10}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(mserBurnIn(std::span<const double>(c.rows)), c.expected) << c.name;
    // the same values held as floats (all of them exact in a float but 0.1) give the same
    const std::vector<float> asFloats(c.rows.begin(), c.rows.end());
    EXPECT_EQ(mserBurnIn(std::span<const float>(asFloats)), c.expected) << c.name << " (floats)";
  }
}

// The rows past the last whole batch are in no batch mean, but they are part of the column.
TEST(MserBurnIn, RowsAfterTheLastBatchCountOnlyForConstantAndNonFinite) {
  const std::vector<double> transient = batchesOf<double>({4, 3, 2, 1, 0, 1, 0, 1, 0, 1, 0, 1});
  std::vector<double> longer = transient;
  longer.insert(longer.end(), {1000, -1000, 7, 1e9});
  EXPECT_EQ(mserBurnIn(std::span<const double>(longer)), mserBurnIn(std::span<const double>(transient)));

  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (double bad : {nan, inf, -inf}) {
    std::vector<double> tail = transient;
    tail.push_back(bad);
    EXPECT_EQ(mserBurnIn(std::span<const double>(tail)).outcome, MserOutcome::nonFinite) << bad;
    std::vector<double> early = transient;
    early[3] = bad;
    EXPECT_EQ(mserBurnIn(std::span<const double>(early)).outcome, MserOutcome::nonFinite) << bad;
  }

  std::vector<double> flat(50, 2.0);
  flat.push_back(3.0);  // the only other value, after the last batch
  EXPECT_EQ(mserBurnIn(std::span<const double>(flat)).outcome, MserOutcome::suggested);
}

// A coefficient's draws are its rows whose model holds the factor; its suggestion is counted in
// chain rows: those before the first draw it keeps.
TEST(MserBurnIn, CoefficientColumnCountsChainRowsBeforeTheFirstKeptDraw) {
  const std::vector<double> transient = batchesOf<double>({4, 3, 2, 1, 0, 1, 0, 1, 0, 1, 0, 1});
  // the draws on the odd rows from row 7; the other rows hold values that would change any result
  std::vector<float> column(7 + 2 * 100, 1e6f);
  std::vector<int> qualifying(100);
  for (std::size_t i = 0; i < qualifying.size(); ++i) qualifying[i] = 7 + 2 * static_cast<int>(i);
  for (std::size_t i = 0; i < transient.size(); ++i) column[qualifying[i]] = static_cast<float>(transient[i]);
  // d* = 3 cuts 15 draws: the 16th is on row 7 + 2 * 15
  const MserBurnIn cut = mserBurnIn(column, std::span<const int>(qualifying).first(transient.size()));
  EXPECT_EQ(cut, (MserBurnIn{MserOutcome::suggested, 37, 3, 12}));

  // d* = 0: the rows before the first draw
  const std::vector<double> stationary = batchesOf(repeated({0, 1}, 10));
  for (std::size_t i = 0; i < stationary.size(); ++i) column[qualifying[i]] = static_cast<float>(stationary[i]);
  EXPECT_EQ(mserBurnIn(column, qualifying), (MserBurnIn{MserOutcome::suggested, 7, 0, 20}));

  // the values off the qualifying rows play no part: 49 draws are nine batches, too few, though the
  // column has many more rows
  qualifying.resize(49);
  EXPECT_EQ(mserBurnIn(column, qualifying).outcome, MserOutcome::tooFewBatches);
}

TEST(AnalysisBurnIn, TheLargestSuggestionNamesItsColumnAndChain) {
  const MserBurnIn atCap{MserOutcome::minimumAtCap, 0, 6, 12};
  const MserBurnIn constant{MserOutcome::constant, 0, 0, 10};
  auto suggested = [](std::int64_t rows) { return MserBurnIn{MserOutcome::suggested, rows, rows / 5, 1000}; };
  const std::vector<ColumnChainBurnIn> results = {
      {3, 0, suggested(10)}, {4, 0, atCap},           {5, 1, suggested(25)},
      {2, 1, suggested(25)},  // as large, but later: the first one names the suggestion
      {6, 0, constant},      {6, 1, suggested(0)},    {7, 1, atCap},
  };
  const AnalysisBurnIn a = analysisBurnIn(results);
  EXPECT_TRUE(a.suggested);
  EXPECT_EQ(a.rows, 25);
  EXPECT_EQ(a.column, 5);
  EXPECT_EQ(a.chain, 1);
  EXPECT_EQ(a.count(MserOutcome::minimumAtCap), 2);
  EXPECT_EQ(a.count(MserOutcome::constant), 1);
  EXPECT_EQ(a.count(MserOutcome::suggested), 0);

  // a suggestion of 0 rows is still a suggestion
  const std::vector<ColumnChainBurnIn> zero = {{4, 0, atCap}, {1, 2, suggested(0)}};
  const AnalysisBurnIn z = analysisBurnIn(zero);
  EXPECT_TRUE(z.suggested);
  EXPECT_EQ(z.rows, 0);
  EXPECT_EQ(z.column, 1);
  EXPECT_EQ(z.chain, 2);
}

TEST(AnalysisBurnIn, NoneSaysWhy) {
  const std::vector<ColumnChainBurnIn> results = {
      {1, 0, {MserOutcome::tooFewBatches, 0, 0, 3}},
      {1, 1, {MserOutcome::nonFinite, 0, 0, 30}},
      {2, 0, {MserOutcome::tooFewBatches, 0, 0, 3}},
  };
  const AnalysisBurnIn a = analysisBurnIn(results);
  EXPECT_FALSE(a.suggested);
  EXPECT_EQ(a.rows, 0);
  EXPECT_EQ(a.column, -1);
  EXPECT_EQ(a.chain, -1);
  EXPECT_EQ(a.count(MserOutcome::tooFewBatches), 2);
  EXPECT_EQ(a.count(MserOutcome::nonFinite), 1);

  EXPECT_EQ(analysisBurnIn({}), AnalysisBurnIn{});
}

}  // namespace
}  // namespace varno
