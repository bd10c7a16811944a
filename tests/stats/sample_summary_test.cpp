// Sample summary: moments, HPDI window count and choice, bandwidth fallback, mode ties.
#include "stats/sample_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

namespace varno {
namespace {

using Summarizer = std::function<PosteriorSummary(std::span<double>, double)>;

struct Implementation {
  const char* name;
  Summarizer run;
};

void PrintTo(const Implementation& implementation, std::ostream* os) { *os << implementation.name; }

class SampleSummaryTest : public testing::TestWithParam<Implementation> {
 protected:
  PosteriorSummary summarize(std::vector<double> sample, double level = 0.95) {
    return GetParam().run(sample, level);
  }
};

TEST_P(SampleSummaryTest, TwoDrawsGiveTheWholeRange) {
  const PosteriorSummary s = summarize({3.5, 1.25});
  EXPECT_EQ(s.mean, 2.375);
  EXPECT_EQ(s.variance, (3.5 - 1.25) * (3.5 - 1.25) / 2);
  EXPECT_EQ(s.hpdiLow, 1.25);
  EXPECT_EQ(s.hpdiHigh, 3.5);
  EXPECT_GE(s.mode, 1.25);
  EXPECT_LT(s.mode, 3.5);
}

// 0..n-1 with the top draw pushed far out: the window count decides whether it is dropped.
struct WindowCase {
  int n;
  double low;
  double high;
};

TEST_P(SampleSummaryTest, WindowCountGuardAtLevel95) {
  const WindowCase cases[] = {
      {20, 0, 1000},  // 0.05 x 20 is a hair above 1: still one window, the whole range
      {21, 0, 19},    // two windows: the far draw is left out
      {40, 0, 38},
  };
  for (const WindowCase& c : cases) {
    std::vector<double> sample(c.n);
    std::iota(sample.begin(), sample.end(), 0.0);
    sample.back() = 1000;
    std::shuffle(sample.begin(), sample.end(), std::mt19937(c.n));
    const PosteriorSummary s = summarize(sample);
    EXPECT_EQ(s.hpdiLow, c.low) << "n = " << c.n;
    EXPECT_EQ(s.hpdiHigh, c.high) << "n = " << c.n;
  }
}

TEST_P(SampleSummaryTest, EqualWidthWindowsKeepTheLowestDraw) {
  // 40 evenly spaced draws, c = 2: both windows are 38 wide; the lower one wins.
  std::vector<double> sample(40);
  std::iota(sample.rbegin(), sample.rend(), 0.0);
  const PosteriorSummary s = summarize(sample);
  EXPECT_EQ(s.hpdiLow, 0);
  EXPECT_EQ(s.hpdiHigh, 38);
}

TEST_P(SampleSummaryTest, EqualDrawsUseTheFallbackBandwidth) {
  const PosteriorSummary s = summarize(std::vector<double>(50, -0.75));
  EXPECT_EQ(s.mean, -0.75);
  EXPECT_EQ(s.variance, 0);
  EXPECT_EQ(s.mode, -0.75);
  EXPECT_EQ(s.hpdiLow, -0.75);
  EXPECT_EQ(s.hpdiHigh, -0.75);
}

TEST_P(SampleSummaryTest, LeavesTheSampleSorted) {
  std::vector<double> sample(1000);
  std::mt19937 rng(7);
  std::normal_distribution<double> normal(2, 3);
  for (double& v : sample) v = normal(rng);
  std::vector<double> expected = sample;
  std::sort(expected.begin(), expected.end());
  GetParam().run(sample, 0.95);
  EXPECT_EQ(sample, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Both, SampleSummaryTest,
    testing::Values(Implementation{"Fast", SummarizeSample}, Implementation{"Naive", summarizeSampleNaive}),
    [](const testing::TestParamInfo<Implementation>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varno
