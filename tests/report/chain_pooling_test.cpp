// Several chains pooled give what one table of their concatenated retained rows gives.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "report/best_model_lines.h"
#include "report/summary_table.h"
#include "stats/column_figures.h"
#include "report/unattended_run.h"
#include "stats/column_statistics.h"
#include "stats/model_summary.h"
#include "stats/column_sample.h"
#include "stats/pooled_sample.h"
#include "stats/statistics_texts.h"

namespace varno {
namespace {

constexpr int kPopulations = 3;
constexpr int kFactors = 2;
constexpr int kColumns = kPopulations + kFactors + 5;

// An fst trace of `rows` rows whose models drift with `seed`, so that chains differ.
std::shared_ptr<SampleTable> fstChain(int rows, unsigned seed) {
  auto table = std::make_shared<SampleTable>(kColumns, rows);
  std::mt19937 random(seed);
  std::normal_distribution<float> normal(0, 1);
  for (int r = 0; r < rows; ++r) {
    table->cell(0, r) = static_cast<float>(r + 1);
    table->cell(1, r) = 0.5f + 0.1f * normal(random);
    table->cell(2, r) = -100;
    for (int p = 0; p < kPopulations; ++p) table->cell(3 + p, r) = 0.1f * (p + 1) + 0.02f * normal(random);
    table->cell(3 + kPopulations, r) = static_cast<float>(1 + (random() % (seed % 3 + 2)));
    for (int f = 0; f <= kFactors; ++f) table->cell(4 + kPopulations + f, r) = f + normal(random);
  }
  return table;
}

// One table of the chains' retained rows, chain 1's first.
std::shared_ptr<const SampleTable> concatenated(const std::vector<ChainRows>& chains) {
  int rows = 0;
  for (const ChainRows& c : chains) rows += c.rows.count();
  auto table = std::make_shared<SampleTable>(kColumns, rows);
  int out = 0;
  for (const ChainRows& c : chains)
    for (int r = c.rows.begin; r < c.rows.end; ++r, ++out)
      for (int col = 0; col < kColumns; ++col) table->cell(col, out) = c.table->column(col)[r];
  return table;
}

// Three chains of different lengths, each with 20 rows of burn-in and 5 of burn-out.
std::vector<ChainRows> threeChains() {
  std::vector<std::shared_ptr<const SampleTable>> tables{fstChain(300, 1), fstChain(260, 2), fstChain(333, 3)};
  return retainedChainRows(tables, 20, 5);
}

TEST(ChainPooling, ReportBytesEqualThoseOfTheConcatenatedRows) {
  const std::vector<ChainRows> chains = threeChains();
  const auto whole = concatenated(chains);
  const FactorDecision decision{kFactors, false};
  const std::string factors = "g[1]=1 2 3\ng[2]=0.5 0.25 1\n";
  std::string pooledText, wholeText;
  ASSERT_FALSE(buildReportText(chains, decision, factors, pooledText));
  const std::vector<ChainRows> wholeChain{{whole, RowRange{0, whole->rowCount()}}};
  ASSERT_FALSE(buildReportText(wholeChain, decision, factors, wholeText));
  EXPECT_EQ(pooledText, wholeText);
  EXPECT_FALSE(pooledText.empty());

  // one chain with its burn-in and burn-out is the report of its retained rows alone
  std::string oneText, plainText;
  ASSERT_FALSE(buildReportText(std::span<const ChainRows>(chains).first(1), decision, factors, oneText));
  const std::vector<ChainRows> retainedOnly{{concatenated({chains[0]}), RowRange{0, chains[0].rows.count()}}};
  ASSERT_FALSE(buildReportText(retainedOnly, decision, factors, plainText));
  EXPECT_EQ(oneText, plainText);
}

TEST(ChainPooling, ModelSummaryUnderAFilterEqualsTheConcatenatedRows) {
  const std::vector<ChainRows> chains = threeChains();
  const auto whole = concatenated(chains);
  for (int filter : {0, 2}) {
    ModelSummaryInput pooled;
    pooled.chains = chains;
    pooled.populationCount = kPopulations;
    pooled.factorCount = kFactors;
    pooled.modelFilter = filter;
    ModelSummaryInput one = pooled;
    one.chains = {{whole, RowRange{0, whole->rowCount()}}};
    const ModelSummaryResult a = computeModelSummary(pooled);
    const ModelSummaryResult b = computeModelSummary(one);
    ASSERT_TRUE(a.error.empty()) << a.error;
    EXPECT_EQ(bestModelLines(a, kFactors, false), bestModelLines(b, kFactors, false)) << filter;
    EXPECT_EQ(a.modelProbabilities, b.modelProbabilities) << filter;
    EXPECT_EQ(a.fstSummary.mean, b.fstSummary.mean) << filter;
    EXPECT_EQ(a.fstSummary.low, b.fstSummary.low) << filter;
    EXPECT_EQ(a.coefficientSummary.mode, b.coefficientSummary.mode) << filter;
    EXPECT_EQ(a.sigmaSummary, b.sigmaSummary) << filter;
  }
}

TEST(ChainPooling, StatisticsTextsAndSummaryFiguresEqualTheConcatenatedRows) {
  const std::vector<ChainRows> chains = threeChains();
  const auto whole = concatenated(chains);
  const int modelColumn = 3 + kPopulations;
  for (int filter : {0, 1}) {
    for (int column : {1, 4, modelColumn + 2}) {
      const std::vector<double> pooled = gatherPooledSample(chains, column, filter, modelColumn);
      const std::vector<double> plain =
          gatherColumnSample(*whole, column, RowRange{0, whole->rowCount()}, filter, modelColumn);
      ASSERT_EQ(pooled, plain);
      const double bandwidth = 0.05;
      const StatisticsTexts a = statisticsTexts(computeColumnStatistics(pooled, 95, bandwidth));
      const StatisticsTexts b = statisticsTexts(computeColumnStatistics(plain, 95, bandwidth));
      EXPECT_EQ(a.mean + a.variance + a.mode + a.hpdi + a.lambda, b.mean + b.variance + b.mode + b.hpdi + b.lambda);
    }
  }

  SummaryTableInput pooledInput;
  pooledInput.chains = chains;
  pooledInput.layout = {FileKind::fst, kPopulations, kFactors, false};
  SummaryTableInput wholeInput = pooledInput;
  wholeInput.chains = {{whole, RowRange{0, whole->rowCount()}}};
  const std::vector<SummaryRow> a = computeSummaryTable(pooledInput, 1);
  const std::vector<SummaryRow> b = computeSummaryTable(wholeInput, 1);
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t c = 0; c < a.size(); ++c) {
    EXPECT_EQ(a[c].n, b[c].n) << c;
    EXPECT_EQ(a[c].mean, b[c].mean) << c;
    EXPECT_EQ(a[c].sd, b[c].sd) << c;
    EXPECT_EQ(a[c].mode, b[c].mode) << c;
    EXPECT_EQ(a[c].hpdiLow, b[c].hpdiLow) << c;
    EXPECT_EQ(a[c].hpdiHigh, b[c].hpdiHigh) << c;
  }
  // the chains differ in length: the diagnostics cut them to the shortest and say so
  EXPECT_TRUE(a[4].chainsCut);
  EXPECT_TRUE(a[4].diagnostics.rhat.has_value());
}

// Chain 3 seldom visits model 3 (its models are 1 and 2 only): under that filter it is left out
// of the diagnostics, named, while its rows of other models still count.
TEST(ChainPooling, AChainWithoutDrawsOfTheFilteredModelIsLeftOut) {
  std::vector<std::shared_ptr<const SampleTable>> tables{fstChain(200, 5), fstChain(200, 8), fstChain(200, 3)};
  const std::vector<ChainRows> chains = retainedChainRows(tables, 0, 0);
  SummaryTableInput input;
  input.chains = chains;
  input.layout = {FileKind::fst, kPopulations, kFactors, false};
  input.modelFilter = 3;
  const std::vector<SummaryRow> rows = computeSummaryTable(input, 1);
  EXPECT_EQ(rows[4].chainsLeftOut, std::vector<int>{3});
  EXPECT_TRUE(rows[4].diagnostics.rhat.has_value());
}

// The Details page's figures: statistics of the pooled draws, but a trace, running mean and
// autocorrelation per chain (x the position in the chain), never of the concatenated draws.
TEST(ChainPooling, ColumnFiguresDrawEachChainApart) {
  const std::vector<ChainRows> chains = threeChains();
  const auto whole = concatenated(chains);
  ColumnFiguresInput input;
  input.chains = chains;
  input.column = 5;
  input.layout = {FileKind::fst, kPopulations, kFactors, false};
  input.modelColumn = 3 + kPopulations;
  input.bandwidthPosition = -200;
  ColumnFiguresInput one = input;
  one.chains = {{whole, RowRange{0, whole->rowCount()}}};
  for (PlotType type : {PlotType::trace, PlotType::runningMean, PlotType::autocorrelation}) {
    input.plotType = one.plotType = type;
    const ColumnFigures pooled = computeColumnFigures(input);
    const ColumnFigures plain = computeColumnFigures(one);
    EXPECT_EQ(pooled.texts.mean, plain.texts.mean);
    EXPECT_EQ(pooled.texts.hpdi, plain.texts.hpdi);
    ASSERT_EQ(pooled.lines.size(), chains.size());
    for (std::size_t c = 0; c < chains.size(); ++c) {
      ColumnFiguresInput alone = one;
      alone.chains = {chains[c]};
      const ColumnFigures own = computeColumnFigures(alone);
      ASSERT_EQ(own.lines.size(), 1u);
      EXPECT_EQ(pooled.lines[c].y, own.lines[0].y) << c;
      if (type != PlotType::autocorrelation) {
        ASSERT_EQ(pooled.lines[c].x.size(), own.lines[0].y.size());
        EXPECT_EQ(pooled.lines[c].x.front(), 1);
        EXPECT_EQ(pooled.lines[c].x.back(), static_cast<double>(chains[c].rows.count()));
      }
    }
  }
  // the diagnostics are across the chains, which differ in length
  std::string note;
  EXPECT_TRUE(sampleDiagnostics(input, note).has_value());
  EXPECT_EQ(note, "chains cut to their first 235 draws");
}

}  // namespace
}  // namespace varno
