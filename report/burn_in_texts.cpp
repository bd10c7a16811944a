// The suggested burn-in's tooltip, stderr line and warning.
#include "report/burn_in_texts.h"

#include <algorithm>
#include <array>

#include "core/read_notes.h"
#include "core/text_pieces.h"

namespace varno {

namespace {

constexpr const char* kRule = kSuggestedBurnInRule;

std::string setBy(const AnalysisBurnIn& burnIn, const std::vector<std::string>& names, int chainCount) {
  const std::size_t at = static_cast<std::size_t>(burnIn.column);
  std::string text = "set by ";
  if (burnIn.column >= 0 && at < names.size())
    text.append(names[at]);
  else
    text.append("column ").append(decimal(burnIn.column + 1));
  if (chainCount > 1) text.append(", chain ").append(decimal(burnIn.chain + 1));
  return text;
}

struct Reason {
  MserOutcome outcome;
  const char* withNoun;     // after the count, as the first reason ("columns' least MSER ...")
  const char* withNounOne;  // the same for a count of one
  const char* alone;        // after the count, as a later reason ("constant")
  const char* cell;         // a table cell's words
};

// In the order a tie keeps.
constexpr std::array<Reason, 4> kReasons{{
    {MserOutcome::minimumAtCap, "columns' least MSER lies at half the chain", "column's least MSER lies at half the chain",
     "at half the chain", "minimum at half the chain"},
    {MserOutcome::constant, "columns constant", "column constant", "constant", "constant"},
    {MserOutcome::nonFinite, "columns with a non-finite value", "column with a non-finite value",
     "with a non-finite value", "non-finite value"},
    {MserOutcome::tooFewBatches, "columns with fewer than 10 batches of 5 rows",
     "column with fewer than 10 batches of 5 rows", "with fewer than 10 batches of 5 rows", "fewer than 10 batches"},
}};

// The reasons with a count, most first, ties in kReasons' order.
std::vector<const Reason*> reasonsByCount(const AnalysisBurnIn& burnIn) {
  std::vector<const Reason*> reasons;
  for (const Reason& r : kReasons)
    if (burnIn.count(r.outcome) > 0) reasons.push_back(&r);
  std::stable_sort(reasons.begin(), reasons.end(),
                   [&](const Reason* a, const Reason* b) { return burnIn.count(a->outcome) > burnIn.count(b->outcome); });
  return reasons;
}

}  // namespace

std::string suggestedBurnInTooltip(const AnalysisBurnIn& burnIn, const std::vector<std::string>& names,
                                   int chainCount) {
  return concat("suggested burn-in: ", groupedCount(burnIn.rows, "row", "rows"), " (", kRule, "; ",
                setBy(burnIn, names, chainCount), ")");
}

std::string suggestedBurnInLine(const AnalysisBurnIn& burnIn, const std::vector<std::string>& names,
                                int chainCount) {
  return concat("burn-in: ", groupedCount(burnIn.rows, "row", "rows"), " (suggested: ", kRule, ", ",
                setBy(burnIn, names, chainCount), ")");
}

std::string noBurnInSuggestedWarning(const AnalysisBurnIn& burnIn, int chainCount) {
  std::string text = "no burn-in suggested";
  const std::vector<const Reason*> reasons = reasonsByCount(burnIn);
  if (reasons.empty()) {
    text += ": no quantity column to suggest from";
  } else {
    if (chainCount > 1) text.append(" (columns counted in each of ").append(decimal(chainCount)).append(" chains)");
    text.append(": ");
    for (std::size_t i = 0; i < reasons.size(); ++i) {
      const int n = burnIn.count(reasons[i]->outcome);
      if (i > 0) text.append(", ");
      text.append(decimal(n)).append(" ");
      text.append(i > 0 ? reasons[i]->alone : n == 1 ? reasons[i]->withNounOne : reasons[i]->withNoun);
    }
  }
  return text.append("; the burn-in stays 0");
}

std::string noSuggestionReason(const AnalysisBurnIn& burnIn) {
  const std::vector<const Reason*> reasons = reasonsByCount(burnIn);
  return reasons.empty() ? std::string() : std::string(reasons.front()->cell);
}

}  // namespace varno
