// Chains side by side: the figures of each chain next to the pooled ones, so that runs stuck in
// different models or modes show up instead of being averaged away.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/progress.h"
#include "stats/chain_rows.h"
#include "stats/diagnostic_draws.h"

namespace varno {

enum class ChainQuantity { model, factor, fstMean, fstHpdiLow, fstHpdiHigh };

// One quantity: its value in each chain, over all chains pooled, and the R-hat across chains of
// its 0/1 indicator (models and factors only). Nothing stands where a value is undefined: a chain
// without retained rows, an Fst with fewer than two draws, an R-hat the estimator does not give.
struct ChainComparisonRow {
  ChainQuantity quantity = ChainQuantity::model;
  int number = 0;    // the model, factor or population
  std::string name;  // "P(model=2)", "P(G1)", "Fst pop 3 mean", "Fst pop 3 HPDI low", ...
  std::vector<std::optional<double>> chains;
  std::optional<double> pooled;
  std::optional<double> rhat;
  // The chains disagree: an indicator R-hat above 1.01 (or one that is infinite: each chain, or
  // each half of one, stays in or out of the model while they differ), or Fst HPD intervals of
  // two chains that do not overlap (all three rows of that population are marked).
  bool disagrees = false;
};

struct ChainComparison {
  int chainCount = 0;
  std::vector<ChainComparisonRow> rows;  // models, factors, then each population's three rows
  std::string error;  // set when a table lacks the columns of the layout
};

// The indicator R-hat above which chains are taken to disagree.
inline constexpr double kChainRhatLimit = 1.01;

// Model and inclusion probabilities over each chain's retained rows (all models, as the Summary
// page counts them); Fst mean and 95% HPDI over the retained rows that pass the model filter, as
// the Summary page summarises them. The indicator R-hat takes the first L retained rows of each
// chain, L the shortest chain's count. `progress` goes by populations; a cancel ends the work
// with WorkCancelled between populations.
ChainComparison compareChains(std::span<const ChainRows> chains, const TableLayout& layout, int modelFilter,
                              int threads = 1, Progress& progress = Progress::unwatched());

}  // namespace varno
