// A long run's iteration counter through the headless tool: past 2^24 its exports and figures are
// exact, and it is still told as the counter, which gets no diagnostics.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/temp_folder.h"
#include "tests/cli/text_cells.h"
#include "tests/cli/tool_run.h"

namespace varno {
namespace {

using testing::cellsOf;
using testing::runTool;
using testing::TempFolder;
using testing::ToolRun;

constexpr int kRows = 30;
constexpr long long kFirst = 20'000'001, kStep = 10;  // odd iterations past 2^24: no float holds them

std::string drawLines(double (*value)(int)) {
  std::string text;
  for (int i = 0; i < kRows; ++i) text += std::to_string(kFirst + kStep * i) + " " + std::to_string(value(i)) + "\n";
  return text;
}

double wave(int i) { return (i * 7 % 11) / 10.0; }
double ramp(int i) { return i / 4.0; }

// The same run as a plain trace and as a CODA set.
struct Trace {
  const char* name;
  std::string path;
};

std::vector<Trace> writeTraces(const TempFolder& folder) {
  std::string plain;
  for (int i = 0; i < kRows; ++i)
    plain += std::to_string(kFirst + kStep * i) + " " + std::to_string(wave(i)) + " " + std::to_string(ramp(i)) + "\n";
  const std::string index = folder.write("longindex.txt", "alpha 1 30\nbeta 31 60\n");
  folder.write("longchain1.txt", drawLines(wave) + drawLines(ramp));
  return {{"plain trace", folder.write("long.ml", plain)}, {"CODA set", index}};
}

TEST(LongRunCounter, ExportsAndFiguresOfTheIterationsAreExact) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  for (const Trace& trace : writeTraces(folder)) {
    SCOPED_TRACE(trace.name);
    const std::string drawsPath = folder.path("draws.tsv");
    const ToolRun exported = runTool(folder, {trace.path, "--export-draws", drawsPath});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const auto draws = cellsOf(testing::readWhole(drawsPath));
    ASSERT_EQ(draws.size(), kRows + 1u);
    for (int i = 0; i < kRows; ++i) {
      ASSERT_GE(draws[i + 1].size(), 4u);
      EXPECT_EQ(draws[i + 1][3], std::to_string(kFirst + kStep * i));
    }

    // iterations 0, 10, ..., 290 shifted: variance 100 x 30 x 31 / 12, the 95% HPDI 28 steps wide
    const ToolRun column = runTool(folder, {trace.path, "--column", "1"});
    ASSERT_EQ(column.status, 0) << column.err;
    const auto box = cellsOf(column.out);
    ASSERT_GE(box.size(), 7u) << column.out;
    EXPECT_EQ(box[1], (std::vector<std::string>{"variance", "7750"}));
    EXPECT_EQ(box[6], (std::vector<std::string>{"width", "280"}));

    const ToolRun summary = runTool(folder, {trace.path, "--summary"});
    ASSERT_EQ(summary.status, 0) << summary.err;
    const auto rows = cellsOf(summary.out);
    ASSERT_EQ(rows.size(), 4u) << summary.out;
    ASSERT_EQ(rows[1].size(), 15u) << summary.out;
    EXPECT_EQ(rows[1][3], "20000146");  // mean
    EXPECT_EQ(rows[1][6], "20000001");  // hpdi_low
    EXPECT_EQ(rows[1][7], "20000281");  // hpdi_high
  }
}

// Iterations up to 10^8 in steps of 10: floats there step by 8 and 16, exact values by 10.
TEST(LongRunCounter, CounterAt100MillionGetsNoDiagnostics) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  std::string text;
  for (int i = 0; i <= 1000; ++i)
    text += std::to_string(99'990'000 + 10 * i) + " " + std::to_string((i * 37 % 101) / 100.0) + "\n";
  const std::string path = folder.write("run.ml", text);
  const ToolRun summary = runTool(folder, {path, "--summary"});
  ASSERT_EQ(summary.status, 0) << summary.err;
  const auto rows = cellsOf(summary.out);
  ASSERT_EQ(rows.size(), 3u) << summary.out;
  for (int c = 8; c < 12; ++c) {
    SCOPED_TRACE(rows[0][c]);
    EXPECT_EQ(rows[1][c], "NA");  // the counter
    EXPECT_NE(rows[2][c], "NA");  // the quantity beside it
  }
}

}  // namespace
}  // namespace varno
