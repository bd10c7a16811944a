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

TEST_P(SampleSummaryTest, ModeOnPeaksOfEqualHeight) {
  struct Case {
    std::vector<double> sample;
    int modeIndex;
  };
  const Case cases[] = {
      // Mirror-image peaks with bit-identical sums: the lower grid point wins.
      {{1, 0.75, 0.25, 0.75, 0, 0.25, 0.75, 0.25, 0.25, 0.75}, 53},
      // Mirror-image peaks whose sums differ in the last bit: the upper one is higher.
      {{1, 0, 1, 0, 1, 0}, 187},
  };
  for (const Case& c : cases) {
    const PosteriorSummary s = summarize(c.sample);
    EXPECT_EQ(s.mode, 0 + c.modeIndex * (1.0 - 0) * 0.005);
  }
}

TEST(SampleSummary, FastMatchesTheNaiveSummary) {
  std::mt19937 rng(17);
  std::normal_distribution<double> normal(0.2, 0.04);
  std::student_t_distribution<double> heavy(1.5);
  std::uniform_int_distribution<int> few(0, 3);
  for (int n : {2, 21, 999, 12000}) {
    for (int shape = 0; shape < 3; ++shape) {
      std::vector<double> sample(n);
      for (double& v : sample) v = shape == 0 ? normal(rng) : shape == 1 ? heavy(rng) : few(rng);
      std::vector<double> copy = sample;
      const PosteriorSummary fast = SummarizeSample(sample, 0.95);
      const PosteriorSummary naive = summarizeSampleNaive(copy, 0.95);
      EXPECT_EQ(fast.mean, naive.mean);
      EXPECT_EQ(fast.variance, naive.variance);
      EXPECT_EQ(fast.mode, naive.mode) << "n = " << n << ", shape " << shape;
      EXPECT_EQ(fast.hpdiLow, naive.hpdiLow);
      EXPECT_EQ(fast.hpdiHigh, naive.hpdiHigh);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Both, SampleSummaryTest,
    testing::Values(Implementation{"Fast", SummarizeSample}, Implementation{"Naive", summarizeSampleNaive}),
    [](const testing::TestParamInfo<Implementation>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varno
