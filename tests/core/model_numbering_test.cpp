// Model numbering: the factors each model number stands for.
#include "core/model_numbering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace varno {
namespace {

// Names of the factors of model m, highest first, as the model texts list them.
std::vector<std::string> modelFactorNames(int model, int factorCount, bool hasInteraction) {
  std::vector<std::string> names;
  for (int f : factorsInModel(model, factorCount, hasInteraction)) names.push_back(factorName(f, hasInteraction));
  return names;
}

struct Case {
  int factorCount;
  bool interaction;
  // factors of models 1 .. modelCount, highest first
  std::vector<std::vector<int>> models;
};

const Case kCases[] = {
    {0, false, {{}}},
    {1, false, {{}, {1}}},
    {2, false, {{}, {1}, {2}, {2, 1}}},
    {3, false, {{}, {1}, {2}, {2, 1}, {3}, {3, 1}, {3, 2}, {3, 2, 1}}},
    {3, true, {{}, {1}, {2}, {2, 1}, {3, 2, 1}}},
};

TEST(ModelNumbering, EveryModelOfEveryLayout) {
  for (const Case& c : kCases) {
    SCOPED_TRACE("F=" + std::to_string(c.factorCount) + (c.interaction ? " with interaction" : ""));
    ASSERT_EQ(modelCount(c.factorCount, c.interaction), static_cast<int>(c.models.size()));
    for (int m = 1; m <= modelCount(c.factorCount, c.interaction); ++m) {
      SCOPED_TRACE("model " + std::to_string(m));
      const std::vector<int>& expected = c.models[m - 1];
      EXPECT_EQ(factorsInModel(m, c.factorCount, c.interaction), expected);
      for (int f = 1; f <= c.factorCount; ++f) {
        const bool in = std::find(expected.begin(), expected.end(), f) != expected.end();
        EXPECT_EQ(FactorInModel(m, f, c.factorCount, c.interaction), in) << "factor " << f;
      }
      // Without the interaction's model 5, membership is exactly bit f-1 of m-1.
      if (!(c.interaction && m == 5)) {
        for (int f = 1; f <= c.factorCount; ++f)
          EXPECT_EQ(FactorInModel(m, f, c.factorCount, c.interaction), (((m - 1) >> (f - 1)) & 1) != 0);
      }
    }
  }
}

TEST(ModelNumbering, InteractionModelDecodesAsEight) {
  EXPECT_EQ(decodeCode(5, true), 8);
  EXPECT_EQ(decodeCode(5, false), 5);
  EXPECT_EQ(decodeCode(4, true), 4);
  EXPECT_EQ(modelFactorNames(5, 3, true), (std::vector<std::string>{"G1*G2", "G2", "G1"}));
  EXPECT_EQ(modelFactorNames(8, 3, false), (std::vector<std::string>{"G3", "G2", "G1"}));
  EXPECT_EQ(modelFactorNames(1, 3, true), std::vector<std::string>{});
}

TEST(ModelNumbering, FactorNames) {
  EXPECT_EQ(factorName(1, false), "G1");
  EXPECT_EQ(factorName(3, false), "G3");
  EXPECT_EQ(factorName(3, true), "G1*G2");
  EXPECT_EQ(factorName(2, true), "G2");
}

TEST(ModelNumbering, OutOfRangeInputsAreHarmless) {
  // Model numbers read from a file can be anything; none may hold a factor that does not exist.
  for (int m : {-7, 0, 1}) EXPECT_TRUE(factorsInModel(m, 3, false).empty()) << m;
  EXPECT_FALSE(FactorInModel(4, 0, 2, false));
  EXPECT_FALSE(FactorInModel(4, 3, 2, false));
  EXPECT_EQ(modelCount(-1, false), 1);
  EXPECT_LE(factorsInModel(2000, 3, false).size(), 3u);
}

}  // namespace
}  // namespace varno
