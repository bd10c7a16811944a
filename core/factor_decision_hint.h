// What to check when the factor decision a data file was read with does not fit it: the window
// and the headless tool reason alike and differ only in how they name their own ways to choose.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varno {

// Where the factor decision came from.
struct FactorDecisionSource {
  int factorCount = 0;
  std::optional<int> factorMode;  // nothing or -1: the count was taken from the factors file's lines
  std::string factorsPath;       // empty: no factors file
  std::string_view factorsText;  // the factors file's text
};

enum class HintVoice { window, tool };

std::string factorDecisionHint(const FactorDecisionSource& source, HintVoice voice);

}  // namespace varno
