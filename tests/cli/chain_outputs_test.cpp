// varno-report --chains-table and --export-draws on small generated files.
#include <gtest/gtest.h>

#include <charconv>
#include <sstream>
#include <string>
#include <vector>

#include "report/chain_outputs.h"
#include "generated_trace.h"
#include "temp_folder.h"
#include "text_cells.h"
#include "tool_run.h"
#include "tools/trace_generator.h"

namespace varno {
namespace {

using testing::readWhole;
using testing::runTool;
using testing::TempFolder;
using testing::ToolRun;
using testing::cellsOf;

float asFloat(const std::string& text) {
  float value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

class ChainOutputs : public testing::GeneratedTrace {
 protected:
  ChainOutputs() : GeneratedTrace({.rows = 300, .populations = 3, .factors = 2, .seed = 11}) {}
};

TEST_F(ChainOutputs, ChainsTablePrintsTheSharedTextInEachFormat) {
  ChainsTableOptions options;
  options.dataPath = data;
  options.factorsPath = factors;
  options.interaction = false;
  options.burnIn = 50;
  options.modelFilter = 3;
  for (const auto& [name, format] : {std::pair{"tsv", SummaryFormat::tsv}, std::pair{"csv", SummaryFormat::csv},
                                     std::pair{"json", SummaryFormat::json}}) {
    options.format = format;
    const ChainsTableResult expected = runChainsTable(options);
    ASSERT_TRUE(expected.text);
    const ToolRun run = runTool(folder, {data, factors, "--chains-table", "--format", name, "--interaction", "no",
                                         "--burn-in", "50", "--model", "3"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, *expected.text) << name;
  }
  // one chain: its column, the pooled one equal to it, and the split R-hat of each indicator
  const ToolRun plain = runTool(folder, {data, factors, "--chains-table", "--interaction", "no"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  const auto lines = cellsOf(plain.out, '\t');
  ASSERT_EQ(lines.size(), 1u + 4 + 2 + 3 * 3);
  EXPECT_EQ(lines[0], (std::vector<std::string>{"quantity", "chain1", "pooled", "rhat"}));
  EXPECT_EQ(lines[1][0], "P(model=1)");
  EXPECT_EQ(lines[5][0], "P(G1)");
  EXPECT_EQ(lines[7][0], "Fst pop 1 mean");
  EXPECT_EQ(lines[9][0], "Fst pop 1 HPDI high");
  for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i][1], lines[i][2]) << lines[i][0];
}

TEST_F(ChainOutputs, ExportedDrawsAreTheRetainedRowsOfTheModelThinned) {
  const std::string out = folder.path("draws.tsv");
  const ToolRun run = runTool(folder, {data, factors, "--interaction", "no", "--export-draws", out, "--thin", "3",
                                       "--burn-in", "20", "--burn-out", "10", "--model", "2"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, out + "\n");

  // the data file's own rows, as the reader keeps them: the model column is 3 + populations
  const auto rows = cellsOf(readWhole(data), ' ');
  std::vector<const std::vector<std::string>*> expected;
  int passed = 0;
  for (std::size_t r = 20; r + 10 < rows.size(); ++r) {
    if (asFloat(rows[r][6]) != 2) continue;
    if (passed++ % 3 == 0) expected.push_back(&rows[r]);
  }
  ASSERT_GT(expected.size(), 3u);

  const auto lines = cellsOf(readWhole(out), '\t');
  ASSERT_EQ(lines.size(), expected.size() + 1);
  EXPECT_EQ(lines[0][0], ".chain");
  EXPECT_EQ(lines[0][3], "Iteration");
  EXPECT_EQ(lines[0][9], "Model");
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto& line = lines[i + 1];
    EXPECT_EQ(line[0], "1");
    EXPECT_EQ(line[1], std::to_string(i + 1));
    EXPECT_EQ(line[2], std::to_string(i + 1));
    ASSERT_EQ(line.size(), 3 + expected[i]->size());
    for (std::size_t c = 0; c < expected[i]->size(); ++c)
      EXPECT_EQ(asFloat(line[3 + c]), asFloat((*expected[i])[c])) << "draw " << i + 1 << " column " << c + 1;
  }
}

TEST_F(ChainOutputs, RefusalsSayWhatIsWrong) {
  const std::string ml = folder.write("run.ml", "1 2\n3 4\n");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string piece;
  };
  const Case cases[] = {
      {{data, factors, "--interaction", "no", "--export-draws", data}, 2, "is the data file of the analysis"},
      {{data, factors, "--interaction", "no", "--export-draws", factors}, 2, "is the factors file of the analysis"},
      {{data, "--export-draws", folder.path("x.tsv"), "--thin", "0"}, 2,
       "--thin needs a whole number of draws (1 or more), not \"0\""},
      {{data, "--export-draws", "-"}, 2, "--export-draws needs the path of a file"},
      {{data, factors, "--thin", "2"}, 2, "--thin can be given only with --export-draws"},
      {{data, "--chains-table", "--export-draws", "x.tsv"}, 2, "--chains-table and --export-draws cannot be given together"},
      {{data, "--summary", "--chains-table"}, 2, "--summary and --chains-table cannot be given together"},
      {{data, "--chains-table", "--column", "2"}, 2, "--chains-table and --column cannot be given together"},
      {{data, "--chains-table", "--level", "90"}, 2, "--level cannot be given with --chains-table"},
      {{data, "--export-draws", folder.path("x.tsv"), "--format", "csv"}, 2, "--format cannot be given with --export-draws"},
      {{ml, "--chains-table"}, 2, "--chains-table needs an .fst data file"},
  };
  const std::string before = readWhole(data);
  for (const Case& k : cases) {
    const ToolRun run = runTool(folder, k.args);
    EXPECT_EQ(run.status, k.status) << k.piece;
    EXPECT_EQ(run.out, "") << k.piece;
    EXPECT_NE(run.err.find(k.piece), std::string::npos) << run.err;
  }
  EXPECT_EQ(readWhole(data), before);
}

}  // namespace
}  // namespace varno
