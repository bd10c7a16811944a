// What the window and the tool say of a suggested burn-in.
#pragma once

#include <string>
#include <vector>

#include "stats/mser_burn_in.h"

namespace varno {

// The rule's name, as the texts and the record give it.
inline constexpr const char* kSuggestedBurnInRule = "MSER-5";

// The rule and who set it: "MSER-5; set by tau, chain 2" style pieces share these. `names` are
// the columns as the choosers show them (summaryColumnNames); the chain is named only when the
// analysis has several (one chain has nothing to tell apart).

// The trace plot's tooltip: "suggested burn-in: 1,500 rows (MSER-5; set by tau, chain 2)".
std::string suggestedBurnInTooltip(const AnalysisBurnIn& burnIn, const std::vector<std::string>& names,
                                   int chainCount);

// The tool's line on standard error: "burn-in: 1,500 rows (suggested: MSER-5, set by tau, chain 2)".
std::string suggestedBurnInLine(const AnalysisBurnIn& burnIn, const std::vector<std::string>& names,
                                int chainCount);

// When nothing gives a suggestion, why, by the number of columns (of each chain, with several)
// for each reason, most first: "no burn-in suggested: 23 columns' least MSER lies at half the
// chain, 2 constant; the burn-in stays 0".
std::string noBurnInSuggestedWarning(const AnalysisBurnIn& burnIn, int chainCount);

// One column's reason for giving no suggestion, for a table cell: "minimum at half the chain",
// "constant", "non-finite value", "fewer than 10 batches"; with several reasons over its chains
// the most frequent (the first of these on a tie).
std::string noSuggestionReason(const AnalysisBurnIn& burnIn);

}  // namespace varno
