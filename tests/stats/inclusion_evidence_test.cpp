// Inclusion Bayes factors over hand-counted models, with hand-computed expectations.
#include "stats/inclusion_evidence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace varno {
namespace {

EvidenceInput counted(int factors, bool interaction, std::vector<double> counts) {
  EvidenceInput in;
  in.factorCount = factors;
  in.hasInteraction = interaction;
  for (double c : counts) in.retainedRows += static_cast<long long>(c);
  in.modelCounts = std::move(counts);
  return in;
}

double lo(double p) { return std::log10(p / (1 - p)); }

TEST(InclusionEvidence, TwoFactorsUniformPriorWithMonteCarloInterval) {
  EvidenceInput in = counted(2, false, {10, 20, 30, 40});
  in.ess.models = {std::nullopt, 100, 100, 100};
  in.ess.factors = {24, std::nullopt};  // G1: MCSE sqrt(0.6 0.4 / 24) = 0.1
  const InclusionEvidence e = inclusionEvidence(in);

  ASSERT_EQ(e.models.size(), 4u);
  const char* names[] = {"Constant", "G1", "G2", "G2+G1"};
  for (int m = 0; m < 4; ++m) {
    EXPECT_EQ(e.models[m].factors, names[m]);
    EXPECT_EQ(e.models[m].prior, 0.25);
    EXPECT_EQ(e.models[m].count, 10 * (m + 1));
    EXPECT_DOUBLE_EQ(*e.models[m].probability, 0.1 * (m + 1));
  }
  EXPECT_FALSE(e.models[0].mcse);  // its ESS is unknown
  EXPECT_DOUBLE_EQ(*e.models[3].mcse, std::sqrt(0.4 * 0.6 / 100));

  ASSERT_EQ(e.factors.size(), 2u);
  const FactorEvidence& g1 = e.factors[0];
  EXPECT_EQ(g1.name, "G1");
  EXPECT_EQ(g1.prior, 0.5);
  EXPECT_DOUBLE_EQ(*g1.posterior, 0.6);  // models 2 and 4
  EXPECT_DOUBLE_EQ(*g1.mcse, 0.1);
  EXPECT_DOUBLE_EQ(*g1.bf, 1.5);
  EXPECT_DOUBLE_EQ(*g1.log10Bf, std::log10(1.5));
  EXPECT_NEAR(*g1.log10Low, lo(0.4), 1e-12);
  EXPECT_NEAR(*g1.log10High, lo(0.8), 1e-12);
  EXPECT_EQ(g1.evidence, "barely worth mentioning against to substantial for");
  EXPECT_DOUBLE_EQ(*g1.bfMatched, 1.5);  // without the interaction it is the inclusion BF

  const FactorEvidence& g2 = e.factors[1];
  EXPECT_DOUBLE_EQ(*g2.bf, 7.0 / 3);
  EXPECT_FALSE(g2.mcse);  // no ESS: both ends unbounded
  EXPECT_FALSE(g2.log10Low);
  EXPECT_FALSE(g2.log10High);
  EXPECT_EQ(g2.evidence, "decisive against to decisive for");
}

TEST(InclusionEvidence, InteractionPriorsAndMatchedSets) {
  const InclusionEvidence e = inclusionEvidence(counted(3, true, {5, 10, 15, 20, 50}));
  ASSERT_EQ(e.models.size(), 5u);
  EXPECT_EQ(e.models[4].factors, "G1*G2+G2+G1");
  ASSERT_EQ(e.factors.size(), 3u);
  struct Expected {
    const char* name;
    double prior, posterior, bf, matched;
  };
  const Expected expected[] = {
      {"G1", 0.6, 0.8, (0.8 / 0.2) / (0.6 / 0.4), (30.0 / 20) / 1},     // {2, 4} against {1, 3}
      {"G2", 0.6, 0.85, (0.85 / 0.15) / (0.6 / 0.4), (35.0 / 15) / 1},  // {3, 4} against {1, 2}
      {"G1*G2", 0.2, 0.5, 1 / 0.25, 50.0 / 20},                         // 5 against 4
  };
  for (int f = 0; f < 3; ++f) {
    const FactorEvidence& g = e.factors[f];
    EXPECT_EQ(g.name, expected[f].name);
    EXPECT_DOUBLE_EQ(g.prior, expected[f].prior) << g.name;
    EXPECT_DOUBLE_EQ(*g.posterior, expected[f].posterior) << g.name;
    EXPECT_DOUBLE_EQ(*g.bf, expected[f].bf) << g.name;
    EXPECT_DOUBLE_EQ(*g.bfMatched, expected[f].matched) << g.name;
  }
}

TEST(InclusionEvidence, UserPriorMovesPriorInclusionAndBayesFactors) {
  EvidenceInput in = counted(3, true, {5, 10, 15, 20, 50});
  in.priorWeights = {1, 1, 1, 1, 4};
  in.ess.factors = {64, 64, 100};
  const InclusionEvidence e = inclusionEvidence(in);
  EXPECT_EQ(e.models[4].prior, 0.5);
  EXPECT_DOUBLE_EQ(e.factors[0].prior, 0.75);
  EXPECT_DOUBLE_EQ(*e.factors[0].bf, 4.0 / 3);
  EXPECT_DOUBLE_EQ(*e.factors[0].bfMatched, 1.5);
  // G1*G2: prior 0.5 and posterior 0.5, MCSE 0.05: an even interval about 0
  const FactorEvidence& g12 = e.factors[2];
  EXPECT_DOUBLE_EQ(*g12.bf, 1);
  EXPECT_DOUBLE_EQ(*g12.log10Bf, 0);
  EXPECT_NEAR(*g12.log10High, lo(0.6), 1e-12);
  EXPECT_NEAR(*g12.log10Low, -lo(0.6), 1e-12);
  EXPECT_EQ(g12.evidence, "barely worth mentioning against to barely worth mentioning for");
  EXPECT_DOUBLE_EQ(*g12.bfMatched, (50.0 / 20) / (0.5 / 0.125));
}

TEST(InclusionEvidence, AnEndBeyondOneIsUnboundedAndDecisive) {
  EvidenceInput in = counted(1, false, {10, 90});
  in.ess.factors = {9};  // MCSE 0.1: 0.7 .. 1.1
  const FactorEvidence g = inclusionEvidence(in).factors[0];
  EXPECT_NEAR(*g.log10Low, lo(0.7), 1e-12);
  EXPECT_FALSE(g.log10High);
  EXPECT_EQ(g.evidence, "barely worth mentioning to decisive for");
}

TEST(InclusionEvidence, PosteriorZeroOrOneIsNotEstimable) {
  EvidenceInput in = counted(2, false, {0, 0, 7, 0});  // every row in model 3: G2 only
  in.ess.factors = {40, 40};
  const InclusionEvidence e = inclusionEvidence(in);
  EXPECT_EQ(e.factors[0].evidence, "not estimable: no retained row includes G1");
  EXPECT_EQ(e.factors[1].evidence, "not estimable: every retained row includes G2");
  for (const FactorEvidence& g : e.factors) {
    EXPECT_FALSE(g.bf);
    EXPECT_FALSE(g.log10Bf);
    EXPECT_FALSE(g.log10Low);
    EXPECT_FALSE(g.log10High);
    EXPECT_FALSE(g.bfMatched);
  }
  EXPECT_DOUBLE_EQ(*e.factors[0].posterior, 0);
  EXPECT_DOUBLE_EQ(*e.factors[1].posterior, 1);

  // a prior that leaves no model without G1
  EvidenceInput p = counted(1, false, {3, 4});
  p.priorWeights = {0, 1};
  EXPECT_EQ(inclusionEvidence(p).factors[0].evidence, "not estimable: every model with prior weight includes G1");
}

// zero_one of fixtures/convergence_reference.R, rep(c(0, 0, 1), 40), has mcse_mean 0.039801212034943578
// (fixtures/convergence_reference.tsv): sd / sqrt(ESS) with sd of divisor n - 1, so
// sqrt(p (1 - p) / ESS) is that value times sqrt((n - 1) / n).
TEST(InclusionEvidence, IndicatorEssIsTheOneTheMeansMonteCarloErrorUses) {
  std::vector<float> models;
  for (int i = 0; i < 40; ++i) models.insert(models.end(), {1.0f, 1.9f, 2.5f});  // counted 1, 1, 2
  const std::span<const float> chains[] = {models};
  EvidenceInput in = counted(1, false, modelCounts(chains, 1, false));
  EXPECT_EQ(in.modelCounts, (std::vector<double>{80, 40}));
  in.ess = indicatorEss(chains, 1, false);
  ASSERT_EQ(in.ess.models.size(), 2u);
  ASSERT_EQ(in.ess.factors.size(), 1u);
  const InclusionEvidence e = inclusionEvidence(in);
  const double expected = 0.039801212034943578 * std::sqrt(119.0 / 120);
  EXPECT_NEAR(*e.models[1].mcse, expected, 1e-12);
  EXPECT_NEAR(*e.models[0].mcse, expected, 1e-12);  // the complement has the same ESS
  EXPECT_NEAR(*e.factors[0].mcse, expected, 1e-12);

  // a longer second chain is compared over its first draws only, as many as the shortest has
  std::vector<float> longer = models;
  longer.insert(longer.end(), 30, 1.0f);
  const std::span<const float> equal[] = {models, models};
  const std::span<const float> unequal[] = {models, longer};
  const IndicatorEss cut = indicatorEss(unequal, 1, false);
  ASSERT_TRUE(cut.models[1]);
  EXPECT_EQ(cut, indicatorEss(equal, 1, false));

  // a model no row visits has no ESS, hence no MCSE
  const std::span<const float> constant[] = {std::span<const float>(models).first(2)};
  EXPECT_FALSE(indicatorEss(constant, 1, false).models[1]);
}

}  // namespace
}  // namespace varno
