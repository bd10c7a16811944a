// Reading the model prior weights: what is refused, and how weights become probabilities.
#include "stats/model_prior.h"

#include <gtest/gtest.h>

namespace varno {
namespace {

TEST(ModelPrior, ReadsWeightsAndNormalisesThem) {
  const auto parsed = parseModelPrior(" 1, 1,1 ,1,4", 5);
  ASSERT_TRUE(std::holds_alternative<std::vector<double>>(parsed)) << std::get<std::string>(parsed);
  const auto& weights = std::get<std::vector<double>>(parsed);
  EXPECT_EQ(modelPriorText(weights), "1,1,1,1,4");
  const std::vector<double> prior = modelPriorProbabilities(weights, 5);
  EXPECT_EQ(prior, (std::vector<double>{0.125, 0.125, 0.125, 0.125, 0.5}));
  // no weights: uniform; huge weights still sum to 1
  EXPECT_EQ(modelPriorProbabilities({}, 4), (std::vector<double>{0.25, 0.25, 0.25, 0.25}));
  EXPECT_EQ(modelPriorProbabilities({1e308, 1e308}, 2), (std::vector<double>{0.5, 0.5}));
}

TEST(ModelPrior, RefusesWhatIsNoPriorWithOneLineSayingWhy) {
  struct Case {
    const char* text;
    int models;
    const char* message;
  };
  const Case cases[] = {
      {"1,1,1", 5, "the model prior has 3 weights but the analysis has 5 models: give one weight per model, in model order, separated by commas"},
      {"1", 2, "the model prior has 1 weight but the analysis has 2 models: give one weight per model, in model order, separated by commas"},
      {"1,-1", 2, "weight 2 of the model prior (\"-1\") is negative: weights must be 0 or more"},
      {"1,abc", 2, "weight 2 of the model prior (\"abc\") is not a number"},
      {"1,", 2, "weight 2 of the model prior (\"\") is not a number"},
      {"1,2x", 2, "weight 2 of the model prior (\"2x\") is not a number"},
      {"inf,1", 2, "weight 1 of the model prior (\"inf\") is not a number"},
      {"0,0,0,0", 4, "the model prior's weights are all 0: give at least one model a positive weight"},
  };
  for (const Case& c : cases) {
    const auto parsed = parseModelPrior(c.text, c.models);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << c.text;
    EXPECT_EQ(std::get<std::string>(parsed), c.message);
  }
}

}  // namespace
}  // namespace varno
