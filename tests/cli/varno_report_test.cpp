// The varno-report program run on small generated files: its outputs, files and exit statuses.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <charconv>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "report/summary_table.h"
#include "report/unattended_run.h"
#include "generated_trace.h"
#include "temp_folder.h"
#include "tool_run.h"
#include "tools/trace_generator.h"

namespace varno {
namespace {

using testing::TempFolder;
using testing::readWhole;
using testing::runTool;
using testing::ToolRun;

std::map<std::string, std::string> figures(const std::string& out) {
  std::map<std::string, std::string> result;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos) result[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return result;
}

int newlines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

class VarnoReport : public testing::GeneratedTrace {
 protected:
  VarnoReport() : GeneratedTrace({.rows = 400, .populations = 4, .factors = 2, .seed = 7}) {}
};

// A FIFO no program writes to, as factors file, chain, CODA index or chain file beside an index,
// is refused at once (exit 1) and nothing is written; a tool that waited would be ended by the
// alarm of runTool, and fail.
TEST_F(VarnoReport, AFifoIsRefusedWhereverAFileIsNamed) {
  const std::string fifo = folder.path("pipe_index.txt"), chainFifo = folder.path("pipe.fst");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(chainFifo.c_str(), 0600), 0);
  const std::string codaFolder = folder.path("coda");
  std::filesystem::create_directory(codaFolder);
  const std::string index = folder.write("coda/CODAindex.txt", "alpha 1 2\n");
  const std::string besideFifo = codaFolder + "/CODAchain1.txt";
  ASSERT_EQ(mkfifo(besideFifo.c_str(), 0600), 0);
  const auto refused = [](const std::string& path) {
    return "\"" + path + "\" is not a regular file (it is a FIFO): only regular files are read";
  };
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string says;
  };
  const std::vector<Case> cases = {
      {"the factors file of a report", {data, fifo, "0"}, refused(fifo)},
      {"the factors file of a column", {data, fifo, "0", "--column", "2"}, refused(fifo)},
      {"a chain", {data, factors, "0", "--summary", "--chain", chainFifo}, refused(chainFifo)},
      {"a data file named like an index", {fifo, "--summary"}, refused(fifo)},
      {"the chain file beside an index", {index, "--summary"}, refused(besideFifo)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ToolRun run = runTool(folder, c.args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "varno-report: " + c.says + "\n");
  }
  EXPECT_FALSE(std::filesystem::exists(folder.path("lake_res.txt")));
}

// --model M: the report's Fst statistics are those of model M's rows, as the window's report with
// Model M chosen; the rest of the report still counts every retained row.
TEST_F(VarnoReport, AReportOfOneModelChangesOnlyItsFstStatistics) {
  const ToolRun all = runTool(folder, {data, factors, "0", "--output", "-"});
  const ToolRun two = runTool(folder, {data, factors, "0", "--output", "-", "--model", "2"});
  ASSERT_EQ(all.status, 0) << all.err;
  ASSERT_EQ(two.status, 0) << two.err;
  const std::size_t allAt = all.out.find("\nP(model=1)"), twoAt = two.out.find("\nP(model=1)");
  ASSERT_NE(allAt, std::string::npos);
  ASSERT_NE(twoAt, std::string::npos);
  EXPECT_NE(two.out.substr(0, twoAt), all.out.substr(0, allAt));
  // models, factors and the best model's coefficients come from every retained row
  EXPECT_EQ(two.out.substr(twoAt), all.out.substr(allAt));

  const ToolRun beyond = runTool(folder, {data, factors, "0", "--model", "5"});
  EXPECT_EQ(beyond.status, 2);
  EXPECT_EQ(beyond.err, "varno-report: --model 5 is not a model of \"" + factors +
                            "\": its factors give models 1 to 4 (0 takes all models) (see varno-report --help)\n");
}

TEST_F(VarnoReport, WritesTheSharedRunsBytesUnderTheDefaultName) {
  const ToolRun run = runTool(folder, {data, factors, "--interaction", "no", "--burn-in", "40"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string expectedPath = folder.path("lake_res.txt");
  EXPECT_EQ(run.out, expectedPath + "\n");
  EXPECT_EQ(run.err, "");

  UnattendedOptions options;
  options.dataPath = data;
  options.factorsPath = factors;
  options.interaction = false;
  options.burnIn = 40;
  const UnattendedResult expected = buildUnattendedReport(options);
  ASSERT_FALSE(expected.error) << expected.error->message;
  const std::string written = readWhole(expectedPath);
  EXPECT_EQ(written, expected.report->text);
  EXPECT_EQ(written.rfind("       Fst statistics:", 0), 0u);
  EXPECT_NE(written.find("\nPop4   "), std::string::npos);
  EXPECT_NE(written.find("\nP(model=4)= "), std::string::npos);
}

TEST_F(VarnoReport, OutputOptionAndModeArgumentChooseTheFileAndFactors) {
  const std::string output = folder.path("chosen report.txt");
  const ToolRun run = runTool(folder, {data, factors, "0", "--output=" + output});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, output + "\n");
  EXPECT_FALSE(std::filesystem::exists(folder.path("lake_res.txt")));
  const std::string written = readWhole(output);
  EXPECT_NE(written.find("G1      G2      \n"), std::string::npos);
  EXPECT_EQ(written.find("G1*G2"), std::string::npos);
}

TEST_F(VarnoReport, TwoFactorFileWithoutInteractionAnswerStops) {
  const ToolRun run = runTool(folder, {data, factors});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(newlines(run.err), 1) << run.err;
  EXPECT_NE(run.err.find("--interaction yes|no"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(folder.path("lake_res.txt")));
}

TEST_F(VarnoReport, FaultsGiveOneLineAndTheirExitStatus) {
  const std::string refused = folder.write("words.fst", "iteration sigma model\n");
  const std::string table = folder.write("table.ml", "1 2\n3 4\n5 6\n");
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string piece;  // expected in the message
  };
  const Case cases[] = {
      {"missing data file", {folder.path("absent.fst"), factors, "0"}, 1, "absent.fst"},
      {"refused data file", {refused, factors, "0"}, 1, "words.fst"},
      {"missing factors file", {data, folder.path("absent.txt"), "0"}, 1, "absent.txt"},
      {"report of a non-fst file", {table, factors}, 1, "table.ml"},
      {"unwritable output", {data, factors, "0", "--output", folder.path("no/such/folder/r.txt")}, 1,
       "no/such/folder/r.txt"},
      {"no arguments", {}, 2, "no data file"},
      {"no factors file for a report", {data}, 2, "factors"},
      {"unknown option", {data, factors, "--colour", "red"}, 2, "--colour"},
      {"option without value", {data, factors, "--burn-in"}, 2, "--burn-in"},
      {"negative burn-in", {data, factors, "0", "--burn-in", "-3"}, 2, "--burn-in"},
      {"mode not a number", {data, factors, "x"}, 2, "MODE"},
      {"bad interaction answer", {data, factors, "--interaction", "maybe"}, 2, "--interaction"},
      {"too many arguments", {data, factors, "0", "extra"}, 2, "extra"},
      {"option of the other use", {data, factors, "0", "--level", "90"}, 2, "--level"},
      {"output with a column", {table, "--column", "1", "--output", "x"}, 2, "--output"},
      {"level out of range", {table, "--column", "1", "--level", "100"}, 2, "--level"},
      {"model without factors", {data, "--column", "2", "--model", "1"}, 2, "--model"},
      {"model of a non-fst file", {table, factors, "0", "--column", "1", "--model", "1"}, 2, "model"},
      {"column beyond the table", {table, "--column", "3"}, 2, "column 3"},
      {"range leaving one row", {table, "--column", "1", "--burn-in", "1", "--burn-out", "1"}, 2, "burn"},
      {"given twice", {data, factors, "0", "--burn-in", "1", "--burn-in", "2"}, 2, "more than once"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ToolRun run = runTool(folder, c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(newlines(run.err), 1) << run.err;
    EXPECT_EQ(run.err.rfind("varno-report: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.piece), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(folder.path("lake_res.txt")));
}

TEST_F(VarnoReport, HelpAndVersionExitZero) {
  const ToolRun help = runTool(folder, {data, "--help", "--bogus"});
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--interaction", "--burn-in", "--burn-out", "--output", "--column", "--level",
                             "--bandwidth-position", "--model", "--help", "--version", "MODE"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  const ToolRun version = runTool(folder, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.out.find("varno-report 2.0"), std::string::npos) << version.out;
}

// Column 2 holds 1 .. 10, column 3 alternates -1 and 1 (mean exactly 0).
TEST_F(VarnoReport, ColumnFiguresAreTheStatisticsBoxTexts) {
  std::string text;
  for (int i = 1; i <= 10; ++i) text += std::to_string(i * 100) + " " + std::to_string(i) + (i % 2 ? " -1\n" : " 1\n");
  const std::string table = folder.write("trace.ml", text);
  struct Case {
    const char* name;
    std::vector<std::string> options;
    std::map<std::string, std::string> expected;
  };
  const Case cases[] = {
      // n = 10 at 95 %: one window, the whole range; the default position is trunc(100 ln 2.02494) = 70
      {"defaults",
       {"--column", "2"},
       {{"mean", "5.5"}, {"variance", "9.16667"}, {"min", "1"}, {"max", "10"}, {"hpdi", "[1 ; 10]"},
        {"width", "9"}, {"accuracy", "81.82"}, {"lambda", "2.01375"}}},
      {"level and bandwidth given",
       {"--column", "2", "--level", "50", "--bandwidth-position", "-200"},
       {{"hpdi", "[1 ; 6]"}, {"width", "5"}, {"accuracy", "45.45"}, {"lambda", "0.135335"}}},
      {"burn-in and burn-out", {"--column", "2", "--burn-in", "4", "--burn-out", "2"},
       {{"mean", "6.5"}, {"min", "5"}, {"max", "8"}}},
      {"mean of exactly zero", {"--column", "3"}, {{"mean", "0"}, {"accuracy", "INF"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args{table};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ToolRun run = runTool(folder, args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::map<std::string, std::string> got = figures(run.out);
    ASSERT_EQ(newlines(run.out), 9) << run.out;
    const char* order[] = {"mean", "variance", "min", "max", "mode", "hpdi", "width", "accuracy", "lambda"};
    std::string names;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) names += line.substr(0, line.find('\t')) + " ";
    std::string wanted;
    for (const char* n : order) wanted += std::string(n) + " ";
    EXPECT_EQ(names, wanted);
    for (const auto& [name, value] : c.expected) EXPECT_EQ(got.at(name), value) << name;
  }
}

// An fst trace of two populations and one factor: models 1 1 2 1 1 in the rows.
TEST_F(VarnoReport, ModelFilterTakesOnlyTheRowsOfThatModel) {
  const std::string trace = folder.write("small.fst",
                                         "0 0.5 -1 0.10 0.3 1 1 2\n"
                                         "1 0.6 -1 0.20 0.3 1 1 2\n"
                                         "2 0.7 -1 0.90 0.3 2 1 2\n"
                                         "3 0.8 -1 0.30 0.3 1 1 2\n"
                                         "4 0.9 -1 0.40 0.3 1 1 2\n");
  const std::string oneFactor = folder.write("small.txt", "g[1]=1 2\n");
  const ToolRun model1 = runTool(folder, {trace, oneFactor, "--column", "4", "--model", "1"});
  ASSERT_EQ(model1.status, 0) << model1.err;
  EXPECT_EQ(figures(model1.out).at("mean"), "0.25");
  EXPECT_EQ(figures(model1.out).at("max"), "0.4");

  const ToolRun model2 = runTool(folder, {trace, oneFactor, "--column", "4", "--model", "2"});
  EXPECT_EQ(model2.status, 1);
  EXPECT_EQ(model2.out, "");
  EXPECT_EQ(newlines(model2.err), 1) << model2.err;
  EXPECT_NE(model2.err.find("1 value"), std::string::npos) << model2.err;
  EXPECT_NE(model2.err.find("at least two"), std::string::npos) << model2.err;
}

// Every way of naming an input as the output, and outputs that are not plain files: the exit
// status, the message, and the inputs byte for byte as they were.
TEST_F(VarnoReport, NoOutputDestroysAnInputOrTurnsIntoAPlainFile) {
  const std::string dataBytes = readWhole(data), factorsBytes = readWhole(factors);
  ASSERT_EQ(link(data.c_str(), folder.path("hard.fst").c_str()), 0);
  std::filesystem::create_symlink(factors, folder.path("soft.txt"));
  ASSERT_EQ(mkfifo(folder.path("unread").c_str(), 0600), 0);
  const std::string readOnly = folder.write("old_res.txt", "old report");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  const std::string three = folder.write("three.txt", factorsText(spec) + "g[3]=1 2 3 4\n");
  const std::string threeBytes = readWhole(three);
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string piece;  // expected on standard error
  };
  const std::vector<std::string> run = {data, factors, "--interaction", "no", "--output"};
  auto to = [&](const std::string& target) {
    std::vector<std::string> args = run;
    args.push_back(target);
    return args;
  };
  const Case cases[] = {
      {"the data file", to(data), 2, "\"" + data + "\" is the data file of the analysis"},
      {"the factors file", to(factors), 2, "is the factors file of the analysis"},
      {"the data file by another path", to(folder.path("./lake.fst")), 2, "is the data file"},
      {"a hard link to the data file", to(folder.path("hard.fst")), 2, "(\"" + data + "\" under another name)"},
      {"a symbolic link to the factors file", to(folder.path("soft.txt")), 2, "is the factors file"},
      {"a FIFO nobody reads", to(folder.path("unread")), 1, "it is a FIFO that no program reads"},
      {"a read-only file", to(readOnly), 1, "the file is read-only"},
      {"a missing folder", to(folder.path("nonexist/r.txt")), 1,
       "the folder \"" + folder.path("nonexist") + "\" does not exist"},
      {"MODE 1 and no interaction", {data, factors, "1", "--interaction", "no"}, 2,
       "MODE 1 (two factors and their interaction), which conflicts with --interaction no"},
      {"MODE 0 and the interaction", {data, factors, "0", "--interaction", "yes"}, 2,
       "conflicts with --interaction yes"},
      {"the interaction with three factor lines", {data, three, "--interaction", "yes"}, 2,
       "holds 3 factor lines, which conflicts with --interaction yes"},
      {"a model beyond the factors", {data, factors, "0", "--column", "2", "--model", "5"}, 2,
       "--model 5 is not a model of"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ToolRun result = runTool(folder, c.args);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(newlines(result.err), 1) << result.err;
    EXPECT_NE(result.err.find(c.piece), std::string::npos) << result.err;
    EXPECT_EQ(readWhole(data), dataBytes);
    EXPECT_EQ(readWhole(factors), factorsBytes);
    EXPECT_EQ(readWhole(three), threeBytes);
  }
  EXPECT_EQ(readWhole(readOnly), "old report");
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path("soft.txt")));
  EXPECT_TRUE(std::filesystem::is_fifo(folder.path("unread")));
  EXPECT_FALSE(std::filesystem::exists(folder.path("lake_res.txt")));
}

TEST_F(VarnoReport, OutputDashAndLinksAndFifosReceiveTheReport) {
  const ToolRun toFile = runTool(folder, {data, factors, "--interaction", "no"});
  ASSERT_EQ(toFile.status, 0) << toFile.err;
  const std::string report = readWhole(folder.path("lake_res.txt"));
  ASSERT_FALSE(report.empty());

  const ToolRun dash = runTool(folder, {data, factors, "--interaction", "no", "--output", "-"});
  EXPECT_EQ(dash.status, 0) << dash.err;
  EXPECT_EQ(dash.out, report);

  // a link is followed and stays a link
  std::filesystem::create_directory(folder.path("kept"));
  const std::string linkTarget = folder.write("kept/r.txt", "old");
  std::filesystem::create_symlink(linkTarget, folder.path("link.txt"));
  const ToolRun viaLink = runTool(folder, {data, factors, "--interaction", "no", "--output", folder.path("link.txt")});
  EXPECT_EQ(viaLink.status, 0) << viaLink.err;
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path("link.txt")));
  EXPECT_EQ(readWhole(linkTarget), report);

  // a FIFO with a reader is written in place; the reader is there before the tool starts and the
  // report fits in the pipe, so nothing waits
  const std::string fifo = folder.path("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  ASSERT_LT(report.size(), 65536u);
  const ToolRun viaFifo = runTool(folder, {data, factors, "--interaction", "no", "--output", fifo});
  std::string got(report.size() + 1, '\0');
  const ssize_t n = read(reader, got.data(), got.size());
  close(reader);
  EXPECT_EQ(viaFifo.status, 0) << viaFifo.err;
  EXPECT_EQ(got.substr(0, n > 0 ? static_cast<std::size_t>(n) : 0), report);
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// Factors files against one trace of two factors and four populations (eleven columns).
TEST_F(VarnoReport, FactorsFilesThatDoNotFitTheTraceAreNamed) {
  const std::vector<std::vector<double>> values = factorFileValues(spec);
  auto lineOf = [&](int f) {
    std::string text = "g[" + std::to_string(f + 1) + "]=";
    for (double v : values[static_cast<std::size_t>(f % 2)]) text += std::to_string(v) + " ";
    return text + "\n";
  };
  const std::string g1 = lineOf(0), g2 = lineOf(1);
  struct Case {
    const char* name;
    std::string text;
    int status;
    std::vector<std::string> pieces;  // expected on standard error
  };
  const Case cases[] = {
      {"no factor line", "npop=4\n", 1,
       {"column 10 should hold model number 1 (no factors) but holds ", " in row 1: the factors file",
        "has 0 factor lines; does it belong to this data file?"}},
      {"one factor line", "npop=4\n" + g1, 1,
       {"column 9 should hold model numbers 1 to 2 (1 factor)", "has 1 factor line;"}},
      {"two factor lines", "npop=4\n" + g1 + g2, 0, {}},
      {"three factor lines", "npop=4\n" + g1 + g2 + lineOf(2), 1,
       {"column 7 should hold model numbers 1 to 8 (3 factors)", "has 3 factor lines;"}},
      {"four factor lines", "npop=4\n" + g1 + g2 + lineOf(2) + lineOf(3), 1,
       {"column 6 should hold model numbers 1 to 16 (4 factors)", "has 4 factor lines;"}},
      {"a short factor line", "npop=4\n" + g1 + "g[2]=12 15 11\n", 1,
       {"line 3: the factor line of G2 has 3 values for the 4 populations of the data file: population 4 has no "
        "G2 value"}},
      {"a word among the values", "npop=4\n" + g1 + "g[2]=12 15 twelve 11\n", 1,
       {"line 3: G2 of population 3: \"twelve\" is not a number"}},
      {"a value out of range", "npop=4\n" + g1 + "g[2]=12 15 1e39 11\n", 1,
       {"line 3: G2 of population 3: \"1e39\" is out of range"}},
      {"npop that differs", "npop=5\n" + g1 + g2, 1, {"line 1: npop=5, but the data file has 4 populations"}},
      {"a blank before \"=\"", "npop=4\n" + g1 + "g[2] = 12 15 11 14\n", 1,
       {"has 1 factor line (line 3 looks like one but has a blank before \"=\")"}},
      {"a third line with a blank before \"=\"", "npop=4\n" + g1 + g2 + "g[3] = 1 2 3 4\n", 0,
       {"warning: \"", "line 4: \"g[3] =\" looks like a factor line but was not counted"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = folder.write("f.txt", c.text);
    const ToolRun result = runTool(folder, {data, file, "--interaction", "no"});
    EXPECT_EQ(result.status, c.status) << result.err;
    if (c.status != 0) {
      EXPECT_EQ(newlines(result.err), 1) << result.err;
    }
    if (c.pieces.empty()) {
      EXPECT_EQ(result.err, "");
    }
    for (const std::string& piece : c.pieces) EXPECT_NE(result.err.find(piece), std::string::npos) << result.err;
    EXPECT_EQ(readWhole(file), c.text);
    std::filesystem::remove(folder.path("lake_res.txt"));
  }
}

// A report never carries a factor value that no file gave: too few factor lines for the factors,
// or a value that is missing or no number, stop the run before anything is written.
TEST_F(VarnoReport, AFactorValueNoFileGivesIsNeverReported) {
  const std::vector<std::vector<double>> values = factorFileValues(spec);
  std::string g1 = "g[1]=";
  for (double v : values[0]) g1 += std::to_string(v) + " ";
  g1 += "\n";
  struct Case {
    const char* name;
    std::string text;
    const char* mode;
    std::string reason;  // after "f.txt" line
  };
  const Case cases[] = {
      {"one factor line for two factors", g1, "0",
       " 1: no factor line gives G2: the file has 1 factor line and the factors of the analysis need 2; "
       "populations 1 to 4 have no G2 value"},
      {"an empty file", "", "0",
       " 1: no factor line gives G1: the file has 0 factor lines and the factors of the analysis need 2; "
       "populations 1 to 4 have no G1 value"},
      {"random bytes", std::string("\x01\xff\x00zz\x7f\n\x02", 8), "0",
       " 2: no factor line gives G1: the file has 0 factor lines and the factors of the analysis need 2; "
       "populations 1 to 4 have no G1 value"},
      {"a word for population 2", g1 + "g[2]=12 x 1 2\n", "0", " 2: G2 of population 2: \"x\" is not a number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = folder.write("f.txt", c.text);
    for (const char* output : {"-", ""}) {
      std::vector<std::string> args{data, file, c.mode};
      if (*output) args.insert(args.end(), {"--output", output});
      const ToolRun run = runTool(folder, args);
      EXPECT_EQ(run.status, 1) << run.err;
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(run.err, "varno-report: \"" + file + "\" line" + c.reason + "\n");
      EXPECT_FALSE(std::filesystem::exists(folder.path("lake_res.txt")));
    }
  }
}

// Factor lines give G1, G2, ... in file order whatever their names; names that say otherwise are
// warned about, and the report follows the order.
TEST_F(VarnoReport, FactorLabelsOutOfOrderAreWarnedAbout) {
  const std::vector<std::vector<double>> values = factorFileValues(spec);
  auto lineOf = [&](int label, int f) {
    std::string text = "g[" + std::to_string(label) + "]=";
    for (double v : values[static_cast<std::size_t>(f)]) text += std::to_string(v) + " ";
    return text + "\n";
  };
  const std::string swapped = folder.write("swapped.txt", "npop=4\n" + lineOf(2, 1) + lineOf(1, 0));
  const ToolRun run = runTool(folder, {data, swapped, "0", "--output", "-"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "varno-report: warning: \"" + swapped +
                         "\" line 2: \"g[2]\" gives G1, not G2: factor lines are taken in file order\n"
                         "varno-report: warning: \"" + swapped +
                         "\" line 3: \"g[1]\" gives G2, not G1: factor lines are taken in file order\n");
  // the report is that of the same values under names in order
  const std::string inOrder = folder.write("in_order.txt", "npop=4\n" + lineOf(1, 1) + lineOf(2, 0));
  const ToolRun same = runTool(folder, {data, inOrder, "0", "--output", "-"});
  ASSERT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.err, "");
  EXPECT_EQ(run.out, same.out);
}

// Rows of unknown models, a row joined to the next and a partial read are said, and the report written.
TEST_F(VarnoReport, ReadingNotesAreWarningsOfASuccessfulRun) {
  const std::string trace = folder.write("odd.fst",
                                         "0 0.5 -1 0.10 0.3 1 1 2\n"
                                         "1 0.6 -1 0.20 0.3 7 1 2 2 0.6 -1 0.20 0.3 1 1 2\n"
                                         "3 0.8 -1 0.30 0.3 0 1 2\n"
                                         "4 0.9 -1 0.40 0.3 2 1 2\n"
                                         "5 0.9 -1 0.40 oops\n");
  const std::string oneFactor = folder.write("odd.txt", "g[1]=1 2\n");
  const ToolRun result = runTool(folder, {trace, oneFactor});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, folder.path("odd_res.txt") + "\n");
  EXPECT_EQ(result.err,
            "varno-report: warning: \"" + trace + "\": reading stopped at line 5: \"oops\" is not a number; "
            "only the 4 rows before it are used\n"
            "varno-report: warning: \"" + trace + "\": 1 row holds more numbers than the first row, at line 2; "
            "its extra numbers are not read\n"
            "varno-report: warning: \"" + trace + "\": 2 rows carry model numbers outside 1..2 and are not "
            "counted\n");
}

}  // namespace
}  // namespace varno

namespace varno {
namespace {

TEST_F(VarnoReport, SummaryPrintsTheSharedTableInEachFormat) {
  SummaryTableOptions options;
  options.dataPath = data;
  options.factorsPath = factors;
  options.interaction = false;
  options.burnIn = 40;
  options.levelPercent = 90;
  options.modelFilter = 2;
  for (const auto& [name, format] : {std::pair{"tsv", SummaryFormat::tsv}, std::pair{"csv", SummaryFormat::csv},
                                     std::pair{"json", SummaryFormat::json}}) {
    options.format = format;
    const SummaryTableResult expected = runSummaryTable(options);
    ASSERT_TRUE(expected.text);
    const ToolRun run = runTool(folder, {data, factors, "--summary", "--format", name, "--interaction=no",
                                         "--burn-in", "40", "--level", "90", "--model", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, *expected.text) << name;
    EXPECT_EQ(run.err, "");
  }
  const ToolRun plain = runTool(folder, {data, factors, "--interaction=no", "--summary"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out.rfind("column\tname\tn\tmean\tsd\tmode\thpdi_low\thpdi_high\tess_bulk\tess_tail\trhat\tmcse_mean\t"
                            "mcse_hpdi_low\tmcse_hpdi_high\tburnin_mser\n"
                            "1\tIteration\t400\t", 0),
            0u)
      << plain.out;
}

// Without its factors file an fst file is read as having no factors, and its model column is
// checked for that, as the window checks it; a column is found by the name the tool shows for it.
TEST_F(VarnoReport, AnFstFileWithoutItsFactorsIsCheckedAndColumnsGoByTheirShownNames) {
  for (const char* use : {"--summary", "--column"}) {
    SCOPED_TRACE(use);
    std::vector<std::string> args{data, use};
    if (std::string(use) == "--column") args.push_back("2");
    const ToolRun run = runTool(folder, args);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("\"" + data + "\": column 10 should hold model number 1 (no factors) but holds "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(": it was read without a factors file, as having no environmental factors; if it was "
                           "written with them, give its factors file after the data file\n"),
              std::string::npos)
        << run.err;
  }
  // the names --summary shows
  const ToolRun summary = runTool(folder, {data, factors, "--interaction=no", "--summary"});
  ASSERT_EQ(summary.status, 0) << summary.err;
  const std::pair<const char*, const char*> named[] = {{"Sigma \xC2\xB2", "2"}, {"Fst1", "4"}, {"Model", "8"}};
  for (const auto& [name, number] : named) {
    SCOPED_TRACE(name);
    EXPECT_NE(summary.out.find(std::string("\n") + number + "\t" + name + "\t"), std::string::npos) << summary.out;
    const ToolRun byName = runTool(folder, {data, factors, "--interaction=no", "--column", name});
    const ToolRun byNumber = runTool(folder, {data, factors, "--interaction=no", "--column", number});
    ASSERT_EQ(byName.status, 0) << byName.err;
    EXPECT_EQ(byName.out, byNumber.out);
  }
}

TEST_F(VarnoReport, SummaryRefusesOptionsOfTheOtherUses) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{data, "--summary", "--column", "2"}, "--summary and --column cannot be given together"},
      {{data, "--summary", "--format", "xml"}, "--format needs tsv, csv or json, not \"xml\""},
      {{data, "--summary=yes"}, "--summary takes no value"},
      {{data, "--summary", "--output", "x"}, "--output cannot be given with --summary"},
      {{data, "--summary", "--bandwidth-position", "3"}, "--bandwidth-position cannot be given with --summary"},
      {{data, factors, "--format", "csv"}, "--format can be given only with --summary"},
      {{data, "--summary", "--model", "2"}, "--model needs the factors file"},
  };
  for (const auto& [args, piece] : cases) {
    const ToolRun run = runTool(folder, args);
    EXPECT_EQ(run.status, 2) << piece;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(piece), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace varno
