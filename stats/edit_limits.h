// Limits of the HPDI level and histogram class count edits and the positions of their spinners.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varno {

struct LimitedEditOutcome {
  // The text to write into the edit when its value is out of range; nullopt to keep it.
  std::optional<std::string> rewriteText;
  // The spinner position: the leading whole part of the final text, within the spinner's range.
  int spinnerPosition = 0;
};

// The level edit: a decimal reading above 99 becomes "99", one not above 0 becomes "1"; the
// spinner runs 1..99 ("95.5" keeps its text and gives 95).
LimitedEditOutcome levelTextChanged(std::string_view text);

// The class count edit: above 200 becomes "200", not above 1 becomes "2"; the spinner runs
// 2..200 ("30.7" gives 30).
LimitedEditOutcome classCountTextChanged(std::string_view text);

}  // namespace varno
