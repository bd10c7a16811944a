// varno-report with further chains: pooled report, column and summary; chains that do not fit.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "temp_folder.h"
#include "tests/trace_styles.h"
#include "tool_run.h"
#include "tools/trace_generator.h"

namespace varno {
namespace {

using testing::readWhole;
using testing::runTool;
using testing::TempFolder;
using testing::ToolRun;

class ToolChains : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.ok());
    FstSpec spec;
    spec.rows = 400;
    spec.populations = 3;
    spec.factors = 2;
    spec.seed = 11;
    first = fstText(spec);
    spec.rows = 250;
    spec.seed = 12;
    second = fstText(spec);
    data = folder.write("run1.fst", first);
    chain = folder.write("run2.fst", second);
    // with no burn-in, one file of both chains' rows is what pooling must equal
    both = folder.write("both.fst", first + second);
    factors = folder.write("run.txt", factorsText(spec));
  }

  TempFolder folder;
  std::string first, second, data, chain, both, factors;
};

TEST_F(ToolChains, PooledFiguresEqualThoseOfOneFileOfBothChains) {
  const ToolRun pooled = runTool(folder, {data, factors, "--interaction", "no", "--chain", chain});
  ASSERT_EQ(pooled.status, 0) << pooled.err;
  // the default name comes from the first data file
  EXPECT_EQ(pooled.out, folder.path("run1_res.txt") + "\n");
  const ToolRun whole = runTool(folder, {both, factors, "--interaction", "no"});
  ASSERT_EQ(whole.status, 0) << whole.err;
  EXPECT_EQ(readWhole(folder.path("run1_res.txt")), readWhole(folder.path("both_res.txt")));

  const ToolRun column = runTool(folder, {data, factors, "--interaction", "no", "--column", "5", "--chain=" + chain});
  const ToolRun wholeColumn = runTool(folder, {both, factors, "--interaction", "no", "--column", "5"});
  ASSERT_EQ(column.status, 0) << column.err;
  EXPECT_EQ(column.out, wholeColumn.out);

  const std::string third = folder.write("run3.fst", first);
  const ToolRun summary =
      runTool(folder, {data, factors, "--interaction=no", "--summary", "--chain", chain, "--chain", third});
  ASSERT_EQ(summary.status, 0) << summary.err;
  // three chains of different lengths: cut to the shortest, and said so on standard error
  EXPECT_NE(summary.err.find("chains cut to their first 250 draws"), std::string::npos) << summary.err;
  EXPECT_NE(summary.out.find("\n5\t"), std::string::npos);
}

// The models table's model, factors, prior, count and probability fields, line by line (the Monte
// Carlo errors compare the chains, so they are not those of one file).
std::vector<std::string> modelFields(const std::string& tsv) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < tsv.size()) {
    const std::size_t end = tsv.find('\n', at);
    const std::string line = tsv.substr(at, end - at);
    if (line.empty()) break;  // the factors table follows
    std::size_t cut = 0;
    for (int field = 0; field < 5 && cut != std::string::npos; ++field) cut = line.find('\t', cut + (field > 0));
    lines.push_back(line.substr(0, cut));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return lines;
}

TEST_F(ToolChains, ModelsCountEveryChain) {
  const ToolRun pooled = runTool(folder, {data, factors, "--interaction", "no", "--models", "--chain", chain});
  ASSERT_EQ(pooled.status, 0) << pooled.err;
  const ToolRun whole = runTool(folder, {both, factors, "--interaction", "no", "--models"});
  ASSERT_EQ(whole.status, 0) << whole.err;
  const std::vector<std::string> models = modelFields(pooled.out);
  ASSERT_EQ(models.size(), 5u) << pooled.out;  // header and four models
  EXPECT_EQ(models, modelFields(whole.out));
}

TEST_F(ToolChains, ChainsOfAnotherKindOrColumnCountAreRefused) {
  FstSpec wider;
  wider.rows = 100;
  wider.populations = 4;
  wider.factors = 2;
  const std::string otherColumns = folder.write("wide.fst", fstText(wider));
  const std::string otherKind = folder.write("run2.txt", second);
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string says;
  };
  const std::vector<Case> cases = {
      {{data, factors, "--interaction", "no", "--chain", otherColumns}, 1,
       "\"" + otherColumns + "\" has 11 columns and the first chain \"" + data + "\" has 10 columns"},
      {{data, factors, "--interaction=no", "--summary", "--chain", otherKind}, 2, "is a .txt file and the first chain"},
      {{data, factors, "--interaction=no", "--column", "2", "--chain", otherColumns}, 1, "has 11 columns"},
  };
  for (const Case& c : cases) {
    const ToolRun run = runTool(folder, c.args);
    EXPECT_EQ(run.status, c.status) << c.args.back() << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(folder.path("run1_res.txt")));
}

// One file is one chain: the data file or a chain named again, under any name, is refused before
// anything is read or written, for every use; so is a chain beside a CODA index named again.
TEST_F(ToolChains, AFileAlreadyInTheAnalysisIsRefused) {
  const std::string link = folder.path("run1_link.fst");
  ASSERT_EQ(::link(data.c_str(), link.c_str()), 0);
  const std::string otherSpelling = folder.path("./run2.fst");
  const testing::CodaRun coda;
  const std::string index = folder.write("CODAindex.txt", coda.index);
  const std::string coda1 = folder.write("CODAchain1.txt", coda.chain1);
  folder.write("CODAchain2.txt", coda.chain2);
  const std::string twice = ": one file read as two chains would count its draws twice (see varno-report --help)\n";
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string says;
  };
  const std::vector<Case> cases = {
      {"the data file as its own chain, report", {data, factors, "--interaction", "no", "--chain", data},
       "\"" + data + "\" is already chain 1 of the analysis" + twice},
      {"a link to the data file, summary", {data, "--summary", "--chain", link},
       "\"" + link + "\" is already chain 1 of the analysis (\"" + data + "\" under another name)" + twice},
      {"a chain twice, column", {data, "--column", "2", "--chain", chain, "--chain", otherSpelling},
       "\"" + otherSpelling + "\" is already chain 2 of the analysis (\"" + chain + "\" under another name)" + twice},
      {"a chain twice, export", {data, "--export-draws", folder.path("draws.tsv"), "--chain", chain, "--chain", chain},
       "\"" + chain + "\" is already chain 2 of the analysis" + twice},
      {"a chain file beside the index", {index, "--summary", "--chain", coda1},
       "\"" + coda1 + "\" is already chain 1 of the analysis" + twice},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ToolRun run = runTool(folder, c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "varno-report: " + c.says);
  }
  EXPECT_FALSE(std::filesystem::exists(folder.path("run1_res.txt")));
  EXPECT_FALSE(std::filesystem::exists(folder.path("draws.tsv")));
}

}  // namespace
}  // namespace varno
