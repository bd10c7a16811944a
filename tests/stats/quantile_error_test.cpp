// Quantile ESS and MCSE, and the MCSE of interval limits, against the reference's values
// (fixtures/quantile_error_reference.R over the draws of fixtures/convergence_draws.tsv).
#include "stats/quantile_error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "tests/stats/reference_fixtures.h"

namespace varno {
namespace {

using fixtures::drawCases;
using fixtures::number;
using fixtures::tsvRows;
using Chains = std::vector<std::vector<double>>;

std::vector<std::span<const double>> spans(const Chains& chains) { return {chains.begin(), chains.end()}; }

void expectSame(const std::optional<double>& actual, const std::optional<double>& expected, double relative,
                const std::string& what) {
  if (!expected) {
    EXPECT_FALSE(actual) << what << " should be undefined, is " << *actual;
    return;
  }
  ASSERT_TRUE(actual) << what << " should be " << *expected;
  if (relative == 0)
    EXPECT_EQ(*actual, *expected) << what;
  else
    EXPECT_NEAR(*actual, *expected, relative * std::abs(*expected)) << what;
}

// Single and several chains, discrete draws (ties, zeros and ones), p at 0 and 1 and near them,
// and the undefined cases: NaN and infinite draws, constant draws, too few draws.
TEST(QuantileError, MatchesTheReferenceInEveryCase) {
  const auto reference = tsvRows("quantile_error_reference.tsv");
  ASSERT_GE(reference.size(), 100u);
  int defined = 0, undefined = 0;
  for (const auto& row : reference) {
    const std::string& name = row.at(0);
    ASSERT_TRUE(drawCases().count(name)) << name;
    const auto chains = spans(drawCases().at(name));
    const double p = *number(row.at(1));
    const QuantileError q = QuantileErrors(chains).at(p);
    const std::string what = name + " at p = " + row.at(1);
    expectSame(q.quantile, number(row.at(2)), 0, what + " quantile");
    // half the distance of two order statistics: exact once the ESS picks the same ones
    expectSame(q.mcse, number(row.at(3)), 0, what + " mcse_quantile");
    expectSame(q.ess, number(row.at(4)), 1e-9, what + " ess_quantile");
    EXPECT_EQ(essQuantile(chains, p), q.ess) << what;
    EXPECT_EQ(mcseQuantile(chains, p), q.mcse) << what;
    (q.mcse ? defined : undefined) += 1;
  }
  EXPECT_GT(defined, 50);
  EXPECT_GT(undefined, 20);
}

TEST(QuantileError, LimitsOfAnIntervalMatchTheReferenceAtTheirShareOfTheDraws) {
  const auto reference = tsvRows("limit_mcse_reference.tsv");
  ASSERT_GE(reference.size(), 20u);
  for (const auto& row : reference) {
    const std::string& name = row.at(0);
    const auto chains = spans(drawCases().at(name));
    const QuantileErrors errors(chains);
    const double limit = *number(row.at(1));
    expectSame(errors.limitMcse(limit), number(row.at(3)), 0, name + " limit " + row.at(1));
    // the same as the MCSE of the quantile at the limit's share of the draws
    EXPECT_EQ(errors.limitMcse(limit), errors.at(*number(row.at(2))).mcse) << name;
  }
}

// By hand from the two functions: 40 draws 1..40 in two chains of 20; the limit 10.5 has ten
// draws at or below it, so its MCSE is that of the quantile at p = 10 / 40.
TEST(QuantileError, LimitBetweenDrawsCountsTheDrawsAtOrBelowIt) {
  Chains chains(2);
  for (int i = 1; i <= 20; ++i) {
    chains[0].push_back(2 * i - 1);
    chains[1].push_back(2 * i);
  }
  const QuantileErrors errors(spans(chains));
  ASSERT_TRUE(errors.at(0.25).mcse);
  EXPECT_EQ(errors.limitMcse(10.5), errors.at(0.25).mcse);
  EXPECT_EQ(errors.limitMcse(10), errors.at(0.25).mcse);
  EXPECT_EQ(errors.limitMcse(9.99), errors.at(9.0 / 40).mcse);
  EXPECT_FALSE(errors.limitMcse(NAN));
}

TEST(QuantileError, ProbabilitiesOutsideZeroToOneAndUnevenChainsGiveNothing) {
  const Chains even{{1, 5, 2, 8, 3, 9, 4}, {7, 6, 5, 1, 2, 3, 4}};
  for (double p : {-0.01, 1.01, static_cast<double>(NAN)})
    EXPECT_EQ(QuantileErrors(spans(even)).at(p), QuantileError{}) << p;
  const Chains uneven{{1, 5, 2, 8, 3, 9, 4}, {7, 6, 5, 1, 2, 3}};
  EXPECT_EQ(QuantileErrors(spans(uneven)).at(0.5), QuantileError{});
  EXPECT_FALSE(QuantileErrors(spans(uneven)).limitMcse(4));
  EXPECT_EQ(QuantileErrors({}).at(0.5), QuantileError{});
}

// names(posterior::quantile2(1:10, p)) for each p of the table
TEST(QuantileError, NamesAsTheReferenceNamesThem) {
  const struct {
    double p;
    const char* name;
  } cases[] = {
      {0, "q0"},         {0.001, "q0.1"},   {0.025, "q2.5"},     {0.05, "q5"},
      {0.07, "q7"},      {0.1, "q10"},      {0.5, "q50"},        {0.95, "q95"},
      {0.975, "q97.5"},  {0.999, "q99.9"},  {1, "q100"},         {1.0 / 3, "q33.3333333333333"},
      {0.29, "q29"},     {0.57, "q57"},     {1e-20, "q1e-18"},   {0.12345678901234568, "q12.3456789012346"},
  };
  for (const auto& c : cases) EXPECT_EQ(quantileName(c.p), c.name) << c.p;
}

}  // namespace
}  // namespace varno
