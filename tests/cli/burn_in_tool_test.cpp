// The tool's suggested burn-in, its summary columns of Monte Carlo errors and quantiles, rounding
// by MCSE, ESS against burn-in, and the arguments it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "stats/mcse_rounding.h"
#include "stats/quantile_error.h"
#include "tests/cli/temp_folder.h"
#include "tests/cli/text_cells.h"
#include "tests/cli/tool_run.h"
#include "tests/synthetic_chains.h"

namespace varno::testing {
namespace {

// The cell of `name`'s column in each row under the header.
std::vector<std::string> columnOf(const std::vector<std::vector<std::string>>& lines, const std::string& name) {
  const auto& header = lines.at(0);
  const std::size_t at = static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
  EXPECT_LT(at, header.size()) << name;
  std::vector<std::string> cells;
  for (std::size_t r = 1; r < lines.size(); ++r) cells.push_back(at < lines[r].size() ? lines[r][at] : "");
  return cells;
}

std::optional<double> number(const std::string& text) {
  double v = 0;
  if (text == "NA" || std::from_chars(text.data(), text.data() + text.size(), v).ptr != text.data() + text.size())
    return std::nullopt;
  return v;
}

// A table with a header: "iter", then the columns, one row per value.
std::string traceText(const std::vector<std::pair<std::string, std::vector<float>>>& columns) {
  std::string text = "iter";
  for (const auto& [name, values] : columns) text += "\t" + name;
  text += "\n";
  for (std::size_t r = 0; r < columns.front().second.size(); ++r) {
    text += std::to_string(r + 1);
    for (const auto& [name, values] : columns) {
      char cell[32];
      text += "\t" + std::string(cell, std::to_chars(cell, cell + sizeof cell, values[r]).ptr);
    }
    text += "\n";
  }
  return text;
}

// Two chains of 50 rows: in chain 1 "tau" is cut after 2 batches and "sigma" is stationary; in
// chain 2 "tau" is cut after 3 (15 rows) and "sigma" is constant.
class SuggestedBurnIn : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.ok());
    const auto cutTwo = batchesOf<float>({10, 10, 0, 0, 0, 0, 0, 0, 0, 0});
    const auto cutThree = batchesOf<float>({10, 10, 10, 0, 0, 0, 0, 0, 0, 0});
    const auto stationary = batchesOf<float>({0, 1, 0, 1, 0, 1, 0, 1, 0, 1});
    one = folder.write("one.txt", traceText({{"tau", cutTwo}, {"sigma", stationary}}));
    two = folder.write("two.txt", traceText({{"tau", cutThree}, {"sigma", std::vector<float>(50, 2)}}));
  }
  ToolRun summary(const std::vector<std::string>& more) {
    std::vector<std::string> args = {one, "--chain", two, "--summary"};
    args.insert(args.end(), more.begin(), more.end());
    return runTool(folder, args);
  }
  TempFolder folder;
  std::string one, two;
};

TEST_F(SuggestedBurnIn, AutoTakesTheLargestAndSaysWhichColumnAndChainSetIt) {
  struct Case {
    const char* burnIn;
    const char* said;   // on standard error
    const char* same;   // the --burn-in that gives the same output
  };
  const Case cases[] = {
      {"auto", "varno-report: burn-in: 15 rows (suggested: MSER-5, set by tau, chain 2)\n", "15"},
      {"auto:tau", "varno-report: burn-in: 15 rows (suggested: MSER-5, set by tau, chain 2)\n", "15"},
      {"auto:2", "varno-report: burn-in: 15 rows (suggested: MSER-5, set by tau, chain 2)\n", "15"},
      // sigma: stationary in chain 1, constant in chain 2
      {"auto:sigma", "varno-report: burn-in: 0 rows (suggested: MSER-5, set by sigma, chain 1)\n", "0"},
      {"auto:1", "varno-report: warning: no burn-in suggested: no quantity column to suggest from; the burn-in stays 0\n",
       "0"},
  };
  for (const Case& c : cases) {
    const ToolRun suggested = summary({"--burn-in", c.burnIn});
    ASSERT_EQ(suggested.status, 0) << c.burnIn << suggested.err;
    EXPECT_EQ(suggested.err, c.said) << c.burnIn;
    const ToolRun given = summary({"--burn-in", c.same});
    EXPECT_EQ(suggested.out, given.out) << c.burnIn;
  }
  // each column's own suggestion, whatever the burn-in: tau 15 rows, sigma 0, the counter none
  EXPECT_EQ(columnOf(cellsOf(summary({"--burn-in", "20"}).out), "burnin_mser"),
            (std::vector<std::string>{"NA", "15", "0"}));
}

TEST_F(SuggestedBurnIn, OneChainIsNotNamedAndNothingSuggestedLeavesTheBurnInAtZero) {
  const ToolRun alone = runTool(folder, {one, "--summary", "--burn-in", "auto"});
  ASSERT_EQ(alone.status, 0) << alone.err;
  EXPECT_EQ(alone.err, "varno-report: burn-in: 10 rows (suggested: MSER-5, set by tau)\n");
  // 49 rows: fewer than 10 batches in every column
  std::string shortTrace = readWhole(two);
  shortTrace.resize(shortTrace.rfind('\n', shortTrace.size() - 2) + 1);
  const std::string shortPath = folder.write("short.txt", shortTrace);
  const ToolRun none = runTool(folder, {shortPath, "--summary", "--burn-in", "auto"});
  ASSERT_EQ(none.status, 0) << none.err;
  EXPECT_EQ(none.err,
            "varno-report: warning: no burn-in suggested: 2 columns with fewer than 10 batches of 5 rows; the burn-in "
            "stays 0\n");
  EXPECT_EQ(none.out, runTool(folder, {shortPath, "--summary"}).out);
}

// A share of each chain's rows, rounded down, per chain: the exported draws of each chain start
// after its own burn-in.
TEST_F(SuggestedBurnIn, AShareLeavesOutThatPartOfEachChainsOwnRows) {
  // chain 2 cut to 35 rows
  std::string shorter = readWhole(two);
  std::size_t end = 0;
  for (int line = 0; line < 36; ++line) end = shorter.find('\n', end) + 1;
  shorter.resize(end);
  const std::string twoShort = folder.write("two_short.txt", shorter);
  struct Case {
    const char* share;
    int first1, first2;  // the first row exported of chain 1 (50 rows) and chain 2 (35 rows), by its iter
  };
  const Case cases[] = {{"0%", 1, 1}, {"10%", 6, 4}, {"33.3%", 17, 12}, {"50%", 26, 18}, {"96%", 49, 34},
                        {"2.857142%", 2, 1}, {"2.857143%", 2, 2}};
  for (const Case& c : cases) {
    const std::string out = folder.path("draws.tsv");
    const ToolRun run = runTool(folder, {one, "--chain", twoShort, "--burn-in", c.share, "--burn-out", "0", "--export-draws", out});
    ASSERT_EQ(run.status, 0) << c.share << run.err;
    const auto lines = cellsOf(readWhole(out));
    const std::vector<std::string> chain = columnOf(lines, ".chain"), iteration = columnOf(lines, "iter");
    const auto firstOf = [&](const std::string& which) {
      const std::size_t at = static_cast<std::size_t>(std::find(chain.begin(), chain.end(), which) - chain.begin());
      return at < chain.size() ? iteration[at] : std::string("none");
    };
    EXPECT_EQ(firstOf("1"), std::to_string(c.first1)) << c.share;
    EXPECT_EQ(firstOf("2"), std::to_string(c.first2)) << c.share;
    EXPECT_EQ(static_cast<int>(chain.size()), (50 - c.first1 + 1) + (35 - c.first2 + 1)) << c.share;
  }
}

// The summary's quantile columns are named as the reference names them and hold the type 7
// quantile with the reference's MCSE and ESS over the chains; rounding writes the mean and the
// limits at their MCSE.
TEST(SummaryTool, QuantilesMcseColumnsAndRounding) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const auto a = walkTable(400, 3, 0, 0.8, 10), b = walkTable(400, 4, 0, 0.8, 10);
  auto write = [&](const char* name, const SampleTable& t) {
    std::vector<float> values(t.column(1).begin(), t.column(1).end());
    return folder.write(name, traceText({{"x", values}}));
  };
  const std::string one = write("a.txt", *a), two = write("b.txt", *b);
  const ToolRun exact = runTool(folder, {one, "--chain", two, "--summary", "--quantiles", "0.05,0.07,0.975"});
  ASSERT_EQ(exact.status, 0) << exact.err;
  const auto lines = cellsOf(exact.out);
  const std::vector<std::string> tail(lines[0].end() - 12, lines[0].end());
  EXPECT_EQ(tail, (std::vector<std::string>{"mcse_hpdi_low", "mcse_hpdi_high", "burnin_mser", "q5", "mcse_q5", "ess_q5",
                                            "q7", "mcse_q7", "ess_q7", "q97.5", "mcse_q97.5", "ess_q97.5"}));
  // the draws as the file holds them: the floats written shortest read back exactly
  std::vector<double> da(a->column(1).begin(), a->column(1).end()), db(b->column(1).begin(), b->column(1).end());
  const std::span<const double> chains[] = {da, db};
  for (double p : {0.05, 0.07, 0.975}) {
    const std::string name = quantileName(p);
    std::vector<double> all(da);
    all.insert(all.end(), db.begin(), db.end());
    std::sort(all.begin(), all.end());
    const double h = (all.size() - 1) * p;
    const std::size_t lo = static_cast<std::size_t>(std::floor(h));
    const double quantile = all[lo] + (h - lo) * (all[lo + 1] - all[lo]);
    EXPECT_NEAR(*number(columnOf(lines, name)[1]), quantile, 1e-12 * std::abs(quantile)) << name;
    EXPECT_EQ(number(columnOf(lines, "mcse_" + name)[1]), mcseQuantile(chains, p)) << name;
    EXPECT_EQ(number(columnOf(lines, "ess_" + name)[1]), essQuantile(chains, p)) << name;
    EXPECT_EQ(columnOf(lines, "mcse_" + name)[0], "NA") << "the counter has no quantile errors";
  }

  const ToolRun rounded = runTool(folder, {one, "--chain", two, "--summary", "--round-by-mcse"});
  ASSERT_EQ(rounded.status, 0) << rounded.err;
  const auto roundedLines = cellsOf(rounded.out);
  const std::pair<const char*, const char*> figures[] = {
      {"mean", "mcse_mean"}, {"hpdi_low", "mcse_hpdi_low"}, {"hpdi_high", "mcse_hpdi_high"}};
  for (const auto& [figure, error] : figures) {
    const std::string expected = mcseRounded(*number(columnOf(lines, figure)[1]), number(columnOf(lines, error)[1]));
    EXPECT_EQ(columnOf(roundedLines, figure)[1], expected) << figure;
    EXPECT_LT(expected.size(), columnOf(lines, figure)[1].size()) << figure << ": fewer digits than the exact text";
    EXPECT_EQ(columnOf(roundedLines, figure)[0], "NA") << figure << " of the counter: no MCSE";
  }
  // the other figures keep every digit
  EXPECT_EQ(columnOf(roundedLines, "sd"), columnOf(lines, "sd"));
}

TEST(EssByBurnInTool, ElevenBurnInsOfTheShortestChain) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const auto table = walkTable(205, 9, 30, 0.9, 1);
  std::vector<float> values(table->column(1).begin(), table->column(1).end());
  const std::string path = folder.write("t.txt", traceText({{"x", values}}));
  const ToolRun run = runTool(folder, {path, "--column", "x", "--ess-by-burnin", "--burn-out", "5"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto lines = cellsOf(run.out);
  ASSERT_EQ(lines.size(), 12u) << run.out;
  EXPECT_EQ(lines[0], (std::vector<std::string>{"burn_in", "ess_bulk", "ess_tail"}));
  EXPECT_EQ(columnOf(lines, "burn_in"),
            (std::vector<std::string>{"0", "10", "20", "30", "41", "51", "61", "71", "82", "92", "102"}));
}

TEST(BurnInTool, MalformedArgumentsAreUsageErrorsNamingTheBadPart) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.write("t.txt", traceText({{"x", batchesOf<float>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})}}));
  struct Case {
    std::vector<std::string> args;
    std::string said;
  };
  const Case cases[] = {
      {{"--summary", "--quantiles", "0.5,,0.9"}, "--quantiles needs probabilities from 0 to 1 separated by commas; \"\" is not one"},
      {{"--summary", "--quantiles", "0.5,1.5"}, "; \"1.5\" is not one"},
      {{"--summary", "--quantiles", "0.5x"}, "; \"0.5x\" is not one"},
      {{"--summary", "--quantiles", "nan"}, "; \"nan\" is not one"},
      {{"--summary", "--burn-in", "automatic"}, "--burn-in needs a number of rows (0 or more), N% (a share of each chain's rows, below 100), auto or auto:COLUMN, not \"automatic\""},
      {{"--summary", "--burn-in", "auto:"}, "not \"auto:\""},
      {{"--summary", "--burn-in", "-3"}, "--burn-in needs a number of rows (0 or more), N% (a share of each chain's rows, below 100), auto or auto:COLUMN, not \"-3\""},
      {{"--summary", "--burn-in", "100%"}, "--burn-in needs a number of rows (0 or more), N% (a share of each chain's rows, below 100), auto or auto:COLUMN, not \"100%\""},
      {{"--summary", "--burn-in", "-5%"}, "not \"-5%\""},
      {{"--summary", "--burn-in", "%"}, "not \"%\""},
      {{"--summary", "--burn-in", "1e1%"}, "not \"1e1%\""},
      {{"--summary", "--burn-in", "10 %"}, "not \"10 %\""},
      {{"--summary", "--burn-in", "10%%"}, "not \"10%%\""},
      {{"--summary", "--burn-in", "5.1234567%"}, "not \"5.1234567%\""},
      // a share that leaves fewer than two rows of a chain is refused as a number of rows is, naming the chain
      {{"--summary", "--burn-in", "96%", "--burn-out", "1"}, "\"" + path + "\": a burn-in of 48 and a burn-out of 1 leave 1 of the 50 rows"},
      {{"--summary", "--burn-in", "auto:y"}, "--burn-in auto:\"y\": \"" + path + "\" has no column of that name; its columns are 1 iter, 2 x"},
      {{"--summary", "--burn-in", "auto:3"}, "--burn-in auto:3: column 3 does not exist: \"" + path + "\" has 2 columns"},
      {{"--column", "2", "--round-by-mcse"}, "--round-by-mcse can be given only with --summary"},
      {{"--ess-by-burnin"}, "--ess-by-burnin can be given only with --column"},
      {{"--column", "1", "--ess-by-burnin"}, "--ess-by-burnin: column 1 of \"" + path + "\" is not a sampled quantity"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{path};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolRun run = runTool(folder, args);
    EXPECT_EQ(run.status, 2) << c.args.back() << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
}

}  // namespace
}  // namespace varno::testing
