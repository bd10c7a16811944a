#include "core/factor_decision_hint.h"

#include <gtest/gtest.h>

namespace varno {
namespace {

// Each way a decision came about, as the window and the tool name it: a wrong branch would give
// the other front end's advice or blame the factors file for a count it did not set.
TEST(FactorDecisionHint, NamesWhatSetTheCountInEachFrontEndsWords) {
  const std::string twoLines = "g[1]=1 2\ng[2]=3 4\n";
  const std::string windowWithout =
      "it was opened without environmental factors; if it was written with them, open it again and choose its "
      "factors file";
  const std::string toolWithout =
      "it was read without a factors file, as having no environmental factors; if it was written with them, give "
      "its factors file after the data file";
  const std::string fileHint = "the factors file \"f.txt\" has 2 factor lines; does it belong to this data file?";
  struct Case {
    FactorDecisionSource source;
    HintVoice voice;
    std::string hint;
  };
  const Case cases[] = {
      {{0, std::nullopt, "", ""}, HintVoice::window, windowWithout},
      {{0, std::nullopt, "", ""}, HintVoice::tool, toolWithout},
      // factors declined in the window although the file has lines
      {{0, std::nullopt, "f.txt", twoLines}, HintVoice::window, windowWithout},
      {{2, std::nullopt, "f.txt", twoLines}, HintVoice::window, fileHint},
      {{2, -1, "f.txt", twoLines}, HintVoice::tool, fileHint},
      {{2, 0, "f.txt", twoLines}, HintVoice::window,
       "the factor mode of the command line does not fit it; was the data file written with another one?"},
      {{2, 0, "", ""}, HintVoice::tool, "MODE 0 sets two factors; was the data file written with them?"},
      {{3, 1, "", ""}, HintVoice::tool, "MODE 1 sets two factors and their interaction; was the data file written with them?"},
      {{0, 2, "", ""}, HintVoice::tool, "MODE 2 sets no factors; was the data file written with them?"},
  };
  for (const Case& c : cases) EXPECT_EQ(factorDecisionHint(c.source, c.voice), c.hint) << c.hint;
}

}  // namespace
}  // namespace varno
