// Traces of other samplers through the headless tool: --summary names their columns as the header
// does, with the figures of their numbers, and a refused trace ends the run with the reader's words.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/temp_folder.h"
#include "tests/cli/tool_run.h"
#include "tests/cli/text_cells.h"
#include "tests/trace_styles.h"

namespace varno {
namespace {

using testing::TempFolder;
using testing::runTool;
using testing::ToolRun;
using testing::cellsOf;

TEST(TraceFormatsTool, SummaryNamesTheColumnsAsTheHeaderDoes) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  for (const testing::TraceStyle& style : testing::traceStyles()) {
    SCOPED_TRACE(style.name);
    const ToolRun run = runTool(folder, {folder.write(style.fileName, style.content), "--summary"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto cells = cellsOf(run.out);
    ASSERT_EQ(cells.size(), style.names.size() + 1) << run.out;
    for (std::size_t c = 0; c < style.names.size(); ++c) {
      ASSERT_GE(cells[c + 1].size(), 4u) << run.out;
      EXPECT_EQ(cells[c + 1][0], std::to_string(c + 1));
      EXPECT_EQ(cells[c + 1][1], style.names[c]);
      EXPECT_EQ(cells[c + 1][2], std::to_string(style.rows.size()));
      EXPECT_EQ(cells[c + 1][3], style.means[c]);
    }
  }
}

TEST(TraceFormatsTool, RefusedTraceEndsTheRunNamingLineAndReason) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.write("names.csv", "a,b,c\n1,2\n");
  const ToolRun run = runTool(folder, {path, "--summary"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("\"" + path + "\" line 1: the header names 3 columns but the first row of numbers (line 2) "
                         "holds 2 numbers"),
            std::string::npos)
      << run.err;
}

// --column takes a name of the header line as well as a number, and says what it could not find.
TEST(TraceFormatsTool, ColumnByItsHeaderName) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const testing::TraceStyle& style = testing::traceStyles()[1];  // "lp__", ..., "a, b"
  const std::string named = folder.write(style.fileName, style.content);
  const ToolRun byNumber = runTool(folder, {named, "--column", "4"});
  ASSERT_EQ(byNumber.status, 0) << byNumber.err;
  const ToolRun byName = runTool(folder, {named, "--column", "a, b"});
  ASSERT_EQ(byName.status, 0) << byName.err;
  EXPECT_EQ(byName.out, byNumber.out);
  EXPECT_NE(byName.out.find("mean\t2\n"), std::string::npos) << byName.out;

  const std::string twice = folder.write("twice.txt", "x\ty\tx\n1\t2\t3\n4\t5\t6\n");
  const std::string plain = folder.write("plain.txt", "1 2\n3 4\n");
  const struct {
    std::string data, column, message;
  } refusals[] = {
      {named, "theta2", "--column \"theta2\": \"" + named +
                            "\" has no column of that name; its columns are 1 lp__, 2 accept_stat__, 3 theta, 4 a, b"},
      {twice, "x", "--column \"x\": \"" + twice + "\" names columns 1 and 3 so; give the column number"},
      {plain, "y",
       "--column \"y\": \"" + plain + "\" has no column of that name; its columns are 1 Column 1, 2 Column 2"},
      {plain, "", "--column needs a column number (1 or more) or the name of a column, not \"\""},
  };
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.column);
    const ToolRun run = runTool(folder, {r.data, "--column", r.column});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(r.message), std::string::npos) << run.err;
  }
}

// The chains of a CODA index: those beside it, then those named with --chain, pooled in the summary.
TEST(TraceFormatsTool, CodaIndexSummaryPoolsItsChains) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const testing::CodaRun coda;
  const std::string index = folder.write("CODAindex.txt", coda.index);
  folder.write("CODAchain1.txt", coda.chain1);
  folder.write("CODAchain2.txt", coda.chain2);
  const std::string extra = folder.write("extra.txt", coda.chain3);

  const ToolRun run = runTool(folder, {index, "--summary"});
  ASSERT_EQ(run.status, 0) << run.err;
  // the diagnostics are across both chains, which are too short for them
  EXPECT_NE(run.err.find("column 2 diagnostics: chains 1 and 2 left out"), std::string::npos) << run.err;
  const auto cells = cellsOf(run.out);
  ASSERT_EQ(cells.size(), coda.names.size() + 1) << run.out;
  for (std::size_t c = 0; c < coda.names.size(); ++c) {
    ASSERT_EQ(cells[c + 1].size(), 15u) << run.out;
    EXPECT_EQ(cells[c + 1][1], coda.names[c]);
    EXPECT_EQ(cells[c + 1][2], "6");
    EXPECT_EQ(cells[c + 1][3], coda.pooledMeans[c]);
  }

  const ToolRun more = runTool(folder, {index, "--summary", "--chain", extra});
  ASSERT_EQ(more.status, 0) << more.err;
  const auto moreCells = cellsOf(more.out);
  ASSERT_EQ(moreCells.size(), coda.names.size() + 1) << more.out;
  EXPECT_EQ(moreCells[2][2], "9");
  EXPECT_EQ(moreCells[2][3], "1.3333333333333333");  // alpha: (6 + 2 + 2 + 2) / 9
}

TEST(TraceFormatsTool, CodaIndexRefusals) {
  const testing::CodaRun coda;
  const struct {
    const char* name;
    std::string index;
    bool chainsBeside;
    std::vector<std::string> options;  // {chain1} stands for the path of chain 1
    std::string message;               // {index} and {chain1} stand for their paths
  } cases[] = {
      {"a range beyond the chain file", "alpha 1 3\nbeta[1] 4 7\n", true, {"--summary"},
       "\"{index}\" line 2: \"beta[1]\" takes lines 4 to 7, but \"{chain1}\" has 6 lines"},
      {"no chain file beside the index and none named", coda.index, false, {"--summary"},
       "\"{index}\": no chain file beside it (looked for \"CODAchain1.txt\"); name the chain files with --chain"},
      {"draws written over a chain file", coda.index, true, {"--export-draws", "{chain1}"},
       "\"{chain1}\" is the data file of chain 1 of the analysis"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    ASSERT_TRUE(folder.ok());
    const std::string index = folder.write("CODAindex.txt", c.index);
    const std::string chain1 = folder.path("CODAchain1.txt");
    if (c.chainsBeside) {
      folder.write("CODAchain1.txt", coda.chain1);
      folder.write("CODAchain2.txt", coda.chain2);
    }
    const auto filled = [&](std::string text) {
      for (const auto& [key, value] : {std::pair<std::string, std::string>{"{index}", index}, {"{chain1}", chain1}})
        for (std::size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), value);
      return text;
    };
    std::vector<std::string> args{index};
    for (const std::string& option : c.options) args.push_back(filled(option));
    const ToolRun run = runTool(folder, args);
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(filled(c.message)), std::string::npos) << run.err;
    if (c.chainsBeside) {
      EXPECT_EQ(testing::readWhole(chain1), coda.chain1) << "the chain file is kept";
    }
  }
}

}  // namespace
}  // namespace varno
