// Convergence diagnostics against the reference's values (fixtures/convergence_reference.R).
#include "stats/convergence_diagnostics.h"

#include <gtest/gtest.h>

#include "stats/chain_diagnostics.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "stats/autocorrelation.h"
#include "stats/indicator_lagged_products.h"
#include "stats/lagged_products.h"
#include "tests/stats/reference_fixtures.h"

namespace varno {
namespace {

using fixtures::drawCases;
using fixtures::number;
using fixtures::tsvRows;
using Cases = fixtures::DrawCases;

std::vector<double> slowChainForChains() {
  std::vector<double> x(400);
  double level = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    level = 0.8 * level + std::sin(static_cast<double>(i) * 12.9898) * 0.5;
    x[i] = level;
  }
  return x;
}

std::vector<std::span<const double>> spans(const std::vector<std::vector<double>>& chains) {
  return {chains.begin(), chains.end()};
}

void expectMatches(const std::optional<double>& actual, const std::optional<double>& expected, const std::string& what) {
  if (!expected) {
    EXPECT_FALSE(actual) << what << " should be undefined, is " << *actual;
    return;
  }
  ASSERT_TRUE(actual) << what << " should be " << *expected;
  EXPECT_NEAR(*actual, *expected, 1e-9 * std::abs(*expected)) << what;
}

TEST(ConvergenceDiagnostics, MatchTheReferenceInEveryCase) {
  const auto reference = tsvRows("convergence_reference.tsv");
  ASSERT_GE(reference.size(), 20u);
  for (const auto& row : reference) {
    const std::string& name = row.at(0);
    ASSERT_TRUE(drawCases().count(name)) << name;
    const auto chains = spans(drawCases().at(name));
    const ConvergenceDiagnostics all = convergenceDiagnostics(chains);
    expectMatches(all.essBulk, number(row.at(1)), name + " ess_bulk");
    expectMatches(all.essTail, number(row.at(2)), name + " ess_tail");
    expectMatches(all.rhat, number(row.at(3)), name + " rhat");
    expectMatches(all.mcseMean, number(row.at(4)), name + " mcse_mean");
    // each alone gives what all together give
    EXPECT_EQ(essBulk(chains), all.essBulk) << name;
    EXPECT_EQ(essTail(chains), all.essTail) << name;
    EXPECT_EQ(rhat(chains), all.rhat) << name;
    EXPECT_EQ(mcseMean(chains), all.mcseMean) << name;
  }
}

// The diagnostics across the chains of an analysis: the reference's values come out for every case
// of two or more chains, also when a further chain runs longer (cut to the shortest) and when a
// chain too short to split is added (left out and named).
TEST(ChainDiagnostics, MatchTheReferenceWhenChainsAreCutOrLeftOut) {
  int cases = 0;
  for (const auto& row : tsvRows("convergence_reference.tsv")) {
    const std::string& name = row.at(0);
    std::vector<std::vector<double>> chains = drawCases().at(name);
    if (chains.size() < 2 || chains[0].size() < kMinimumChainDraws) continue;
    ++cases;
    chains[1].insert(chains[1].end(), {1e6, -1e6, 7});  // past the others' end: never read
    chains.push_back({1, 2, 3});                         // fewer than four draws
    const ChainDiagnostics d = chainDiagnostics(chains);
    EXPECT_EQ(d.leftOut, std::vector<int>{static_cast<int>(chains.size())}) << name;
    EXPECT_TRUE(d.cut) << name;
    EXPECT_EQ(d.length, static_cast<int>(chains[0].size())) << name;
    expectMatches(d.diagnostics.essBulk, number(row.at(1)), name + " ess_bulk");
    expectMatches(d.diagnostics.essTail, number(row.at(2)), name + " ess_tail");
    expectMatches(d.diagnostics.rhat, number(row.at(3)), name + " rhat");
    expectMatches(d.diagnostics.mcseMean, number(row.at(4)), name + " mcse_mean");
  }
  EXPECT_GE(cases, 1);
}

TEST(ChainDiagnostics, OneChainIsTheSingleChainFiguresAndNoChainIsUndefined) {
  const std::vector<double> x = slowChainForChains();
  const std::vector<std::vector<double>> one{x};
  const ChainDiagnostics d = chainDiagnostics(one);
  EXPECT_EQ(d.diagnostics, convergenceDiagnostics(std::span<const double>(x)));
  EXPECT_FALSE(d.cut);
  EXPECT_TRUE(d.leftOut.empty());

  const std::vector<std::vector<double>> tooShort{{1, 2, 3}, {}};
  const ChainDiagnostics none = chainDiagnostics(tooShort);
  EXPECT_EQ(none.leftOut, (std::vector<int>{1, 2}));
  EXPECT_EQ(none.chainsUsed, 0);
  EXPECT_FALSE(none.diagnostics.essBulk || none.diagnostics.essTail || none.diagnostics.rhat ||
               none.diagnostics.mcseMean);
  EXPECT_EQ(chainUseNote(none.leftOut, false, 0), "chains 1 and 2 left out (fewer than 4 draws)");
  EXPECT_EQ(chainUseNote({3}, true, 998000), "chain 3 left out (fewer than 4 draws); chains cut to their first 998,000 draws");
  EXPECT_EQ(chainUseNote({}, false, 10), "");
}

TEST(ConvergenceDiagnostics, ChainsOfDifferentLengthsOrNoneAreUndefined) {
  const std::vector<double> a{1, 2, 3, 4, 5, 6}, b{2, 1, 4, 3, 6};
  const std::span<const double> uneven[] = {a, b};
  const std::vector<std::span<const double>> none;
  for (const ConvergenceDiagnostics& d : {convergenceDiagnostics(uneven), convergenceDiagnostics(none)}) {
    EXPECT_FALSE(d.essBulk);
    EXPECT_FALSE(d.essTail);
    EXPECT_FALSE(d.rhat);
    EXPECT_FALSE(d.mcseMean);
  }
}

// A chain that mixes slowly enough that Geyer's sequence runs past the directly summed lags.
std::vector<double> slowChain(std::size_t n, double phi, unsigned seed) {
  std::vector<double> x(n);
  std::uint64_t state = seed;
  double level = 0;
  for (double& v : x) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    const double u = static_cast<double>(state >> 11) * 0x1p-53 - 0.5;
    level = phi * level + u;
    v = level;
  }
  return x;
}

TEST(LaggedProducts, DirectSumsAgreeWithTheFft) {
  std::vector<double> y = slowChain(3000, 0.99, 5);
  double mean = 0;
  for (double v : y) mean += v / y.size();
  for (double& v : y) v -= mean;
  const std::vector<double> fft = laggedProductsByFft(y);
  ASSERT_EQ(fft.size(), y.size());
  LaggedProducts lazy(y);
  for (std::size_t lag : {0u, 1u, 7u, 8u, 40u, 63u, 64u, 255u, 256u, 500u, 511u, 512u, 2999u}) {
    double direct = 0;
    for (std::size_t i = 0; i + lag < y.size(); ++i) direct += y[i] * y[i + lag];
    EXPECT_NEAR(fft[lag], direct, 1e-10 * fft[0]) << "lag " << lag;
    EXPECT_NEAR(lazy.at(lag), direct, 1e-10 * fft[0]) << "lag " << lag;
  }
}

TEST(IndicatorLaggedProducts, CountsAgreeWithTheCentredProducts) {
  struct Case {
    std::size_t n;
    double share;  // of ones
  };
  // 5000 draws reach the lags whose pairs come from the FFT, which must give the very counts
  constexpr std::size_t kFft = IndicatorLaggedProducts::kCountedLags;
  for (const Case c : {Case{1000, 0.05}, Case{64, 0.5}, Case{129, 0.95}, Case{5, 0.4}, Case{5000, 0.5}}) {
    std::vector<double> x(c.n);
    std::uint64_t state = 7;
    for (double& v : x) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      v = static_cast<double>(state >> 11) * 0x1p-53 < c.share ? 1 : 0;
    }
    double mean = 0;
    for (double v : x) mean += v;
    mean /= static_cast<double>(c.n);
    ASSERT_TRUE(IndicatorLaggedProducts::fits(x));
    IndicatorLaggedProducts counted(x, mean);
    std::vector<std::size_t> lags{0, 1, 2, 63, 64, 65, 128};
    for (std::size_t lag = kFft - 2; lag < c.n; ++lag) lags.push_back(lag);  // every transformed one
    for (std::size_t lag : lags) {
      if (lag >= c.n) continue;
      double direct = 0;
      long long pairs = 0, first = 0, last = 0;
      for (std::size_t i = 0; i + lag < c.n; ++i) {
        direct += (x[i] - mean) * (x[i + lag] - mean);
        pairs += x[i] == 1 && x[i + lag] == 1;
        first += x[i] == 1;
        last += x[i + lag] == 1;
      }
      EXPECT_NEAR(counted.at(lag), direct, 1e-11 * static_cast<double>(c.n)) << "n " << c.n << ", lag " << lag;
      // the counts' own formula, term for term: exact whether the pairs were counted or transformed
      const long double p = mean;
      const long double exact = static_cast<long double>(pairs) - p * static_cast<long double>(first + last) +
                                static_cast<long double>(c.n - lag) * p * p;
      EXPECT_EQ(counted.at(lag), static_cast<double>(exact)) << "n " << c.n << ", lag " << lag;
    }
  }
  EXPECT_FALSE(IndicatorLaggedProducts::fits(std::vector<double>{0, 1, 0.5}));
  EXPECT_FALSE(IndicatorLaggedProducts::fits(std::vector<double>{1, -0.0, 2}));
  std::vector<double> lateMisfit(1000, 1);
  lateMisfit[700] = 0.5;  // past the first blocks the test looks at
  EXPECT_FALSE(IndicatorLaggedProducts::fits(lateMisfit));
}

TEST(ConvergenceDiagnostics, WorkerThreadsGetWhatOneThreadGets) {
  // Slow chains take the FFT (whose planning is shared) and ties-free ranks take the shared
  // table of normal scores.
  std::vector<std::vector<double>> columns;
  for (unsigned s = 0; s < 6; ++s) columns.push_back(slowChain(4000 + 1000 * (s % 2), 0.995, s));
  std::vector<ConvergenceDiagnostics> alone, together(columns.size());
  for (const auto& c : columns) alone.push_back(convergenceDiagnostics(c));
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < columns.size(); ++i)
    threads.emplace_back([&, i] { together[i] = convergenceDiagnostics(columns[i]); });
  for (auto& t : threads) t.join();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    ASSERT_TRUE(alone[i].essBulk);
    EXPECT_EQ(together[i].essBulk, alone[i].essBulk) << i;
    EXPECT_EQ(together[i].essTail, alone[i].essTail) << i;
    EXPECT_EQ(together[i].rhat, alone[i].rhat) << i;
    EXPECT_EQ(together[i].mcseMean, alone[i].mcseMean) << i;
  }
}

TEST(Autocorrelation, MatchesTheReferenceForTheFirstLags) {
  std::map<std::string, std::vector<double>> expected;
  for (const auto& row : tsvRows("autocorrelation_reference.tsv")) expected[row.at(0)].push_back(*number(row.at(2)));
  ASSERT_EQ(expected.size(), 2u);
  for (const auto& [name, lags] : expected) {
    const std::vector<double>& draws = drawCases().at(name).at(0);
    const Autocorrelation acf = autocorrelation(draws);
    ASSERT_EQ(acf.values.size(), draws.size()) << name;
    for (std::size_t k = 0; k < lags.size(); ++k) EXPECT_NEAR(acf.values[k], lags[k], 1e-9) << name << " lag " << k;
  }
}

TEST(Autocorrelation, PlotLagsRunToTheTruncationWithinTheirBounds) {
  // AR(1) with 0.9: about 20 lags carry weight, the truncation goes beyond them.
  const Autocorrelation ar1 = autocorrelation(drawCases().at("ar1").at(0));
  EXPECT_GT(ar1.truncationLag, 20u);
  EXPECT_LT(ar1.truncationLag, 1000u);
  EXPECT_EQ(ar1.lastPlotLag(), std::max<std::size_t>(ar1.truncationLag, 50));

  const Autocorrelation slow = autocorrelation(slowChain(5000, 0.998, 3));
  EXPECT_GT(slow.truncationLag, LaggedProducts::kDirectLags);  // past the direct sums
  EXPECT_EQ(slow.lastPlotLag(), slow.truncationLag);

  const std::vector<double> ten{3, 1, 4, 1, 5, 9, 2, 6, 5, 3};
  EXPECT_EQ(autocorrelation(ten).lastPlotLag(), 9u);  // at most n - 1

  for (const std::vector<double>& undefined :
       {std::vector<double>{}, std::vector<double>{1}, std::vector<double>(30, 2.0), std::vector<double>{1, INFINITY, 2}}) {
    const Autocorrelation acf = autocorrelation(undefined);
    EXPECT_TRUE(acf.values.empty());
    EXPECT_EQ(acf.truncationLag, 0u);
    EXPECT_EQ(acf.lastPlotLag(), 0u);
  }
}

}  // namespace
}  // namespace varno
