// The evidence for each environmental factor: prior and posterior inclusion probabilities, the
// inclusion Bayes factor with its Monte Carlo error, and the matched-models Bayes factor.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "stats/chain_rows.h"

namespace varno {

// The effective sample sizes (split chains, not rank-normalised) of the 0/1 series "the row is
// in model m" and "the row's model holds factor f" over the retained rows; nothing where the
// series gives none (fewer than 3 rows in a split chain, a constant series).
struct IndicatorEss {
  std::vector<std::optional<double>> models;   // model m at m - 1
  std::vector<std::optional<double>> factors;  // factor f at f - 1

  bool operator==(const IndicatorEss&) const = default;
};

// `modelNumbers`: the model-number column over the retained rows, one span per chain. A value
// is read as the model summary counts it (truncated; outside the model set it is in no model).
// Chains of different lengths give the series of their first draws, as many as the shortest has.
IndicatorEss indicatorEss(std::span<const std::span<const float>> modelNumbers, int factorCount,
                          bool hasInteraction);

// Retained rows per model of the set (model m at m - 1), counted as the model summary counts them.
std::vector<double> modelCounts(std::span<const std::span<const float>> modelNumbers, int factorCount,
                                bool hasInteraction);

struct EvidenceInput {
  int factorCount = 0;
  bool hasInteraction = false;
  std::vector<double> priorWeights;  // one per model; empty: every model equally likely
  std::vector<double> modelCounts;   // retained rows of model m at m - 1; missing entries are 0
  long long retainedRows = 0;
  IndicatorEss ess;
};

struct ModelEvidence {
  int model = 0;
  std::string factors;  // "G2+G1", "Constant" for the model without factors
  double prior = 0;
  long long count = 0;
  std::optional<double> probability, mcse;
};

struct FactorEvidence {
  int factor = 0;
  std::string name;  // "G1", "G1*G2"
  double prior = 0;
  std::optional<double> posterior, mcse;
  std::optional<double> bf, log10Bf;
  // log10 BF at posterior -/+ 2 MCSE; nothing where that end is unbounded or unknown
  std::optional<double> log10Low, log10High;
  std::string evidence;  // the grade, or why the chain cannot estimate the Bayes factor
  std::optional<double> bfMatched;
};

struct InclusionEvidence {
  std::vector<ModelEvidence> models;
  std::vector<FactorEvidence> factors;
};

// The evidence input of the chains' model numbers (0-based `modelColumn`) over their retained
// rows: the counts pool the chains, the ESS compares them. No prior weights: every model alike.
EvidenceInput evidenceInput(std::span<const ChainRows> chains, int modelColumn, int factorCount, bool hasInteraction);

// Probabilities are counts over the retained rows, as the results report computes them.
InclusionEvidence inclusionEvidence(const EvidenceInput& input);

}  // namespace varno
