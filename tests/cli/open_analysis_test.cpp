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

// A data file, its factors file, and further chains that do not fit it: one column more, or
// fractions in the model column.
class OpenAnalysis : public ::testing::Test {
 protected:
  TempFolder dir;
  const std::string data = dir.write("a.fst", trace(10));
  const std::string factors = dir.write("f.txt", "npop=1\n");
  const std::string wide = dir.write("wide.fst", trace(10, "1", " 0.5"));
  const std::string fractions = dir.write("fractions.fst", trace(10, "1.5"));
  const std::string q = "\"";
};

TEST_F(OpenAnalysis, EveryModeRefusesABadRequestWithTheSameMessage) {
  ASSERT_TRUE(dir.ok());
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

// The window opens with the factors its questions decided (the factors file is its own to read),
// fits a burn range that leaves too few rows, and words its hints for its own questions; the tool
// refuses what the window fits.
TEST_F(OpenAnalysis, TheWindowsRequestDiffersFromTheToolsOnlyWhereItSaysSo) {
  ASSERT_TRUE(dir.ok());
  const std::string index = dir.write("CODAindex.txt", "alpha 1 3\nbeta 4 6\n");
  const struct {
    const char* name;
    std::function<void(AnalysisRequest&)> change;
    std::string tool;    // the tool's refusal
    std::string window;  // the window's, or empty when it opens the file
  } cases[] = {
      {"a burn-in that leaves one row", [](AnalysisRequest& r) { r.burnIn = 9; },
       q + data + q + ": a burn-in of 9 and a burn-out of 0 leave 1 of the 10 rows; at least two rows must remain",
       ""},
      {"a factors file that is not there", [&](AnalysisRequest& r) { r.factorsPath = dir.path("missing.txt"); },
       "cannot open " + q + dir.path("missing.txt") + q + ": No such file or directory", ""},
      {"a model column that does not fit", [&](AnalysisRequest& r) { r.dataPath = fractions; },
       q + fractions + q +
           ": column 5 should hold model number 1 (no factors) but holds 1.5 in row 1: it was read without a factors "
           "file, as having no environmental factors; if it was written with them, give its factors file after the "
           "data file",
       q + fractions + q +
           ": column 5 should hold model number 1 (no factors) but holds 1.5 in row 1: it was opened without "
           "environmental factors; if it was written with them, open it again and choose its factors file"},
      {"an index without chain files", [&](AnalysisRequest& r) { r.dataPath = index; },
       q + index + q + ": no chain file beside it (looked for \"CODAchain1.txt\"); name the chain files with --chain",
       q + index + q + ": no chain file beside it (looked for \"CODAchain1.txt\")"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AnalysisRequest tool;
    tool.dataPath = data;
    c.change(tool);
    AnalysisRequest window = tool;
    window.decision = FactorDecision{0, false};
    window.voice = HintVoice::window;
    window.fitRange = true;

    OpenedAnalysis opened;
    std::vector<std::string> warnings;
    const std::optional<RunError> toolRefused = openAnalysis(tool, opened, warnings);
    ASSERT_TRUE(toolRefused);
    EXPECT_EQ(toolRefused->message, c.tool);

    std::vector<OpenWarning> noted;
    const std::optional<RunError> windowRefused = openAnalysis(window, opened, noted);
    if (!c.window.empty()) {
      ASSERT_TRUE(windowRefused);
      EXPECT_EQ(windowRefused->message, c.window);
      continue;
    }
    ASSERT_FALSE(windowRefused) << windowRefused->message;
    ASSERT_EQ(opened.chains.size(), 1u);
    EXPECT_EQ(opened.chainFiles, std::vector<std::string>{window.dataPath});
    // a range that does not fit retains every row, as the window's edits will say
    EXPECT_EQ(opened.chains[0].rows, (RowRange{0, 10}));
    EXPECT_TRUE(noted.empty());
  }
}

// A chain added to an open analysis is refused or taken as a further chain of a request is, in the
// tool's words or the window's; a chain that cannot be read says so apart from one that does not fit.
TEST_F(OpenAnalysis, AFurtherChainIsCheckedAsTheRequestsChainsAre) {
  ASSERT_TRUE(dir.ok());
  const std::string other = dir.write("b.frq", "1 2\n");
  const std::string missing = dir.path("missing.fst");
  const std::string modelFault = ": column 5 should hold model number 1 (no factors) but holds 1.5 in row 1: ";
  const struct {
    std::string path;
    std::string tool, window;  // the refusals
    bool fromArguments, unread;
  } cases[] = {
      {other, q + other + q + " is a .frq file and the first chain " + q + data + q +
                  " is a .fst file: the chains of one analysis must be of the same kind",
       "", true, false},
      {data, q + data + q + " is already chain 1 of the analysis: one file read as two chains would count its draws twice",
       "", true, false},
      {missing, "cannot open " + q + missing + q + ": No such file or directory", "", false, true},
      {wide, q + wide + q + " has 7 columns and the first chain " + q + data + q +
                 " has 6 columns: the chains of one analysis must have the same columns",
       "", false, false},
      {fractions, q + fractions + q + modelFault + "the factors file " + q + factors + q +
                      " has 0 factor lines; does it belong to this data file?",
       q + fractions + q + modelFault + "was the chain written with the factors of the first chain?", false, false},
  };
  const auto refusalOf = [](const ChainTarget& target, const std::string& path) {
    if (auto error = chainRefusedUnread(target, path)) return error;
    ChainRows chain;
    std::vector<OpenWarning> warnings;
    return readFurtherChain(target, path, Progress::unwatched(), chain, warnings);
  };
  ChainTarget tool;
  tool.dataPath = data;
  tool.chainFiles = {data};
  tool.columnCount = 6;
  tool.factorsPath = factors;
  tool.factorsText = "npop=1\n";
  tool.factorsRead = true;
  ChainTarget window = tool;
  window.factorsRead = false;
  window.voice = HintVoice::window;
  window.fitRange = true;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    AnalysisRequest request;
    request.dataPath = data;
    request.factorsPath = factors;
    request.chainPaths = {c.path};
    OpenedAnalysis opened;
    std::vector<std::string> warnings;
    const std::optional<RunError> opening = openAnalysis(request, opened, warnings);
    ASSERT_TRUE(opening);
    EXPECT_EQ(opening->message, c.tool);

    const std::optional<RunError> added = refusalOf(tool, c.path);
    ASSERT_TRUE(added);
    EXPECT_EQ(added->message, c.tool);
    EXPECT_EQ(added->fromArguments, c.fromArguments);
    EXPECT_EQ(added->unread, c.unread);

    const std::optional<RunError> inWindow = refusalOf(window, c.path);
    ASSERT_TRUE(inWindow);
    EXPECT_EQ(inWindow->message, c.window.empty() ? c.tool : c.window);
  }

  // a chain taken: its rows fitted in the window, refused by the tool; rows of unknown models noted
  const std::string longer = dir.write("b.fst", trace(3) + "3 0.05 -10 0.1 2 -2.0\n");
  window.burnIn = tool.burnIn = 3;
  ChainRows chain;
  std::vector<OpenWarning> warnings;
  ASSERT_FALSE(readFurtherChain(window, longer, Progress::unwatched(), chain, warnings));
  EXPECT_EQ(chain.rows, (RowRange{0, 4}));
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].file, longer);
  EXPECT_EQ(warnings[0].note, "1 row carries a model number other than 1 and is not counted");
  const std::optional<RunError> refused = readFurtherChain(tool, longer, Progress::unwatched(), chain, warnings);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->message,
            q + longer + q + ": a burn-in of 3 and a burn-out of 0 leave 1 of the 4 rows; at least two rows must remain");
}

// A chain added to an analysis opened from an index is read as a chain file of that index.
TEST_F(OpenAnalysis, AFurtherChainOfAnIndexIsReadThroughTheIndex) {
  ASSERT_TRUE(dir.ok());
  const std::string index = dir.write("CODAindex.txt", "alpha 1 3\nbeta 4 6\n");
  const std::string chain1 = dir.write("CODAchain1.txt", "1 0.5\n2 0.25\n3 0.75\n1 10\n2 20\n3 30\n");
  const std::string extra = dir.write("extra.txt", "1 1.5\n2 1.25\n3 1.75\n1 11\n2 21\n3 31\n");
  const std::string shortChain = dir.write("short.txt", "1 1.5\n2 1.25\n3 1.75\n1 11\n");
  AnalysisRequest request;
  request.dataPath = index;
  request.voice = HintVoice::window;
  request.fitRange = true;
  OpenedAnalysis opened;
  std::vector<OpenWarning> warnings;
  ASSERT_FALSE(openAnalysis(request, opened, warnings));
  EXPECT_EQ(opened.chainFiles, std::vector<std::string>{chain1});

  ChainTarget target;
  target.dataPath = index;
  target.chainFiles = opened.chainFiles;
  target.columnCount = opened.chains[0].table->columnCount();
  target.voice = HintVoice::window;
  target.fitRange = true;
  ChainRows chain;
  ASSERT_FALSE(chainRefusedUnread(target, extra));
  ASSERT_FALSE(readFurtherChain(target, extra, Progress::unwatched(), chain, warnings));
  ASSERT_EQ(chain.table->columnCount(), 3);  // the iteration, alpha and beta, as the index names them
  EXPECT_EQ(chain.table->value(2, 2), 31.0f);
  const std::optional<RunError> refused = readFurtherChain(target, shortChain, Progress::unwatched(), chain, warnings);
  ASSERT_TRUE(refused);
  EXPECT_TRUE(refused->unread) << refused->message;
}

}  // namespace
}  // namespace varno
