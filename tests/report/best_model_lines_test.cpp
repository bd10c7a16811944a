// The best model's lines under the model chart, written from a summary's numbers.
#include "report/best_model_lines.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace varno {
namespace {

struct Case {
  const char* what;
  int factors;
  bool interaction;
  int best;
  double counted;  // rows counted for the best model
  int retained;
  bool summarised;
  std::vector<double> modes;  // the coefficients' modes, constant first
  double sigmaMode;
  std::array<const char*, 3> lines;
};

ModelSummaryResult resultOf(const Case& c) {
  ModelSummaryResult r;
  r.bestModel = c.best;
  r.modelProbabilities[static_cast<std::size_t>(c.best - 1)] = c.counted;
  r.retainedRows = c.retained;
  r.bestModelSummarised = c.summarised;
  r.coefficientSummary.resize(c.modes.size());
  r.coefficientSummary.mode = c.modes;
  r.sigmaSummary = {-9, c.sigmaMode, -9, -9};
  return r;
}

TEST(BestModelLines, NameTheBestModelItsShareAndItsModes) {
  const Case cases[] = {
      {"every row in model 3", 2, false, 3, 10, 10, true, {0.5, 7, -0.25}, 0.125,
       {"Factors included in the highest probability model (P(3)=1):", "  - Constant (a0=0.5),  G2 (a2=-0.25)",
        "  - Sigma\u00B2=0.125"}},
      {"tie goes to the lower model", 2, false, 2, 2, 5, true, {0, 0, 0}, 1,
       {"Factors included in the highest probability model (P(2)=0.4):", "  - Constant (a0=0),  G1 (a1=0)",
        "  - Sigma\u00B2=1"}},
      {"tie between 3 and 4", 2, false, 3, 2, 4, true, {0, 0, 0}, 1,
       {"Factors included in the highest probability model (P(3)=0.5):", "  - Constant (a0=0),  G2 (a2=0)",
        "  - Sigma\u00B2=1"}},
      {"rows without a model number count in the share", 2, false, 2, 2, 10, true, {0, 0, 0}, 1,
       {"Factors included in the highest probability model (P(2)=0.2):", "  - Constant (a0=0),  G1 (a1=0)",
        "  - Sigma\u00B2=1"}},
      {"interaction model 5", 3, true, 5, 3, 6, true, {1, 2, 3, 4}, 0.5,
       {"Factors included in the highest probability model (P(5)=0.5):",
        "  - Constant (a0=1),  G1*G2 (a3=4),  G2 (a2=3),  G1 (a1=2)", "  - Sigma\u00B2=0.5"}},
      {"no factors", 0, false, 1, 4, 4, true, {-1.5}, 2,
       {"Factors included in the highest probability model (P(1)=1):", "  - Constant (a0=-1.5)",
        "  - Sigma\u00B2=2"}},
      {"no retained row", 2, false, 1, 0, 0, false, {7, 7, 7}, 7,
       {"Factors included in the highest probability model (P(1)=0):", "  - Constant (a0=7)", "  - Sigma\u00B2=7"}},
      {"best model with one row keeps the earlier modes and names its factors alone", 2, false, 4, 1, 2, false,
       {0.0123, 8, 9}, 2,
       {"Factors included in the highest probability model (P(4)=0.5):", "  - Constant (a0=0.0123),  G2,  G1",
        "  - Sigma\u00B2=2"}},
  };
  for (const Case& c : cases) {
    const std::array<std::string, 3> lines = bestModelLines(resultOf(c), c.factors, c.interaction);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(lines[i], c.lines[i]) << c.what << ", line " << i + 1;
  }
}

}  // namespace
}  // namespace varno
