// The best model's lines, written from the numbers of the model summary.
#include "report/best_model_lines.h"

#include "core/model_numbering.h"
#include "core/text_pieces.h"
#include "stats/number_format.h"

namespace varno {

std::array<std::string, 3> bestModelLines(const ModelSummaryResult& result, int factorCount, bool hasInteraction) {
  const auto best = static_cast<std::size_t>(result.bestModel - 1);
  const double share = result.retainedRows > 0 ? result.modelProbabilities[best] / result.retainedRows : 0.0;
  std::array<std::string, 3> lines;
  lines[0] = concat("Factors included in the highest probability model (P(", decimal(result.bestModel),
                    ")=", formatG3(share), "):");
  std::string& factors = lines[1];
  factors = concat("  - Constant (a0=", formatG3(result.coefficientSummary.mode[0]), ")");
  for (int f : factorsInModel(result.bestModel, factorCount, hasInteraction)) {
    factors += concat(",  ", factorName(f, hasInteraction));
    if (result.bestModelSummarised)
      factors += concat(" (a", decimal(f), "=", formatG3(result.coefficientSummary.mode[static_cast<std::size_t>(f)]), ")");
  }
  lines[2] = concat("  - Sigma\u00B2=", formatG3(result.sigmaSummary[1]));
  return lines;
}

}  // namespace varno
