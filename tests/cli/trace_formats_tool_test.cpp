// Traces of other samplers through the headless tool: --summary names their columns as the header
// does, with the figures of their numbers, and a refused trace ends the run with the reader's words.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/temp_folder.h"
#include "tests/cli/tool_run.h"
#include "tests/trace_styles.h"

namespace varno {
namespace {

using testing::TempFolder;
using testing::runTool;
using testing::ToolRun;

std::vector<std::vector<std::string>> tsvCells(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> cells;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

TEST(TraceFormatsTool, SummaryNamesTheColumnsAsTheHeaderDoes) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  for (const testing::TraceStyle& style : testing::traceStyles()) {
    SCOPED_TRACE(style.name);
    const ToolRun run = runTool(folder, {folder.write(style.fileName, style.content), "--summary"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto cells = tsvCells(run.out);
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

}  // namespace
}  // namespace varno
