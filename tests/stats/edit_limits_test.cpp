// Tests of the level and class count edit limits and their spinner positions.
#include "stats/edit_limits.h"

#include <gtest/gtest.h>

#include <string>

namespace varno {
namespace {

struct Case {
  const char* text;
  std::optional<std::string> rewrite;
  int position;
};

TEST(EditLimits, LevelStaysWithin1To99) {
  const Case cases[] = {
      {"95", std::nullopt, 95}, {"150", "99", 99},       {"99", std::nullopt, 99},
      {"99.5", "99", 99},       {"a", "1", 1},           {"0", "1", 1},
      {"", "1", 1},             {"-3", "1", 1},          {"95.5", std::nullopt, 95},
      {"0.5", std::nullopt, 1}, {"1", std::nullopt, 1},  {"1e999", "99", 99},
      {"12abc", std::nullopt, 12},
  };
  for (const Case& c : cases) {
    const LimitedEditOutcome out = levelTextChanged(c.text);
    EXPECT_EQ(out.rewriteText, c.rewrite) << '"' << c.text << '"';
    EXPECT_EQ(out.spinnerPosition, c.position) << '"' << c.text << '"';
  }
}

TEST(EditLimits, ClassCountStaysWithin2To200) {
  const Case cases[] = {
      {"30", std::nullopt, 30},   {"500", "200", 200},        {"200", std::nullopt, 200},
      {"200.5", "200", 200},      {"0", "2", 2},              {"1", "2", 2},
      {"x", "2", 2},              {"", "2", 2},               {"30.7", std::nullopt, 30},
      {"1.5", std::nullopt, 2},   {"2", std::nullopt, 2},
  };
  for (const Case& c : cases) {
    const LimitedEditOutcome out = classCountTextChanged(c.text);
    EXPECT_EQ(out.rewriteText, c.rewrite) << '"' << c.text << '"';
    EXPECT_EQ(out.spinnerPosition, c.position) << '"' << c.text << '"';
  }
}

TEST(EditLimits, ARewrittenTextNeedsNoFurtherCorrection) {
  // The write runs the handler again at once; it must settle on the first rerun.
  for (const char* text : {"500", "a", "0", "-1e999", "1e999"}) {
    for (auto limit : {&levelTextChanged, &classCountTextChanged}) {
      const LimitedEditOutcome out = limit(text);
      ASSERT_TRUE(out.rewriteText) << text;
      const LimitedEditOutcome rerun = limit(*out.rewriteText);
      EXPECT_FALSE(rerun.rewriteText) << text;
      EXPECT_EQ(rerun.spinnerPosition, out.spinnerPosition) << text;
    }
  }
}

}  // namespace
}  // namespace varno
