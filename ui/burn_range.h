// The burn-in and burn-out as the data range edits say them, read once whenever either text
// changes: every page takes them from here.
#pragma once

#include <optional>
#include <string_view>

#include "stats/text_numbers.h"

namespace varno {

struct BurnRange {
  std::optional<long long> burnIn;   // nothing while the text is not a whole number
  std::optional<long long> burnOut;
  bool valid() const { return burnIn && burnOut; }
};

inline BurnRange readBurnRange(std::string_view burnInText, std::string_view burnOutText) {
  return {parseWholeNumber(burnInText), parseWholeNumber(burnOutText)};
}

}  // namespace varno
