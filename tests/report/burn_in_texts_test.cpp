// What the window and the tool say of a suggested burn-in, and of none.
#include "report/burn_in_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varno {
namespace {

AnalysisBurnIn suggested(std::int64_t rows, int column, int chain) {
  AnalysisBurnIn burnIn;
  burnIn.suggested = true;
  burnIn.rows = rows;
  burnIn.column = column;
  burnIn.chain = chain;
  return burnIn;
}

TEST(BurnInTexts, SuggestionNamesTheColumnAndWithSeveralChainsTheChain) {
  const std::vector<std::string> names = {"Iteration", "sigma", "tau"};
  struct Case {
    AnalysisBurnIn burnIn;
    int chains;
    const char* tooltip;
    const char* line;
  };
  const Case cases[] = {
      {suggested(1500, 2, 1), 2, "suggested burn-in: 1,500 rows (MSER-5; set by tau, chain 2)",
       "burn-in: 1,500 rows (suggested: MSER-5, set by tau, chain 2)"},
      {suggested(1234567, 1, 0), 1, "suggested burn-in: 1,234,567 rows (MSER-5; set by sigma)",
       "burn-in: 1,234,567 rows (suggested: MSER-5, set by sigma)"},
      {suggested(0, 2, 0), 1, "suggested burn-in: 0 rows (MSER-5; set by tau)",
       "burn-in: 0 rows (suggested: MSER-5, set by tau)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(suggestedBurnInTooltip(c.burnIn, names, c.chains), c.tooltip);
    EXPECT_EQ(suggestedBurnInLine(c.burnIn, names, c.chains), c.line);
  }
}

TEST(BurnInTexts, NoSuggestionSaysWhyMostFrequentReasonFirst) {
  auto counts = [](int cap, int constant, int nonFinite, int few) {
    AnalysisBurnIn burnIn;
    burnIn.column = burnIn.chain = -1;
    burnIn.withoutSuggestion[static_cast<std::size_t>(MserOutcome::minimumAtCap)] = cap;
    burnIn.withoutSuggestion[static_cast<std::size_t>(MserOutcome::constant)] = constant;
    burnIn.withoutSuggestion[static_cast<std::size_t>(MserOutcome::nonFinite)] = nonFinite;
    burnIn.withoutSuggestion[static_cast<std::size_t>(MserOutcome::tooFewBatches)] = few;
    return burnIn;
  };
  struct Case {
    AnalysisBurnIn burnIn;
    int chains;
    const char* warning;
    const char* cell;
  };
  const Case cases[] = {
      {counts(23, 2, 0, 0), 1,
       "no burn-in suggested: 23 columns' least MSER lies at half the chain, 2 constant; the burn-in stays 0",
       "minimum at half the chain"},
      {counts(1, 0, 0, 0), 1, "no burn-in suggested: 1 column's least MSER lies at half the chain; the burn-in stays 0",
       "minimum at half the chain"},
      {counts(1, 3, 0, 0), 1,
       "no burn-in suggested: 3 columns constant, 1 at half the chain; the burn-in stays 0", "constant"},
      {counts(0, 0, 1, 1), 1,
       "no burn-in suggested: 1 column with a non-finite value, 1 with fewer than 10 batches of 5 rows; "
       "the burn-in stays 0",
       "non-finite value"},
      {counts(0, 0, 0, 4), 2,
       "no burn-in suggested (columns counted in each of 2 chains): 4 columns with fewer than 10 batches of 5 rows; "
       "the burn-in stays 0",
       "fewer than 10 batches"},
      {counts(0, 0, 0, 0), 1, "no burn-in suggested: no quantity column to suggest from; the burn-in stays 0", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(noBurnInSuggestedWarning(c.burnIn, c.chains), c.warning);
    EXPECT_EQ(noSuggestionReason(c.burnIn), c.cell);
  }
}

}  // namespace
}  // namespace varno
