// The unattended report run on tiny hand-made traces: key report lines, factor decisions, refusals.
#include "report/unattended_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "report/results_report.h"
#include "temp_folder.h"

namespace varno {
namespace {

using testing::TempFolder;
using testing::readWhole;

// One factor, two populations: iteration, Sigma², log likelihood, Fst1, Fst2, model, a0, a1.
// Model 1 in the first row, model 2 in the three others.
constexpr const char* kOneFactorTrace =
    "0 0.05 -10 0.1 0.3 1 -2.0 0.0\n"
    "1 0.06 -11 0.2 0.3 2 -2.1 0.7\n"
    "2 0.07 -12 0.3 0.3 2 -2.2 0.8\n"
    "3 0.08 -13 0.4 0.3 2 -2.3 0.9\n";

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& wanted) {
  for (const std::string& line : lines) {
    if (line == wanted) return true;
  }
  return false;
}

class UnattendedRun : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.ok()); }

  UnattendedOptions oneFactorOptions() {
    UnattendedOptions o;
    o.dataPath = folder.write("lake.fst", kOneFactorTrace);
    o.factorsPath = folder.write("lake.txt", "npop=2\ng[1]=1.5 -0.25\n");
    return o;
  }

  TempFolder folder;
};

TEST_F(UnattendedRun, ReportOfOneFactorTraceHoldsItsKeyLines) {
  const UnattendedResult result = buildUnattendedReport(oneFactorOptions());
  ASSERT_FALSE(result.error) << result.error->message;
  const std::vector<std::string> lines = linesOf(result.report->text);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1], "       mean    mode        95% HPDI       G1      ");
  EXPECT_EQ(lines[2].substr(0, 15), "Pop1   0.250   ");
  EXPECT_EQ(lines[2].substr(lines[2].size() - 11), "]  1.50    ");
  EXPECT_EQ(lines[3].substr(0, 15), "Pop2   0.300   ");
  EXPECT_EQ(lines[3].substr(lines[3].size() - 11), "]  -0.250  ");
  EXPECT_TRUE(hasLine(lines, "P(model=1)= 0.250  (Constant)"));
  EXPECT_TRUE(hasLine(lines, "P(model=2)= 0.750  (Constant, G1)"));
  EXPECT_TRUE(hasLine(lines, "P(G1)= 0.750 "));
  EXPECT_TRUE(hasLine(lines, "Highest probaility model: 2 (Constant, G1)"));
  // a1 over the rows of model 2 only: 0.7, 0.8, 0.9
  bool coefficientLine = false;
  for (const std::string& line : lines) coefficientLine |= line.rfind("a1     0.800   ", 0) == 0;
  EXPECT_TRUE(coefficientLine);
  EXPECT_EQ(result.report->path, batchReportName(oneFactorOptions().dataPath));
  EXPECT_TRUE(result.report->warnings.empty());
}

TEST_F(UnattendedRun, BurnInLeavesOutLeadingRowsOfProbabilities) {
  UnattendedOptions o = oneFactorOptions();
  o.burnIn = 1;
  const UnattendedResult result = buildUnattendedReport(o);
  ASSERT_FALSE(result.error) << result.error->message;
  const std::vector<std::string> lines = linesOf(result.report->text);
  EXPECT_TRUE(hasLine(lines, "P(model=1)= 0.00   (Constant)"));
  EXPECT_TRUE(hasLine(lines, "P(model=2)= 1.00   (Constant, G1)"));
}

TEST_F(UnattendedRun, RunWritesTheBuiltTextToTheChosenPath) {
  UnattendedOptions o = oneFactorOptions();
  for (const std::optional<std::string>& output : {std::optional<std::string>{}, std::optional(folder.path("out.txt"))}) {
    o.outputPath = output;
    const UnattendedResult result = runUnattendedReport(o);
    ASSERT_FALSE(result.error) << result.error->message;
    const std::string expectedPath = output ? *output : folder.path("lake_res.txt");
    EXPECT_EQ(result.report->path, expectedPath);
    EXPECT_EQ(readWhole(expectedPath), result.report->text);
  }
}

// Two factor lines for two populations, and a trace of ten columns: with the interaction it has
// three factors and two populations, without it two factors and three populations. Columns 6 and 7
// hold whole numbers, so that both readings find model numbers where they look for them.
TEST_F(UnattendedRun, TwoFactorLinesNeedTheInteractionAnswer) {
  struct Case {
    const char* name;
    std::optional<int> mode;
    std::optional<bool> interaction;
    std::optional<bool> askedAnswer;  // a hook that answers, or no hook
    bool expectError;
    int populationLines;
    bool interactionInHeader;
  };
  const Case cases[] = {
      {"unanswered", std::nullopt, std::nullopt, std::nullopt, true, 0, false},
      {"answered yes", std::nullopt, true, std::nullopt, false, 2, true},
      {"answered no", std::nullopt, false, std::nullopt, false, 3, false},
      {"asked, yes", std::nullopt, std::nullopt, true, false, 2, true},
      {"mode 1 asks nothing", 1, std::nullopt, std::nullopt, false, 2, true},
      {"mode 0 asks nothing", 0, std::nullopt, std::nullopt, false, 3, false},
  };
  UnattendedOptions o;
  o.dataPath = folder.write("two.fst",
                            "0 0.05 -10 0.1 0.2 1 4 1 2 3\n"
                            "1 0.06 -11 0.2 0.3 1 4 1 2 3\n"
                            "2 0.07 -12 0.3 0.4 1 4 1 2 3\n");
  o.factorsPath = folder.write("two.txt", "g[1]=0.1 0.5 0.9\ng[2]=12 15 11\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    o.factorMode = c.mode;
    o.interaction = c.interaction;
    bool asked = false;
    o.askInteraction = {};
    if (c.askedAnswer) o.askInteraction = [&] { asked = true; return *c.askedAnswer; };
    const UnattendedResult result = buildUnattendedReport(o);
    if (c.expectError) {
      ASSERT_TRUE(result.error);
      EXPECT_TRUE(result.error->fromArguments);
      EXPECT_NE(result.error->message.find("--interaction yes|no"), std::string::npos) << result.error->message;
      EXPECT_NE(result.error->message.find("two.txt"), std::string::npos);
      continue;
    }
    ASSERT_FALSE(result.error) << result.error->message;
    EXPECT_EQ(asked, c.askedAnswer.has_value());
    const std::vector<std::string> lines = linesOf(result.report->text);
    int populations = 0;
    for (const std::string& line : lines) populations += line.rfind("Pop", 0) == 0;
    EXPECT_EQ(populations, c.populationLines);
    EXPECT_EQ(lines[1].find("G1*G2") != std::string::npos, c.interactionInHeader);
  }
}

TEST_F(UnattendedRun, RefusalsNameTheFaultAndItsKind) {
  struct Case {
    const char* name;
    std::string dataName, dataText, factorsName;  // factorsName empty: the default factors file
    long long burnIn, burnOut;
    const char* expectedPiece;
    bool fromArguments;
  };
  const Case cases[] = {
      {"missing data file", "absent.fst", "", "", 0, 0, "absent.fst", false},
      {"data file not numbers", "words.fst", "iteration sigma\n", "", 0, 0, "words.fst", false},
      {"not an fst file", "trace.ml", kOneFactorTrace, "", 0, 0, "not an .fst file", false},
      {"too few columns", "narrow.fst", "0 1 2 3 4\n1 1 2 3 4\n", "", 0, 0, "needs at least 6", false},
      {"missing factors file", "lake.fst", kOneFactorTrace, "absent.txt", 0, 0, "absent.txt", false},
      {"one row", "short.fst", "0 0.05 -10 0.1 0.3 1 -2.0 0.0\n", "", 0, 0, "at least two", false},
      {"range leaves one row", "lake.fst", kOneFactorTrace, "", 2, 1, "leave 1 of the 4 rows", true},
      {"negative burn-out", "lake.fst", kOneFactorTrace, "", 0, -1, "negative", true},
  };
  const std::string factors = folder.write("lake.txt", "g[1]=1.5 -0.25\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UnattendedOptions o;
    // an empty text stands for a file that is not there
    o.dataPath = c.dataText.empty() ? folder.path(c.dataName) : folder.write(c.dataName, c.dataText);
    o.factorsPath = c.factorsName.empty() ? factors : folder.path(c.factorsName);
    o.burnIn = c.burnIn;
    o.burnOut = c.burnOut;
    const UnattendedResult result = runUnattendedReport(o);
    ASSERT_TRUE(result.error);
    EXPECT_FALSE(result.report);
    EXPECT_NE(result.error->message.find(c.expectedPiece), std::string::npos) << result.error->message;
    EXPECT_EQ(result.error->fromArguments, c.fromArguments);
    EXPECT_FALSE(std::filesystem::exists(batchReportName(o.dataPath)));
  }
}

TEST_F(UnattendedRun, RowsAfterABadLineAreDroppedWithAWarning) {
  UnattendedOptions o = oneFactorOptions();
  o.dataPath = folder.write("cut.fst", std::string(kOneFactorTrace) + "4 0.09 oops\n5 0.1 -1 0.1 0.3 1 -2 0\n");
  const UnattendedResult result = buildUnattendedReport(o);
  ASSERT_FALSE(result.error) << result.error->message;
  ASSERT_EQ(result.report->warnings.size(), 1u);
  EXPECT_NE(result.report->warnings[0].find("line 5"), std::string::npos) << result.report->warnings[0];
  EXPECT_TRUE(hasLine(linesOf(result.report->text), "P(model=2)= 0.750  (Constant, G1)"));
}

}  // namespace
}  // namespace varno
