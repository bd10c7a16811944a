// Limits of the HPDI level and histogram class count edits and the positions of their spinners.
#include "stats/edit_limits.h"

#include <algorithm>

#include "core/text_pieces.h"
#include "stats/text_numbers.h"

namespace varno {
namespace {

LimitedEditOutcome limitEdit(std::string_view text, int low, int high) {
  const double v = decimalReading(text);
  LimitedEditOutcome outcome;
  if (v > high) {
    outcome.rewriteText = decimal(high);
  } else if (!(v > low - 1)) {
    outcome.rewriteText = decimal(low);
  }
  const std::string_view finalText = outcome.rewriteText ? *outcome.rewriteText : text;
  outcome.spinnerPosition = std::clamp(leadingWholePart(finalText), low, high);
  return outcome;
}

}  // namespace

LimitedEditOutcome levelTextChanged(std::string_view text) { return limitEdit(text, 1, 99); }

LimitedEditOutcome classCountTextChanged(std::string_view text) {
  return limitEdit(text, 2, 200);
}

}  // namespace varno
