// varno-report --ess-profile: the three ESS series of a column over its chains, as tsv.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/table_text.h"
#include "stats/ess_profile.h"
#include "tests/cli/temp_folder.h"
#include "tests/cli/text_cells.h"
#include "tests/cli/tool_run.h"

namespace varno::testing {
namespace {

// "iter", "x" (a zigzag that differs by chain) and "c" (constant), 24 rows; every value exact in
// text and in a float.
std::string chainText(int chain) {
  std::string text = "iter\tx\tc\n";
  for (int r = 1; r <= 24; ++r) {
    const int x = (r * (5 + 2 * chain)) % 17 + (r % 3 == 0 ? chain : 0);
    text += std::to_string(r) + "\t" + std::to_string(x) + ".5\t1\n";
  }
  return text;
}

std::vector<double> columnX(int chain, int burnIn) {
  std::vector<double> x;
  for (int r = 1 + burnIn; r <= 24; ++r) x.push_back((r * (5 + 2 * chain)) % 17 + (r % 3 == 0 ? chain : 0) + 0.5);
  return x;
}

// Two chains, with and without a burn-in: the kinds in order, x as the probabilities and row
// counts, and each ESS that of the retained draws of both chains; a constant column is NA
// throughout.
TEST(EssProfileTool, PrintsTheThreeSeriesOfTheRetainedDrawsOfEveryChain) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string first = folder.write("a.txt", chainText(1)), second = folder.write("b.txt", chainText(2));
  for (const int burnIn : {0, 4}) {
    SCOPED_TRACE("burn-in " + std::to_string(burnIn));
    const ToolRun run = runTool(folder, {first, "--chain", second, "--column", "x", "--ess-profile", "--burn-in",
                                         std::to_string(burnIn)});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = cellsOf(run.out);
    ASSERT_EQ(lines.size(), 1u + 19 + 20 + 10 + 10) << run.out;
    EXPECT_EQ(lines[0], (std::vector<std::string>{"kind", "x", "ess"}));
    const std::vector<double> a = columnX(1, burnIn), b = columnX(2, burnIn);
    const std::span<const double> chains[] = {a, b};
    const EssProfile profile = essProfile(chains);
    std::vector<std::vector<std::string>> expected;
    for (const EssPoint& p : profile.quantile) expected.push_back({"quantile", exactNumber(p.x, ""), exactNumber(p.ess, "NA")});
    for (const EssPoint& p : profile.local) expected.push_back({"local", exactNumber(p.x, ""), exactNumber(p.ess, "NA")});
    for (const EssRunPoint& p : profile.run)
      expected.push_back({"run_bulk", std::to_string(p.draws), exactNumber(p.essBulk, "NA")});
    for (const EssRunPoint& p : profile.run)
      expected.push_back({"run_tail", std::to_string(p.draws), exactNumber(p.essTail, "NA")});
    EXPECT_EQ(std::vector(lines.begin() + 1, lines.end()), expected);
    EXPECT_EQ(lines[1][1], "0.05");
    EXPECT_EQ(lines[20][1], "0.025");
    EXPECT_EQ(lines[49][1], burnIn == 0 ? "24" : "20");  // the last tenth: every retained row
  }
  const ToolRun constant = runTool(folder, {first, "--chain", second, "--column", "c", "--ess-profile"});
  ASSERT_EQ(constant.status, 0) << constant.err;
  const auto lines = cellsOf(constant.out);
  ASSERT_EQ(lines.size(), 60u);
  for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i][2], "NA") << lines[i][0] << " " << lines[i][1];
}

TEST(EssProfileTool, RefusesWhatHasNoProfile) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.write("a.txt", chainText(1));
  const struct {
    std::vector<std::string> args;
    std::string said;
  } cases[] = {
      {{"--ess-profile"}, "--ess-profile can be given only with --column"},
      {{"--column", "x", "--ess-profile", "--ess-by-burnin"}, "--ess-profile cannot be given with --ess-by-burnin"},
      {{"--column", "1", "--ess-profile"}, "--ess-profile: column 1 of \"" + path + "\" is not a sampled quantity"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{path};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolRun run = runTool(folder, args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
}

}  // namespace
}  // namespace varno::testing
