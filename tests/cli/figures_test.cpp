// varno-report --figures: the charts written without a display, in each format, never onto
// an input; the options it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "generated_trace.h"
#include "temp_folder.h"
#include "tool_run.h"
#include "tools/trace_generator.h"

namespace varno {
namespace {

using testing::readWhole;
using testing::runTool;
using testing::TempFolder;
using testing::ToolRun;

// Width and height from a PNG's header chunk.
std::pair<int, int> pngSize(const std::string& bytes) {
  auto big = [&](std::size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
  };
  if (bytes.size() < 24) return {0, 0};
  return {static_cast<int>(big(16)), static_cast<int>(big(20))};
}

class Figures : public testing::GeneratedTrace {
 protected:
  Figures() : GeneratedTrace({.rows = 300, .populations = 5, .factors = 2, .seed = 11}) {}
  std::string figure(const std::string& name) const { return folder.path("figs/lake_" + name); }
};

TEST_F(Figures, WritesTheChartsWithoutADisplayBesidesTheReport) {
  const ToolRun run =
      runTool(folder, {data, factors, "--interaction", "no", "--figures", folder.path("figs")}, true);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string names[] = {"fst_g1.png",      "fst_g2.png",        "fst_hpdi.png",      "model_probability.png",
                               "column_2.png",    "ranks_2.png",       "rank_ecdf_2.png",   "ess_quantile_2.png",
                               "ess_local_2.png", "ess_run_2.png"};
  std::string expectedOut = folder.path("lake_res.txt") + "\n";
  for (const std::string& name : names) expectedOut += figure(name) + "\n";
  EXPECT_EQ(run.out, expectedOut);
  // the Summary charts laid out at twice their size, the main chart at its own, all at 2x pixels
  const std::pair<int, int> sizes[] = {{1556, 1240}, {1556, 1240}, {1556, 1284}, {1556, 1284}, {1218, 1090},
                                       {1218, 1090}, {1218, 1090}, {1218, 1090}, {1218, 1090}, {1218, 1090}};
  for (std::size_t i = 0; i < std::size(names); ++i) {
    const std::string bytes = readWhole(figure(names[i]));
    EXPECT_EQ(bytes.rfind("\x89PNG\r\n\x1a\n", 0), 0u) << names[i];
    EXPECT_EQ(pngSize(bytes), sizes[i]) << names[i];
  }
}

TEST_F(Figures, EachFormatAndColumnAsAsked) {
  const struct {
    std::vector<std::string> options;
    std::string name, magic;
  } cases[] = {{{"--figure-format", "svg"}, "fst_hpdi.svg", "<?xml"},
               {{"--figure-format=pdf", "--column", "4"}, "column_4.pdf", "%PDF-"},
               {{"--figure-scale", "1"}, "model_probability.png", "\x89PNG"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {data, factors, "0", "--figures", folder.path("figs")};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ToolRun run = runTool(folder, args, true);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readWhole(figure(c.name)).rfind(c.magic, 0), 0u);
  }
  EXPECT_EQ(pngSize(readWhole(figure("model_probability.png"))), std::make_pair(778, 642));
}

// With further chains the column's figure draws each chain, named in its legend, as the window does.
TEST_F(Figures, TheColumnFigureDrawsEveryChain) {
  FstSpec other = spec;
  other.rows = 200;
  other.seed = 12;
  const std::string chain = folder.write("lake2.fst", fstText(other));
  const ToolRun run = runTool(folder, {data, factors, "--interaction", "no", "--chain", chain, "--figures",
                                       folder.path("figs"), "--figure-format", "svg"},
                              true);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string svg = readWhole(figure("column_2.svg"));
  EXPECT_NE(svg.find("chain 1: lake.fst"), std::string::npos);
  EXPECT_NE(svg.find("chain 2: lake2.fst"), std::string::npos);
}

// The rank plots compare the chains, each named; one chain's ECDF is compared as its two halves;
// each figure says what it shows and the ECDF its thinning.
TEST_F(Figures, TheRankFiguresCompareTheChains) {
  FstSpec other = spec;
  other.seed = 12;
  const std::string chain = folder.write("lake2.fst", fstText(other));
  const struct {
    const char* name;
    std::vector<std::string> chains;
    std::string column;
    std::vector<std::pair<std::string, std::vector<std::string>>> figures;  // figure, texts in it
  } cases[] = {
      {"two chains",
       {"--chain", chain},
       "3",
       {{"ranks_3.svg", {"Ranks of ", "chain 1", "chain 2", "rank, in 20 bins per chain"}},
        {"rank_ecdf_3.svg", {"Rank ECDF difference of ", "chain 1", "chain 2", "95% band", "draws per chain"}},
        {"ess_quantile_3.svg", {"Quantile ESS of ", "target 400"}},
        {"ess_local_3.svg", {"Local ESS of "}},
        {"ess_run_3.svg", {"ESS over the run of ", "bulk ESS", "tail ESS", "draws per chain"}}}},
      // an Fst, which mixes well enough to keep draws after thinning
      {"one chain", {}, "4", {{"rank_ecdf_4.svg", {"first half", "second half", "draws per half"}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {data, factors, "--interaction", "no", "--figures", folder.path("figs"),
                                     "--figure-format", "svg", "--column", c.column, "--burn-in", "50"};
    args.insert(args.end(), c.chains.begin(), c.chains.end());
    const ToolRun run = runTool(folder, args, true);
    ASSERT_EQ(run.status, 0) << run.err;
    for (const auto& [name, texts] : c.figures) {
      const std::string svg = readWhole(figure(name));
      for (const std::string& text : texts)
        EXPECT_NE(svg.find(text), std::string::npos) << name << ": " << text;
    }
  }
}

TEST_F(Figures, RefusesWhatItCannotDoWithoutTouchingAnInput) {
  // a figure named as the factors file would replace it
  const std::string linkedFactors = folder.path("figs/lake_fst_g1.png");
  std::filesystem::create_directory(folder.path("figs"));
  std::filesystem::create_symlink(factors, linkedFactors);
  const std::string before = readWhole(factors);
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{data, factors, "0", "--figures", folder.path("figs")}, 2, "factors file"},
      {{data, factors, "0", "--figures", folder.path("other"), "--column", "99"}, 2, "--column 99 is not a column"},
      {{data, factors, "0", "--figure-format", "svg"}, 2, "--figure-format can be given only with --figures"},
      {{data, factors, "0", "--figures", folder.path("other"), "--figure-format", "jpg"}, 2, "png, svg or pdf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const ToolRun run = runTool(folder, c.args, true);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  EXPECT_EQ(readWhole(factors), before);
}

// Every output of a run is checked before any is written: a run refused for one of them leaves
// no report, record or figure behind.
TEST_F(Figures, ARefusedRunWritesNothing) {
  namespace fs = std::filesystem;
  fs::create_directory(folder.path("figs"));
  // the factors file where a figure of the run would go
  const std::string factorsAsFigure = folder.path("figs/lake_fst_g1.png");
  fs::copy_file(factors, factorsAsFigure);
  const std::string plainFile = folder.write("not_a_folder", "x");
  const std::string record = folder.path("lake.json");
  const struct {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {"a figure onto the factors file", {data, factorsAsFigure, "0", "--figures", folder.path("figs")}, 2,
       "factors file"},
      {"figures into a file", {data, factors, "0", "--figures", plainFile}, 2,
       "--figures \"" + plainFile + "\" is a file, not a folder"},
      {"figures under a file", {data, factors, "0", "--figures", plainFile + "/figs"}, 1,
       "cannot make the folder \"" + plainFile + "/figs\" for the figures: \"" + plainFile + "\" is a file"},
      {"a column the data file has not", {data, factors, "0", "--figures", folder.path("new"), "--column", "99"}, 2,
       "--column 99 is not a column"},
      {"a figure onto the report", {data, factors, "0", "--figures", folder.path("figs"), "--output",
                                    folder.path("figs/lake_fst_hpdi.png")},
       2, "would replace another output of the run"},
  };
  auto listing = [&] {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder.path(""))) {
      // (where runTool keeps what the tool printed)
      const std::string name = entry.path().filename().string();
      if (name != "stdout" && name != "stderr") names.push_back(entry.path().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  };
  const std::vector<std::string> before = listing();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--record", record});
    const ToolRun run = runTool(folder, args, true);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(listing(), before);
  }
  EXPECT_EQ(readWhole(factorsAsFigure), readWhole(factors));
}

}  // namespace
}  // namespace varno
