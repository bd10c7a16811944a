// The model help text for each factor setting.
#include "core/model_help.h"

#include <gtest/gtest.h>

namespace varno {
namespace {

TEST(ModelHelp, ListsTheFactorsOfEveryModel) {
  const std::string head = "Factors included in the models:\n\n";
  struct Case {
    int factors;
    bool interaction;
    std::string lines;
  } cases[] = {
      {0, false, "Model 1: Constant\n"},
      {1, false, "Model 1: Constant\nModel 2: Constant, G1\n"},
      {2, false,
       "Model 1: Constant\nModel 2: Constant, G1\nModel 3: Constant, G2\nModel 4: Constant, G2, G1\n"},
      {3, true,
       "Model 1: Constant\nModel 2: Constant, G1\nModel 3: Constant, G2\nModel 4: Constant, G2, G1\n"
       "Model 5: Constant, G1*G2, G2, G1\n"},
      {3, false,
       "Model 1: Constant\nModel 2: Constant, G1\nModel 3: Constant, G2\nModel 4: Constant, G2, G1\n"
       "Model 5: Constant, G3\nModel 6: Constant, G3, G1\nModel 7: Constant, G3, G2\n"
       "Model 8: Constant, G3, G2, G1\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(modelHelpText(c.factors, c.interaction), head + c.lines)
        << c.factors << " factors, interaction " << c.interaction;
  }
}

}  // namespace
}  // namespace varno
