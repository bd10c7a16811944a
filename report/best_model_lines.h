// The three lines the Summary page writes under its model chart about the best model.
#pragma once

#include <array>
#include <string>

#include "stats/model_summary.h"

namespace varno {

// "Factors included in the highest probability model (P(m)=share):", then the constant and the
// best model's factors (highest first) with their coefficients' modes, then Sigma²'s mode; the
// modes of a best model with fewer than two rows are those the result kept from earlier. UTF-8.
// `result` is that of a run without error (its coefficient summary has factorCount + 1 entries).
std::array<std::string, 3> bestModelLines(const ModelSummaryResult& result, int factorCount, bool hasInteraction);

}  // namespace varno
