// Every mode of the tool opens an analysis the one way: a bad request is refused with the same
// message whether the report, the summary table, the chains table or the open itself meets it.
#include "report/open_analysis.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "report/chain_outputs.h"
#include "report/summary_table.h"
#include "report/unattended_run.h"
#include "temp_folder.h"

namespace varno {
namespace {

using testing::TempFolder;

// No factors, one population: iteration, Sigma², log likelihood, Fst1, model, a0.
std::string trace(int rows, const std::string& model = "1", const std::string& extra = "") {
  std::string text;
  for (int r = 0; r < rows; ++r)
    text += std::to_string(r) + " 0.05 -10 0." + std::to_string(r % 9 + 1) + " " + model + " -2.0" + extra + "\n";
  return text;
}

TEST(OpenAnalysis, EveryModeRefusesABadRequestWithTheSameMessage) {
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  const std::string data = dir.write("a.fst", trace(10));
  const std::string factors = dir.write("f.txt", "npop=1\n");
  const std::string wide = dir.write("wide.fst", trace(10, "1", " 0.5"));
  const std::string fractions = dir.write("fractions.fst", trace(10, "1.5"));
  const std::string q = "\"";
  struct Case {
    std::function<void(AnalysisRequest&)> change;
    std::string message;
    bool fromArguments;
  };
  const Case cases[] = {
      {[](AnalysisRequest& r) { r.burnIn = 9; },
       q + data + q + ": a burn-in of 9 and a burn-out of 0 leave 1 of the 10 rows; at least two rows must remain", true},
      {[&](AnalysisRequest& r) { r.chainPaths = {data}; },
       q + data + q + " is already chain 1 of the analysis: one file read as two chains would count its draws twice",
       true},
      {[&](AnalysisRequest& r) { r.chainPaths = {wide}; },
       q + wide + q + " has 7 columns and the first chain " + q + data + q +
           " has 6 columns: the chains of one analysis must have the same columns",
       false},
      // the hint names what set the factor count: here the factors file
      {[&](AnalysisRequest& r) { r.dataPath = fractions; },
       q + fractions + q + ": column 5 should hold model number 1 (no factors) but holds 1.5 in row 1: the factors file " +
           q + factors + q + " has 0 factor lines; does it belong to this data file?",
       false},
      {[&](AnalysisRequest& r) { r.dataPath = dir.path("missing.fst"); },
       "cannot open " + q + dir.path("missing.fst") + q + ": No such file or directory", false},
      {[&](AnalysisRequest& r) { r.factorsPath = dir.path("missing.txt"); },
       "cannot open " + q + dir.path("missing.txt") + q + ": No such file or directory", false},
  };
  for (const Case& c : cases) {
    AnalysisRequest request;
    request.dataPath = data;
    request.factorsPath = factors;
    c.change(request);
    std::vector<std::string> warnings;
    OpenedAnalysis opened;
    const std::optional<RunError> refused = openAnalysis(request, opened, warnings);
    ASSERT_TRUE(refused) << c.message;
    EXPECT_EQ(refused->message, c.message);
    EXPECT_EQ(refused->fromArguments, c.fromArguments) << c.message;

    UnattendedOptions report;
    report.dataPath = request.dataPath;
    report.factorsPath = request.factorsPath;
    report.burnIn = request.burnIn;
    report.chainPaths = request.chainPaths;
    const UnattendedResult run = buildUnattendedReport(report);
    ASSERT_TRUE(run.error) << c.message;
    EXPECT_EQ(run.error->message, c.message);

    SummaryTableOptions summary;
    static_cast<AnalysisRequest&>(summary) = request;
    const SummaryTableResult table = runSummaryTable(summary);
    ASSERT_TRUE(table.error) << c.message;
    EXPECT_EQ(table.error->message, c.message);

    ChainsTableOptions chains;
    static_cast<AnalysisRequest&>(chains) = request;
    const ChainsTableResult compared = runChainsTable(chains);
    ASSERT_TRUE(compared.error) << c.message;
    EXPECT_EQ(compared.error->message, c.message);
  }
}

}  // namespace
}  // namespace varno
