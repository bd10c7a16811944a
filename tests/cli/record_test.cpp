// varno-report --record: the record's checksums, the report left byte for byte as it is, the
// command line that makes the same report again, and the targets it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "report/file_digest.h"
#include "temp_folder.h"
#include "tool_run.h"
#include "tools/trace_generator.h"

namespace varno {
namespace {

using testing::readWhole;
using testing::runProgram;
using testing::runTool;
using testing::TempFolder;
using testing::ToolRun;

// The JSON string that starts at `at` (its opening quote), decoded.
std::string jsonStringAt(const std::string& json, std::size_t at) {
  std::string text;
  for (std::size_t i = at + 1; i < json.size() && json[i] != '"'; ++i) {
    if (json[i] != '\\') {
      text += json[i];
      continue;
    }
    const char c = json[++i];
    if (c == 'u') {
      text += static_cast<char>(std::stoi(json.substr(i + 1, 4), nullptr, 16));
      i += 4;
    } else {
      text += c;
    }
  }
  return text;
}

// The value of the first string field `key` after `from`; empty when there is none.
std::string field(const std::string& json, const std::string& key, std::size_t from = 0) {
  const std::string opener = "\"" + key + "\": \"";
  const std::size_t at = json.find(opener, from);
  return at == std::string::npos ? std::string() : jsonStringAt(json, at + opener.size() - 1);
}

class Record : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.ok());
    // a folder name the shell would split and unquote, to prove the command line's quoting
    runs = folder.path("it's a run");
    std::filesystem::create_directory(runs);
    FstSpec spec;
    spec.rows = 200;
    spec.populations = 4;
    spec.factors = 2;
    spec.seed = 5;
    data = runs + "/lake.fst";
    factors = runs + "/lake factors.txt";
    folder.write("it's a run/lake.fst", fstText(spec));
    folder.write("it's a run/lake factors.txt", factorsText(spec));
  }

  // The record's command line, run by the shell from another folder with the built tool on the
  // PATH, writes the same report again.
  void expectCommandRemakes(const std::string& json, const std::string& report) {
    const std::string bytes = readWhole(report);
    std::filesystem::remove(report);
    const std::string line = field(json, "command_line");
    ASSERT_EQ(line.rfind("varno-report ", 0), 0u) << line;
    const ToolRun again = runProgram(
        folder, "/bin/sh", {"-c", "cd / && PATH='" VARNO_BINARY_DIR "':\"$PATH\" && " + line});
    ASSERT_EQ(again.status, 0) << line << "\n" << again.err;
    EXPECT_EQ(readWhole(report), bytes);
  }

  // The entry of `role` from `from` on names `path` with its size and checksum; where it ends.
  std::size_t expectInput(const std::string& json, const std::string& role, const std::string& path,
                          std::size_t from = 0) {
    const std::size_t entry = json.find("\"role\": \"" + role + "\"", from);
    EXPECT_NE(entry, std::string::npos) << json;
    if (entry == std::string::npos) return entry;
    EXPECT_EQ(field(json, "path", entry), path);
    EXPECT_EQ(field(json, "sha256", entry), digestFile(path)->sha256);
    const std::string size = "\"size\": " + std::to_string(std::filesystem::file_size(path)) + ",";
    EXPECT_EQ(json.find(size, entry), json.find("\"size\"", entry)) << json;
    return entry + 1;
  }

  // A further chain of the analysis in the run's folder: `rows` rows of the same populations and factors.
  std::string furtherChain(const std::string& name, int rows, std::uint64_t seed) {
    FstSpec spec;
    spec.rows = rows;
    spec.populations = 4;
    spec.factors = 2;
    spec.seed = seed;
    return folder.write("it's a run/" + name, fstText(spec));
  }

  TempFolder folder;
  std::string runs, data, factors;
};

TEST_F(Record, ChecksumsAndACommandLineThatMakesTheSameReport) {
  const std::string report = runs + "/lake_res.txt", record = folder.path("lake.json");
  const ToolRun plain = runTool(folder, {data, factors, "--interaction", "no", "--burn-in", "40"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  const std::string plainReport = readWhole(report);

  const ToolRun run =
      runTool(folder, {data, factors, "--interaction", "no", "--burn-in", "40", "--record", record});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, report + "\n" + record + "\n");
  EXPECT_EQ(readWhole(report), plainReport);  // the report is the same with or without a record

  const std::string json = readWhole(record);
  expectInput(json, "data", data);
  expectInput(json, "factors", factors);
  for (const char* wanted : {R"("rows": {"total": 200, "burn_in": 40, "burn_out": 0, "retained": 160})",
                             R"("factors": {"mode": -1, "count": 2, "interaction": false})",
                             R"("program": "varno-report")", R"("chains": 1,)", R"("model_filter": 0,)"})
    EXPECT_NE(json.find(wanted), std::string::npos) << wanted << "\nin\n" << json;
  expectCommandRemakes(json, report);
}

// A suggested burn-in is recorded as the rows it took, with the rule and the column and chain
// that set it; the command keeps "--burn-in auto" as given, and makes the same report again.
TEST_F(Record, ASuggestedBurnInNamesItsRuleAndWhatSetIt) {
  const std::string report = runs + "/lake_res.txt", record = folder.path("lake.json");
  const ToolRun run = runTool(folder, {data, factors, "--interaction", "no", "--burn-in", "auto:2", "--record", record});
  ASSERT_EQ(run.status, 0) << run.err;
  // "varno-report: burn-in: N rows (suggested: MSER-5, set by Sigma ², ...)"
  const std::string said = "varno-report: burn-in: ";
  ASSERT_EQ(run.err.rfind(said, 0), 0u) << run.err;
  const std::string rows = run.err.substr(said.size(), run.err.find(' ', said.size()) - said.size());
  EXPECT_NE(rows, "0") << "the trace's Sigma must have a transient to cut";
  EXPECT_EQ(run.err.substr(run.err.find(" rows")), " rows (suggested: MSER-5, set by Sigma \u00b2)\n");
  const std::string json = readWhole(record);
  const std::string wanted[] = {
      "\"burn_in\": " + rows + ",",
      "\"retained\": " + std::to_string(200 - std::stoi(rows)) + "}",
      "\"burn_in_rule\": \"MSER-5\",\n  \"burn_in_set_by\": {\"column\": 2, \"name\": \"Sigma \u00b2\", \"chain\": 1},",
      "\"--burn-in\", \"auto:2\""};
  for (const std::string& w : wanted) EXPECT_NE(json.find(w), std::string::npos) << w << "\nin\n" << json;
  // the same report as with the burn-in given as a number
  const std::string bytes = readWhole(report);
  ASSERT_EQ(runTool(folder, {data, factors, "--interaction", "no", "--burn-in", rows}).status, 0);
  EXPECT_EQ(readWhole(report), bytes);
  expectCommandRemakes(json, report);
}

// Further chains are inputs of the report: digested in order, counted in the rows, and named in
// the command that makes the same pooled report again.
TEST_F(Record, FurtherChainsAreDigestedAndInTheCommand) {
  const std::string chain2 = furtherChain("lake2.fst", 150, 6);
  const std::string chain3 = furtherChain("lake3.fst", 150, 7);
  const std::string report = runs + "/lake_res.txt", record = folder.path("lake.json");
  const ToolRun run = runTool(folder, {data, factors, "--interaction", "no", "--burn-in", "40", "--chain", chain2,
                                       "--chain", chain3, "--record", record});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string json = readWhole(record);
  std::size_t at = expectInput(json, "data", data);
  at = expectInput(json, "chain", chain2, at);
  expectInput(json, "chain", chain3, at);
  for (const char* wanted : {R"("rows": {"total": 500, "burn_in": 40, "burn_out": 0, "retained": 380})",
                             R"("chains": 3,)"})
    EXPECT_NE(json.find(wanted), std::string::npos) << wanted << "\nin\n" << json;
  expectCommandRemakes(json, report);
}

// A burn-in as a share gives each chain its own rows: the record says the share as given, as the
// rule, and the rows of each chain; its command makes the same report again.
TEST_F(Record, ABurnInShareRecordsTheRowsOfEachChain) {
  const std::string chain2 = furtherChain("lake2.fst", 155, 6);
  const std::string report = runs + "/lake_res.txt", record = folder.path("lake.json");
  const ToolRun run = runTool(folder, {data, factors, "--interaction", "no", "--burn-in", "10%", "--chain", chain2,
                                       "--record", record});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string json = readWhole(record);
  // 10% of 200 rows is 20, of 155 rows 15 (rounded down)
  for (const char* wanted : {R"("rows": {"total": 355, "burn_in": 20, "burn_out": 0, "retained": 320},)",
                             "\"burn_in_by_chain\": [20, 15],\n",
                             "\"burn_in_rule\": \"10% of each chain's rows\",\n  \"burn_in_set_by\": null,",
                             R"("--burn-in", "10%")"})
    EXPECT_NE(json.find(wanted), std::string::npos) << wanted << "\nin\n" << json;
  expectCommandRemakes(json, report);
}

TEST_F(Record, WithFiguresTheRecordListsThemAndTheirOptions) {
  const std::string record = folder.path("lake.json");
  const ToolRun run = runTool(folder,
                              {data, factors, "0", "--figures", folder.path("figs"), "--figure-format", "svg",
                               "--column", "3", "--record", record},
                              true);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string json = readWhole(record);
  // appended, not joined with operator+ (GCC 12 warns falsely about a literal before a string)
  const auto quoted = [](const std::string& text) {
    std::string q(1, '"');
    q.append(text).push_back('"');
    return q;
  };
  std::string figuresOption = quoted("--figures");
  figuresOption.append(", ").append(quoted(folder.path("figs")));
  for (const std::string& wanted : {quoted(folder.path("figs/lake_column_3.svg")),
                                    std::string(R"("--figure-format", "svg")"), std::string(R"("--column", "3")"),
                                    figuresOption})
    EXPECT_NE(json.find(wanted), std::string::npos) << wanted << "\nin\n" << json;
}

TEST_F(Record, TargetsAndUsesItRefuses) {
  const std::string chain = folder.write("it's a run/lake2.fst", readWhole(data));
  const struct {
    const char* name;
    std::vector<std::string> args;
    std::string piece;
  } cases[] = {
      {"the data file", {"--record", data}, "data file"},
      {"the factors file", {"--record", factors}, "factors file"},
      {"a further chain", {"--chain", chain, "--record", chain}, "data file of chain 2"},
      {"the report", {"--output", folder.path("r.txt"), "--record", folder.path("r.txt")}, "report"},
      {"the report by another name", {"--output", folder.path("r.txt"), "--record", runs + "/../r.txt"}, "report"},
      {"standard output", {"--record", "-"}, "--record needs"},
      {"a report to standard output", {"--output", "-", "--record", folder.path("r.json")}, "--output -"},
      {"with a column", {"--column", "2", "--record", folder.path("r.json")}, "--record"},
      {"with the summary", {"--summary", "--record", folder.path("r.json")}, "--record"},
  };
  const std::string dataBytes = readWhole(data);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {data, factors, "0"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolRun run = runTool(folder, args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(c.piece), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder.path("r.json")));
  }
  EXPECT_EQ(readWhole(data), dataBytes);
  EXPECT_FALSE(std::filesystem::exists(runs + "/lake_res.txt"));
}

}  // namespace
}  // namespace varno
