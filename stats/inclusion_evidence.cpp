// Inclusion Bayes factors from model counts, prior weights and indicator effective sample sizes.
#include "stats/inclusion_evidence.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "core/model_numbering.h"
#include "core/parallel_for.h"
#include "core/text_pieces.h"
#include "stats/convergence_diagnostics.h"
#include "stats/evidence_label.h"
#include "stats/model_prior.h"
#include "stats/model_summary.h"

namespace varno {

namespace {

std::optional<double> finite(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

// Whether each model of the set holds factor f: slot m - 1 for model m.
std::vector<bool> holders(int factor, int factorCount, bool hasInteraction) {
  const int models = modelCount(factorCount, hasInteraction);
  std::vector<bool> in(static_cast<std::size_t>(models));
  for (int m = 1; m <= models; ++m) in[static_cast<std::size_t>(m - 1)] = FactorInModel(m, factor, factorCount, hasInteraction);
  return in;
}

std::optional<double> essOfIndicator(std::span<const std::span<const float>> modelNumbers,
                                     const std::vector<bool>& inSeries) {
  std::vector<std::vector<double>> series;
  std::vector<std::span<const double>> chains;
  bool any = false;
  for (auto chain : modelNumbers) {
    std::vector<double>& s = series.emplace_back(chain.size());
    for (std::size_t i = 0; i < chain.size(); ++i) {
      const int m = countedModel(chain[i]);
      const bool one = m >= 1 && m <= static_cast<int>(inSeries.size()) && inSeries[static_cast<std::size_t>(m - 1)];
      s[i] = one ? 1.0 : 0.0;
      any = any || one;
    }
  }
  if (!any) return std::nullopt;  // constant: no need to look further
  for (const auto& s : series) chains.emplace_back(s);
  return essSplit(chains);
}

std::string modelFactors(int model, int factorCount, bool hasInteraction) {
  std::string text;
  for (int f : factorsInModel(model, factorCount, hasInteraction)) {
    if (!text.empty()) text += '+';
    text += factorName(f, hasInteraction);
  }
  return text.empty() ? "Constant" : text;
}

double logOdds(double p) { return std::log10(p / (1 - p)); }

// sqrt(p (1 - p) / ESS); nothing where the ESS is nothing.
std::optional<double> mcseOf(std::optional<double> p, std::optional<double> ess) {
  if (!p || !ess) return std::nullopt;
  return finite(std::sqrt(*p * (1 - *p) / *ess));
}

// The Bayes factor of one set of models against another, from their posterior counts and prior
// masses; nothing where either count or either mass is 0.
std::optional<double> setBayesFactor(double countWith, double countWithout, double priorWith, double priorWithout) {
  if (countWith <= 0 || countWithout <= 0 || priorWith <= 0 || priorWithout <= 0) return std::nullopt;
  return finite((countWith / countWithout) / (priorWith / priorWithout));
}

struct MatchedSets {
  std::vector<int> with, without;
};

// With the interaction, each factor is judged on the models that differ only in it.
MatchedSets matchedSets(int factor) {
  switch (factor) {
    case 1: return {{2, 4}, {1, 3}};
    case 2: return {{3, 4}, {1, 2}};
    default: return {{5}, {4}};
  }
}

}  // namespace

std::vector<double> modelCounts(std::span<const std::span<const float>> modelNumbers, int factorCount,
                                bool hasInteraction) {
  std::vector<double> counts(static_cast<std::size_t>(modelCount(factorCount, hasInteraction)));
  for (auto chain : modelNumbers) {
    for (float v : chain) {
      const int m = countedModel(v);
      if (m >= 1 && m <= static_cast<int>(counts.size())) counts[static_cast<std::size_t>(m - 1)] += 1;
    }
  }
  return counts;
}

IndicatorEss indicatorEss(std::span<const std::span<const float>> chains, int factorCount, bool hasInteraction) {
  IndicatorEss result;
  // chains of different lengths are compared over the first draws of each, as many as the
  // shortest has, as the convergence diagnostics compare them
  std::size_t shortest = chains.empty() ? 0 : chains[0].size();
  for (const auto& chain : chains) shortest = std::min(shortest, chain.size());
  std::vector<std::span<const float>> cut;
  for (const auto& chain : chains) cut.push_back(chain.first(shortest));
  const std::span<const std::span<const float>> modelNumbers = cut;
  const int models = modelCount(factorCount, hasInteraction);
  const int factors = std::max(factorCount, 0);
  result.models.resize(static_cast<std::size_t>(models));
  result.factors.resize(static_cast<std::size_t>(factors));
  // one series a piece: the models' first, then the factors'
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  parallelFor(static_cast<std::size_t>(models + factors), static_cast<int>(cores), [&](std::size_t i) {
    if (i < static_cast<std::size_t>(models)) {
      std::vector<bool> only(static_cast<std::size_t>(models));
      only[i] = true;
      result.models[i] = essOfIndicator(modelNumbers, only);
    } else {
      const std::size_t f = i - static_cast<std::size_t>(models);
      result.factors[f] = essOfIndicator(modelNumbers, holders(static_cast<int>(f) + 1, factorCount, hasInteraction));
    }
  });
  return result;
}

InclusionEvidence inclusionEvidence(const EvidenceInput& in) {
  InclusionEvidence result;
  const int F = in.factorCount;
  const int models = modelCount(F, in.hasInteraction);
  const std::vector<double> prior = modelPriorProbabilities(in.priorWeights, models);
  auto count = [&](int m) {
    const auto i = static_cast<std::size_t>(m - 1);
    return i < in.modelCounts.size() ? in.modelCounts[i] : 0.0;
  };
  auto ess = [](const std::vector<std::optional<double>>& v, int i) {
    return static_cast<std::size_t>(i) < v.size() ? v[static_cast<std::size_t>(i)] : std::nullopt;
  };
  const double N = static_cast<double>(in.retainedRows);
  auto share = [&](double c) { return N > 0 ? std::optional<double>(c / N) : std::nullopt; };

  for (int m = 1; m <= models; ++m) {
    ModelEvidence e;
    e.model = m;
    e.factors = modelFactors(m, F, in.hasInteraction);
    e.prior = prior[static_cast<std::size_t>(m - 1)];
    e.count = static_cast<long long>(count(m));
    e.probability = share(count(m));
    e.mcse = mcseOf(e.probability, ess(in.ess.models, m - 1));
    result.models.push_back(std::move(e));
  }

  for (int f = 1; f <= F; ++f) {
    FactorEvidence e;
    e.factor = f;
    e.name = factorName(f, in.hasInteraction);
    const std::vector<bool> holds = holders(f, F, in.hasInteraction);
    double priorWith = 0, priorWithout = 0, countWith = 0;
    for (int m = 1; m <= models; ++m) {
      const auto i = static_cast<std::size_t>(m - 1);
      (holds[i] ? priorWith : priorWithout) += prior[i];
      if (holds[i]) countWith += count(m);
    }
    e.prior = priorWith;
    e.posterior = share(countWith);
    e.mcse = mcseOf(e.posterior, ess(in.ess.factors, f - 1));

    if (priorWith <= 0) {
      e.evidence = concat("not estimable: no model with prior weight includes ", e.name);
    } else if (priorWithout <= 0) {
      e.evidence = concat("not estimable: every model with prior weight includes ", e.name);
    } else if (!e.posterior) {
      e.evidence = "not estimable: no retained rows";
    } else if (countWith >= N) {
      e.evidence = concat("not estimable: every retained row includes ", e.name);
    } else if (countWith <= 0) {
      e.evidence = concat("not estimable: no retained row includes ", e.name);
    } else {
      const double p = *e.posterior;
      const double priorLogOdds = logOdds(priorWith);
      e.log10Bf = finite(logOdds(p) - priorLogOdds);
      e.bf = finite((p / (1 - p)) / (priorWith / priorWithout));
      if (e.mcse) {
        const double low = p - 2 * *e.mcse, high = p + 2 * *e.mcse;
        if (low > 0) e.log10Low = finite(logOdds(low) - priorLogOdds);
        if (high < 1) e.log10High = finite(logOdds(high) - priorLogOdds);
      }
      e.evidence = evidenceLabel(e.log10Low, e.log10High);
    }

    if (in.hasInteraction) {
      const MatchedSets sets = matchedSets(f);
      double cw = 0, cwo = 0, pw = 0, pwo = 0;
      for (int m : sets.with) {
        cw += count(m);
        pw += prior[static_cast<std::size_t>(m - 1)];
      }
      for (int m : sets.without) {
        cwo += count(m);
        pwo += prior[static_cast<std::size_t>(m - 1)];
      }
      e.bfMatched = setBayesFactor(cw, cwo, pw, pwo);
    } else {
      e.bfMatched = e.bf;
    }
    result.factors.push_back(std::move(e));
  }
  return result;
}

EvidenceInput evidenceInput(std::span<const ChainRows> chains, int modelColumn, int factorCount, bool hasInteraction) {
  EvidenceInput input;
  input.factorCount = factorCount;
  input.hasInteraction = hasInteraction;
  std::vector<std::span<const float>> modelNumbers;
  for (const ChainRows& chain : chains) {
    const std::span<const float> column = chain.table->column(modelColumn);
    modelNumbers.push_back(
        column.subspan(static_cast<std::size_t>(chain.rows.begin), static_cast<std::size_t>(chain.rows.count())));
    input.retainedRows += chain.rows.count();
  }
  input.modelCounts = modelCounts(modelNumbers, factorCount, hasInteraction);
  input.ess = indicatorEss(modelNumbers, factorCount, hasInteraction);
  return input;
}

}  // namespace varno
