// The model and coefficient summary over small hand-made Fst traces.
#include "stats/model_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "stats/sample_summary.h"
#include "tests/recorded_progress.h"

namespace varno {
namespace {

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// One row of a trace; fst has populationCount values, coef factorCount + 1.
struct TraceRow {
  float model = 1;
  float sigma = 0;
  std::vector<float> fst;
  std::vector<float> coef;
};

std::shared_ptr<const SampleTable> makeTable(int populations, int factors, const std::vector<TraceRow>& rows) {
  auto table = std::make_shared<SampleTable>(populations + factors + 5, static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const TraceRow& row = rows[static_cast<std::size_t>(r)];
    table->cell(0, r) = static_cast<float>(r + 1);
    table->cell(1, r) = row.sigma;
    table->cell(2, r) = -100;
    for (int p = 0; p < populations; ++p) table->cell(3 + p, r) = row.fst.at(static_cast<std::size_t>(p));
    table->cell(3 + populations, r) = row.model;
    for (int f = 0; f <= factors; ++f) table->cell(4 + populations + f, r) = row.coef.at(static_cast<std::size_t>(f));
  }
  return table;
}

// Earlier results that a run must keep where it writes nothing.
SummaryArrays earlier(std::size_t n, double value) {
  SummaryArrays a;
  a.mean.assign(n, value);
  a.mode.assign(n, value);
  a.low.assign(n, value);
  a.high.assign(n, value);
  return a;
}

ModelSummaryInput inputFor(std::shared_ptr<const SampleTable> table, int populations, int factors,
                           bool interaction = false) {
  ModelSummaryInput in;
  in.populationCount = populations;
  in.factorCount = factors;
  in.hasInteraction = interaction;
  in.chains = {{table, RowRange{0, table->rowCount()}}};
  in.fstSummary = earlier(static_cast<std::size_t>(populations), 7);
  in.coefficientSummary = earlier(static_cast<std::size_t>(factors) + 1, 7);
  in.sigmaSummary = {7, 7, 7, 7};
  return in;
}

// The gauge positions the summary moved its progress through.
ModelSummaryResult run(const ModelSummaryInput& in, std::vector<int>* gauges = nullptr) {
  RecordedProgress progress;
  ModelSummaryResult result = computeModelSummary(in, progress);
  if (gauges)
    for (double f : progress.moves()) gauges->push_back(static_cast<int>(std::lround(100 * f)));
  return result;
}

std::vector<double> heights(const ModelSummaryResult& r) {
  std::vector<double> h;
  for (std::size_t i = 0; i < r.modelBars.size(); ++i) {
    EXPECT_EQ(r.modelBars[i].x, static_cast<double>(i + 1));
    h.push_back(r.modelBars[i].height);
  }
  return h;
}

TEST(ModelSummary, EveryRowInOneModel) {
  // population 1 constant, population 2 alternating; a1 is not in model 3 and keeps its value
  std::vector<TraceRow> rows;
  for (int r = 0; r < 10; ++r) rows.push_back({3, 0.125f, {0.25f, r % 2 ? 0.5f : 0.0f}, {0.5f, 99, -0.25f}});
  ModelSummaryInput in = inputFor(makeTable(2, 2, rows), 2, 2);
  in.coefficientSummary = earlier(4, 7);  // sized for an earlier factor count
  std::vector<int> gauges;
  const ModelSummaryResult r = run(in, &gauges);

  ASSERT_TRUE(r.error.empty());
  EXPECT_EQ(heights(r), (std::vector<double>{0, 0, 1, 0}));
  EXPECT_EQ(r.bestModel, 3);
  EXPECT_EQ(r.retainedRows, 10);
  EXPECT_TRUE(r.bestModelSummarised);
  ASSERT_EQ(r.coefficientSummary.size(), 3u);
  EXPECT_EQ(r.coefficientSummary.mean, (std::vector<double>{0.5, 7, -0.25}));
  EXPECT_EQ(r.coefficientSummary.mode, (std::vector<double>{0.5, 7, -0.25}));
  EXPECT_EQ(r.coefficientSummary.high, (std::vector<double>{0.5, 7, -0.25}));
  EXPECT_EQ(r.sigmaSummary, (std::array<double, 4>{0.125, 0.125, 0.125, 0.125}));
  EXPECT_EQ(r.fstSummary.mean, (std::vector<double>{0.25, 0.25}));
  EXPECT_EQ(r.fstSummary.low, (std::vector<double>{0.25, 0.0}));
  EXPECT_EQ(r.fstSummary.high, (std::vector<double>{0.25, 0.5}));
  ASSERT_EQ(r.hpdis.size(), 2u);
  EXPECT_EQ(r.hpdis[0].label, "Fst1");
  EXPECT_EQ(r.hpdis[0].y, 3);
  EXPECT_EQ(r.hpdis[0].colourSlot, 0);
  EXPECT_EQ(r.hpdis[1].label, "Fst2");
  EXPECT_EQ(r.hpdis[1].low, 0.0);
  EXPECT_EQ(r.hpdis[1].high, 0.5);
  EXPECT_EQ(r.hpdis[1].y, 2);
  EXPECT_EQ(r.hpdis[1].colourSlot, 1);
  // D = 6: constant, Sigma², a2 (k = 0), then the two populations
  EXPECT_EQ(gauges, (std::vector<int>{16, 33, 50, 83, 100}));
}

// Counting: truncation, values that are no model number, ties, the chart's model set.
TEST(ModelSummary, CountsModelsAndPicksTheBest) {
  struct Case {
    const char* what;
    int factors;
    bool interaction;
    std::vector<float> models;
    int best;
    std::vector<double> bars;
    double counted;  // rows counted in all 2048 slots
    int retained;    // the rows a share is taken of, counted or not
    bool summarised;  // the best model has two rows or more that hold its number exactly
  };
  const Case cases[] = {
      {"tie goes to the lower model", 2, false, {2, 4, 2, 4, 1}, 2, {0.2, 0.4, 0, 0.4}, 5, 5, true},
      {"tie between 3 and 4", 2, false, {4, 3, 4, 3}, 3, {0, 0, 0.5, 0.5}, 4, 4, true},
      {"no model number", 2, false, {0, 2049, -3, kNan, kInf, -kInf, 1.9f, 2.5f, 2, 2048}, 2,
       {0.1, 0.2, 0, 0}, 4, 10, false},  // 2.5 counts for model 2 but is no row of it
      {"interaction shows five bars", 3, true, {5, 5, 5, 1, 1, 6}, 5, {1.0 / 3, 0, 0, 0, 0.5}, 6, 6, true},
      {"no factors", 0, false, {1, 1, 1}, 1, {1}, 3, 3, true},
      {"no retained row", 2, false, {}, 1, {0, 0, 0, 0}, 0, 0, false},
  };
  for (const Case& c : cases) {
    std::vector<TraceRow> rows;
    for (float m : c.models) rows.push_back({m, 1, {0.1f}, std::vector<float>(static_cast<std::size_t>(c.factors) + 1, 0)});
    const ModelSummaryResult r = run(inputFor(makeTable(1, c.factors, rows), 1, c.factors, c.interaction));
    ASSERT_TRUE(r.error.empty()) << c.what;
    EXPECT_EQ(r.bestModel, c.best) << c.what;
    const std::vector<double> h = heights(r);
    ASSERT_EQ(h.size(), c.bars.size()) << c.what;
    for (std::size_t i = 0; i < h.size(); ++i) EXPECT_DOUBLE_EQ(h[i], c.bars[i]) << c.what << " bar " << i + 1;
    double counted = 0;
    for (double n : r.modelProbabilities) counted += n;
    EXPECT_EQ(counted, c.counted) << c.what;
    EXPECT_EQ(r.retainedRows, c.retained) << c.what;
    EXPECT_EQ(r.bestModelSummarised, c.summarised) << c.what;
  }
}

TEST(ModelSummary, InteractionModelListsItsFactorsHighestFirst) {
  std::vector<TraceRow> rows;
  for (int r = 0; r < 6; ++r) rows.push_back({5, 0.5f, {0.1f}, {1, 2, 3, 4}});
  std::vector<int> gauges;
  const ModelSummaryResult r = run(inputFor(makeTable(1, 3, rows), 1, 3, true), &gauges);
  EXPECT_EQ(r.bestModel, 5);
  EXPECT_EQ(r.modelBars.size(), 5u);
  EXPECT_TRUE(r.bestModelSummarised);
  EXPECT_EQ(r.coefficientSummary.mode, (std::vector<double>{1, 2, 3, 4}));
  // D = 6: constant, Sigma², a3, a2, a1, population 1
  EXPECT_EQ(gauges, (std::vector<int>{16, 33, 50, 66, 83, 100}));
}

TEST(ModelSummary, NoFactorsGivesTheConstantAlone) {
  std::vector<TraceRow> rows;
  for (int r = 0; r < 4; ++r) rows.push_back({1, 2, {0.3f}, {-1.5f}});
  const ModelSummaryResult r = run(inputFor(makeTable(1, 0, rows), 1, 0));
  EXPECT_EQ(heights(r), std::vector<double>{1});
  EXPECT_EQ(r.retainedRows, 4);
  EXPECT_TRUE(r.bestModelSummarised);
  EXPECT_EQ(r.coefficientSummary.mode, std::vector<double>{-1.5});
  EXPECT_EQ(r.sigmaSummary[1], 2);
}

// The filter applies to the populations only.
TEST(ModelSummary, FilterLeavingOneRowClearsThePopulationMeansOnly) {
  std::vector<TraceRow> rows;
  for (int r = 0; r < 8; ++r) rows.push_back({r == 5 ? 2.0f : 1.0f, 0.1f * r, {0.1f * r, 0.2f}, {0.5f * r, 1, 2}});
  ModelSummaryInput in = inputFor(makeTable(2, 2, rows), 2, 2);
  const ModelSummaryResult all = run(in);
  in.modelFilter = 2;
  const ModelSummaryResult one = run(in);
  EXPECT_EQ(one.fstSummary.mean, (std::vector<double>{0, 0}));
  EXPECT_EQ(one.fstSummary.mode, (std::vector<double>{7, 7}));
  EXPECT_EQ(one.fstSummary.low, (std::vector<double>{7, 7}));
  EXPECT_TRUE(one.hpdis.empty());
  EXPECT_EQ(one.bestModel, all.bestModel);
  EXPECT_EQ(one.retainedRows, all.retainedRows);
  EXPECT_EQ(one.bestModelSummarised, all.bestModelSummarised);
  EXPECT_EQ(one.coefficientSummary.mode, all.coefficientSummary.mode);
  EXPECT_EQ(one.coefficientSummary.low, all.coefficientSummary.low);
  EXPECT_EQ(one.sigmaSummary, all.sigmaSummary);
  EXPECT_EQ(heights(one), heights(all));
}

TEST(ModelSummary, TenPopulationsCycleTheColours) {
  std::vector<TraceRow> rows;
  for (int r = 0; r < 3; ++r) rows.push_back({1, 1, std::vector<float>(10, 0.1f * (r + 1)), {0}});
  const ModelSummaryResult r = run(inputFor(makeTable(10, 0, rows), 10, 0));
  ASSERT_EQ(r.hpdis.size(), 10u);
  for (int p = 1; p <= 10; ++p) {
    const HpdiInterval& h = r.hpdis[static_cast<std::size_t>(p - 1)];
    EXPECT_EQ(h.label, "Fst" + std::to_string(p));
    EXPECT_EQ(h.y, 12 - p);
    EXPECT_EQ(h.colourSlot, (p - 1) % 9);
  }
  EXPECT_EQ(r.hpdis[9].colourSlot, 0);
  EXPECT_EQ(r.hpdis[9].y, 2);
  EXPECT_EQ(r.hpdis[0].y, 11);
  EXPECT_EQ(r.hpdis[8].colourSlot, 8);
}

TEST(ModelSummary, BestModelWithOneRowKeepsEarlierValues) {
  // model 4 is the only counted model; the other row carries no model number
  const std::vector<TraceRow> rows = {{4, 0.5f, {0.2f}, {1, 2, 3}}, {0, 0.5f, {0.3f}, {1, 2, 3}}};
  ModelSummaryInput in = inputFor(makeTable(1, 2, rows), 1, 2);
  in.coefficientSummary.mode = {0.0123, 8, 9};
  in.sigmaSummary = {1, 2, 3, 4};
  const ModelSummaryResult r = run(in);
  EXPECT_EQ(r.bestModel, 4);
  EXPECT_EQ(r.retainedRows, 2);
  EXPECT_FALSE(r.bestModelSummarised);
  EXPECT_EQ(r.coefficientSummary.mode, (std::vector<double>{0.0123, 8, 9}));
  EXPECT_EQ(r.sigmaSummary, (std::array<double, 4>{1, 2, 3, 4}));
  EXPECT_EQ(r.hpdis.size(), 1u);  // both rows pass "All"
}

// The parallel run gives exactly what summarising each quantity in turn gives.
TEST(ModelSummary, EqualsTheSequentialComputation) {
  const int P = 13, F = 2;
  std::mt19937 random(7);
  std::uniform_real_distribution<float> u(0, 1);
  std::vector<TraceRow> rows;
  for (int r = 0; r < 3000; ++r) {
    TraceRow row{static_cast<float>(1 + (u(random) < 0.6f ? 3 : static_cast<int>(u(random) * 3))), u(random), {}, {}};
    for (int p = 0; p < P; ++p) row.fst.push_back(u(random) * (p + 1));
    for (int f = 0; f <= F; ++f) row.coef.push_back(u(random) - 0.5f);
    rows.push_back(row);
  }
  const auto table = makeTable(P, F, rows);
  ModelSummaryInput in = inputFor(table, P, F);
  in.chains[0].rows = {100, 2900};
  in.modelFilter = 2;
  const ModelSummaryResult r = run(in);
  ASSERT_EQ(r.bestModel, 4);

  auto summary = [&](int column, int model) {
    std::vector<double> v;
    for (int i = in.chains[0].rows.begin; i < in.chains[0].rows.end; ++i) {
      if (model == 0 || table->cell(3 + P, i) == static_cast<float>(model)) v.push_back(table->cell(column, i));
    }
    return SummarizeSample(v, 0.95);
  };
  for (int p = 1; p <= P; ++p) {
    const PosteriorSummary s = summary(2 + p, 2);
    const auto i = static_cast<std::size_t>(p - 1);
    EXPECT_EQ(r.fstSummary.mean[i], s.mean) << p;
    EXPECT_EQ(r.fstSummary.mode[i], s.mode) << p;
    EXPECT_EQ(r.fstSummary.low[i], s.hpdiLow) << p;
    EXPECT_EQ(r.fstSummary.high[i], s.hpdiHigh) << p;
  }
  for (int f = 0; f <= F; ++f) {
    const PosteriorSummary s = summary(4 + P + f, 4);
    EXPECT_EQ(r.coefficientSummary.mean[static_cast<std::size_t>(f)], s.mean) << f;
    EXPECT_EQ(r.coefficientSummary.mode[static_cast<std::size_t>(f)], s.mode) << f;
    EXPECT_EQ(r.coefficientSummary.high[static_cast<std::size_t>(f)], s.hpdiHigh) << f;
  }
  const PosteriorSummary sigma = summary(1, 4);
  EXPECT_EQ(r.sigmaSummary, (std::array<double, 4>{sigma.mean, sigma.mode, sigma.hpdiLow, sigma.hpdiHigh}));
}

TEST(ModelSummary, ProgressRisesToOneHundredAndCancelStops) {
  std::vector<TraceRow> rows;
  for (int r = 0; r < 50; ++r) rows.push_back({4, 1, std::vector<float>(20, 0.01f * r), {0, 1, 2}});
  const ModelSummaryInput in = inputFor(makeTable(20, 2, rows), 20, 2);
  std::vector<int> gauges;
  run(in, &gauges);
  // constant, Sigma², a2, a1, 20 populations, with D = 24
  ASSERT_EQ(gauges.size(), 24u);
  EXPECT_TRUE(std::is_sorted(gauges.begin(), gauges.end()));
  EXPECT_EQ(gauges[3], (100 * 1 + 300) / 24);  // a1
  EXPECT_EQ(gauges.back(), 100);

  // a cancel asked for once the first summary is in ends the run with the one cancellation
  RecordedProgress cancelled(1);
  EXPECT_THROW(computeModelSummary(in, cancelled), WorkCancelled);
}

TEST(ModelSummary, RefusesATableWithoutTheNamedColumns) {
  std::vector<TraceRow> rows(3, TraceRow{1, 1, {0.1f, 0.2f}, {0, 0, 0}});
  ModelSummaryInput in = inputFor(makeTable(2, 2, rows), 2, 2);
  in.populationCount = 3;
  EXPECT_FALSE(run(in).error.empty());
  in.chains[0].table = nullptr;
  EXPECT_FALSE(run(in).error.empty());
  in.chains.clear();
  EXPECT_FALSE(run(in).error.empty());
}

}  // namespace
}  // namespace varno
