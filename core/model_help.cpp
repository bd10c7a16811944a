// The text that lists the factors of every model.
#include "core/model_help.h"

#include <algorithm>

#include "core/model_numbering.h"
#include "core/text_pieces.h"

namespace varno {

std::string modelHelpText(int factorCount, bool hasInteraction) {
  std::string text = "Factors included in the models:\n\n";
  // more factors than models can be counted would make an endless list
  const int models = 1 << std::clamp(factorCount, 0, kMaxFactors);
  for (int j = 0; j < models; ++j) {
    if (hasInteraction && j >= 4 && j <= 6) continue;
    const bool interactionModel = hasInteraction && j == 7;
    text += interactionModel ? "Model 5: " : "Model " + decimal(j + 1) + ": ";
    text += "Constant";
    // the interaction model holds all three factors, as code 8 decodes
    for (int f : factorsInModel(interactionModel ? 5 : j + 1, factorCount, hasInteraction))
      text += ", " + factorName(f, hasInteraction);
    text += "\n";
  }
  return text;
}

}  // namespace varno
