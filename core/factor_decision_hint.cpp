#include "core/factor_decision_hint.h"

#include "core/factors_file.h"
#include "core/text_pieces.h"

namespace varno {

std::string factorDecisionHint(const FactorDecisionSource& source, HintVoice voice) {
  const bool window = voice == HintVoice::window;
  // read as having no factors: the user may have left out the factors file, or (in the window)
  // declined its factors
  const bool withoutFactors =
      window ? source.factorCount == 0 && (source.factorsPath.empty() || countFactorLines(source.factorsText) > 0)
             : source.factorsPath.empty() && !source.factorMode;
  if (withoutFactors)
    return window ? "it was opened without environmental factors; if it was written with them, open it again and "
                    "choose its factors file"
                  : "it was read without a factors file, as having no environmental factors; if it was written "
                    "with them, give its factors file after the data file";
  if (source.factorMode.value_or(-1) == -1) return factorsFileHint(source.factorsPath, source.factorsText);
  if (window) return "the factor mode of the command line does not fit it; was the data file written with another one?";
  const int mode = *source.factorMode;
  return "MODE " + decimal(mode) +
         (mode == 0   ? " sets two factors"
          : mode == 1 ? " sets two factors and their interaction"
                      : " sets no factors") +
         "; was the data file written with them?";
}

}  // namespace varno
