// varno-report --summary --follow (and --models --follow) while the test appends to the files: a
// table per growth equal to a fresh run of the files then, the last table on a stop signal, the target confirmed,
// --idle, a bad row, an empty file waited for, and the arguments it refuses.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tests/cli/temp_folder.h"
#include "tests/cli/text_cells.h"
#include "tests/cli/tool_run.h"
#include "tools/trace_generator.h"

namespace varno::testing {
namespace {

// Rows `from` .. `from + count - 1` of a chain: the iteration, then tau and sigma, pseudo-random
// from the row number alone, so that a chain written in pieces is the chain written at once.
std::string chainRows(int chain, long long from, long long count) {
  std::string text;
  for (long long i = from; i < from + count; ++i) {
    std::uint64_t s = static_cast<std::uint64_t>(chain) * 7919u + static_cast<std::uint64_t>(i) * 104729u;
    const auto next = [&] {
      s = (s * 6364136223846793005u + 1442695040888963407u);
      return static_cast<double>(s >> 11) / 9007199254740992.0;
    };
    next();
    text += std::to_string(i) + "\t" + std::to_string(next()) + "\t" + std::to_string(10 * next()) + "\n";
  }
  return text;
}

constexpr const char* kHeader = "iter\ttau\tsigma\n";
constexpr int kTableLines = 4;  // the header and one line per column

// Appends with one write, as a sampler flushing its rows does.
void append(const std::string& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::close(fd);
}

// The tool running in the background, its standard output and error read from pipes.
class FollowingTool {
 public:
  FollowingTool(const std::vector<std::string>& args) {
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) return;
    std::vector<std::string> all{VARNO_BINARY_DIR "/varno-report"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      if (::dup2(out[1], 1) < 0 || ::dup2(err[1], 2) < 0) _exit(126);
      for (int fd : {out[0], out[1], err[0], err[1]}) ::close(fd);
      alarm(900);  // a tool that never ends is ended, and the test fails rather than hangs
      ::execv(argv[0], argv.data());
      _exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_.fd = out[0];
    err_.fd = err[0];
  }
  ~FollowingTool() {
    if (pid_ > 0 && !status_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    for (int fd : {out_.fd, err_.fd})
      if (fd >= 0) ::close(fd);
  }

  // The next table it prints, of `lines` lines; nothing when its output ends first.
  std::optional<std::string> nextTable(long long lines = kTableLines) {
    std::string table;
    for (long long l = 0; l < lines; ++l) {
      const std::optional<std::string> line = out_.line();
      if (!line) return std::nullopt;
      table += *line;
    }
    return table;
  }

  // Reads tables until the one of `rows` rows (of all chains, as the line on standard error after
  // each table says) and whether it is `expected`. A table of part of an append, read while it was
  // being written, may come before it; false when the output ends first or passes those rows.
  bool tableAt(long long rows, const std::string& expected) {
    const long long lines = std::count(expected.begin(), expected.end(), '\n');
    while (const std::optional<std::string> table = nextTable(lines)) {
      const std::optional<long long> shown = statusRows();
      if (!shown || *shown > rows) return false;
      if (*shown == rows) {
        EXPECT_EQ(*table, expected);
        return *table == expected;
      }
    }
    return false;
  }

  // The rows the next status line says.
  std::optional<long long> statusRows() {
    const std::string start = "varno-report: following ";
    while (const std::optional<std::string> line = errLine()) {
      if (line->rfind(start, 0) != 0) continue;
      long long rows = 0;
      for (std::size_t at = line->find(": ", start.size()) + 2; at < line->size() && (*line)[at] != ' '; ++at)
        if ((*line)[at] != ',') rows = rows * 10 + ((*line)[at] - '0');
      return rows;
    }
    return std::nullopt;
  }

  // The next line on standard error; nothing when it ends first.
  std::optional<std::string> errLine() {
    std::optional<std::string> line = err_.line();
    if (line) err_.seen += *line;
    return line;
  }

  void signal(int number) { ::kill(pid_, number); }

  // Its exit status once it ended (-1: ended otherwise).
  int exitStatus() {
    if (!status_) {
      int raw = 0;
      ::waitpid(pid_, &raw, 0);
      status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return *status_;
  }
  // Whether it printed nothing more (read once it ended).
  bool outputEnded() { return !out_.line(); }
  // All it wrote on standard error (read once it ended).
  std::string err() {
    while (errLine()) {
    }
    return err_.seen + err_.buffer;
  }

 private:
  struct Pipe {
    int fd = -1;
    std::string buffer, seen;
    std::optional<std::string> line() {
      while (true) {
        const std::size_t end = buffer.find('\n');
        if (end != std::string::npos) {
          std::string line = buffer.substr(0, end + 1);
          buffer.erase(0, end + 1);
          return line;
        }
        char bytes[4096];
        const ssize_t n = ::read(fd, bytes, sizeof bytes);
        if (n <= 0) return std::nullopt;
        buffer.append(bytes, static_cast<std::size_t>(n));
      }
    }
  };
  pid_t pid_ = -1;
  Pipe out_, err_;
  std::optional<int> status_;
};

// What the tool prints without --follow for the files as they are now.
std::string freshSummary(const TempFolder& folder, std::vector<std::string> args) {
  const ToolRun run = runTool(folder, args);
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

class FollowTool : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.ok()); }
  TempFolder folder;
};

// The first `lines` lines of `text`, and the rest.
std::pair<std::string, std::string> splitAfterLines(const std::string& text, long long lines) {
  std::size_t at = 0;
  for (long long l = 0; l < lines && at != std::string::npos; ++l) at = text.find('\n', at) + 1;
  return {text.substr(0, at), text.substr(at)};
}

TEST_F(FollowTool, PrintsATableForEachGrowthEqualToAFreshSummary) {
  struct Growth {
    int chain;  // 0-based
    long long lines;
  };
  struct Case {
    const char* name;
    std::vector<std::string> texts;    // each chain's file as it is in the end
    std::vector<std::string> options;  // besides --summary
    std::vector<Growth> growths;       // from 21 lines of each
    bool fst = false;                  // an .fst trace read with its factors file
    const char* table = "--summary";   // or --models
  };
  const std::string one = kHeader + chainRows(0, 1, 300), two = kHeader + chainRows(1, 1, 300);
  const FstSpec lake{200, 3, 1, false, 3};
  const Case cases[] = {
      {"one chain", {one}, {}, {{0, 30}, {0, 1}, {0, 200}}},
      {"two chains, each in turn", {one, two}, {}, {{1, 25}, {0, 40}, {1, 3}}},
      {"a burn-in share taken anew", {one, two}, {"--burn-in", "10%"}, {{0, 40}, {1, 95}}},
      {"a burn-in of rows and a burn-out kept", {one}, {"--burn-in", "7", "--burn-out", "2"}, {{0, 50}}},
      {"the suggested burn-in taken anew", {one}, {"--burn-in", "auto"}, {{0, 60}, {0, 100}}},
      {"csv", {one}, {"--format", "csv"}, {{0, 12}}},
      {"an fst trace with its factors", {fstText(lake)}, {}, {{0, 20}, {0, 159}}, true},
      {"the models of an fst trace", {fstText(lake)}, {}, {{0, 20}, {0, 159}}, true, "--models"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> files, rest;
    std::vector<std::string> args;
    long long rows = 0;  // of every chain, as written
    const auto rowsOf = [&](const std::string& lines) {
      return static_cast<long long>(std::count(lines.begin(), lines.end(), '\n'));
    };
    for (std::size_t k = 0; k < c.texts.size(); ++k) {
      const auto [start, later] = splitAfterLines(c.texts[k], 21);
      files.push_back(folder.write("chain" + std::to_string(k) + (c.fst ? ".fst" : ".txt"), start));
      rows += rowsOf(start) - (c.fst ? 0 : 1);
      rest.push_back(later);
      if (k > 0) args.push_back("--chain");
      args.push_back(files.back());
      if (c.fst) args.push_back(folder.write("factors.txt", factorsText(lake)));
    }
    args.push_back(c.table);
    args.insert(args.end(), c.options.begin(), c.options.end());
    std::vector<std::string> following = args;
    following.insert(following.end(), {"--follow", "--interval", "0.01"});

    FollowingTool tool(following);
    ASSERT_TRUE(tool.tableAt(rows, freshSummary(folder, args)));
    for (const Growth& g : c.growths) {
      std::string& left = rest[static_cast<std::size_t>(g.chain)];
      const auto [now, later] = splitAfterLines(left, g.lines);
      append(files[static_cast<std::size_t>(g.chain)], now);
      left = later;
      rows += rowsOf(now);
      ASSERT_TRUE(tool.tableAt(rows, freshSummary(folder, args))) << g.lines << " more lines of chain " << g.chain;
    }
    tool.signal(SIGTERM);
    EXPECT_EQ(tool.exitStatus(), 0);
    EXPECT_TRUE(tool.outputEnded());
  }
}

TEST_F(FollowTool, ReadsAFileAnewThatShrankOrWasReplaced) {
  struct Case {
    const char* name;
    bool replace;  // another file under the name; otherwise the same file cut shorter
    long long lines;
  };
  const Case cases[] = {{"shrunk", false, 15}, {"replaced, as long", true, 41}, {"replaced, longer", true, 80}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string data = folder.write("run.txt", kHeader + chainRows(0, 1, 40));
    FollowingTool tool({data, "--summary", "--follow", "--interval", "0.01"});
    ASSERT_TRUE(tool.tableAt(40, freshSummary(folder, {data, "--summary"})));
    // a sampler resumed from an earlier point writes other draws
    const std::string anew = splitAfterLines(kHeader + chainRows(7, 1, 100), c.lines).first;
    if (c.replace) {
      const std::string other = folder.write("other.txt", anew);
      ASSERT_EQ(std::rename(other.c_str(), data.c_str()), 0);
    } else {
      ASSERT_EQ(::truncate(data.c_str(), 0), 0);
      append(data, anew);
    }
    ASSERT_TRUE(tool.tableAt(c.lines - 1, freshSummary(folder, {data, "--summary"})));
    tool.signal(SIGTERM);
    EXPECT_EQ(tool.exitStatus(), 0);
    EXPECT_NE(tool.err().find("; reading the analysis anew\n"), std::string::npos) << tool.err();
  }
}

TEST_F(FollowTool, AStopSignalPrintsTheRowsSinceTheLastTableAndEndsWithZero) {
  for (const int number : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(number);
    const std::string data = folder.write("run.txt", kHeader + chainRows(0, 1, 20));
    // the next look would come only after an hour: the signal's own look finds the rows
    FollowingTool tool({data, "--summary", "--follow", "--interval", "3600"});
    ASSERT_TRUE(tool.tableAt(20, freshSummary(folder, {data, "--summary"})));
    append(data, chainRows(0, 21, 15));
    tool.signal(number);
    EXPECT_TRUE(tool.tableAt(35, freshSummary(folder, {data, "--summary"})));
    EXPECT_EQ(tool.exitStatus(), 0);
    EXPECT_TRUE(tool.outputEnded());
  }
}

TEST_F(FollowTool, StopsOnceTheTargetHoldsAtTwoTablesConfirmRowsApart) {
  // 20 rows miss ESS 30; 60 and more meet it
  const std::string target = "ess_bulk>=30,ess_tail>=30,rhat<=1.5";
  const std::string data = folder.write("run.txt", kHeader + chainRows(0, 1, 20));
  FollowingTool tool({data, "--summary", "--follow", "--interval", "0.01", "--until", target, "--confirm", "30"});
  ASSERT_TRUE(tool.tableAt(20, freshSummary(folder, {data, "--summary"})));
  long long rows = 20;
  // the target met at 60 rows, then 20 and 29 rows later: not yet confirmed; then 30 rows later
  for (const long long growth : {40, 20, 9}) {
    append(data, chainRows(0, rows + 1, growth));
    rows += growth;
    ASSERT_TRUE(tool.tableAt(rows, freshSummary(folder, {data, "--summary"})));
  }
  append(data, chainRows(0, rows + 1, 1));
  ASSERT_TRUE(tool.tableAt(rows + 1, freshSummary(folder, {data, "--summary"})));
  EXPECT_EQ(tool.exitStatus(), 0);
  EXPECT_TRUE(tool.outputEnded());
  const std::string err = tool.err();
  EXPECT_NE(err.find("following 1 chain: 20 rows; target not met: "), std::string::npos) << err;
  EXPECT_NE(err.find(" rows, +40; target met at row 60 (all 2 quantities: ESS ≥ 30, R-hat ≤ 1.5); "
                     "a table of 90 rows or more that meets it confirms it\n"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("varno-report: target confirmed: met at 60 and at 90 rows\n"), std::string::npos) << err;
}

TEST_F(FollowTool, GivesUpWithThreeWhenNoFileGrowsForTheIdleTime) {
  struct Case {
    std::vector<std::string> options;
    std::string message;
  };
  const Case cases[] = {
      {{}, "varno-report: no file grew for 0.05 seconds\n"},
      {{"--until", "rhat<=1.5,ess_bulk>=1e6"}, "varno-report: no file grew for 0.05 seconds and the target is not confirmed\n"},
  };
  for (const Case& c : cases) {
    const std::string data = folder.write("run.txt", kHeader + chainRows(0, 1, 20));
    std::vector<std::string> args{data, "--summary", "--follow", "--interval", "0.01", "--idle", "0.05"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    FollowingTool tool(args);
    ASSERT_TRUE(tool.tableAt(20, freshSummary(folder, {data, "--summary"})));
    EXPECT_EQ(tool.exitStatus(), 3);
    EXPECT_TRUE(tool.outputEnded());
    const std::string err = tool.err();
    EXPECT_EQ(err.substr(err.size() - std::min(err.size(), c.message.size())), c.message) << err;
  }
}

TEST_F(FollowTool, ABadRowStopsItsFileAndTheOthersAreFollowedOn) {
  const std::string one = folder.write("one.txt", kHeader + chainRows(0, 1, 20));
  const std::string two = folder.write("two.txt", kHeader + chainRows(1, 1, 20));
  FollowingTool tool({one, "--chain", two, "--summary", "--follow", "--interval", "0.01"});
  ASSERT_TRUE(tool.tableAt(40, freshSummary(folder, {one, "--chain", two, "--summary"})));
  // line 23 is no row; the row after it lets the reader tell it from a row still being written
  append(two, chainRows(1, 21, 1) + "22\tnan\t1\n" + chainRows(1, 23, 1));
  append(one, chainRows(0, 21, 30));
  // the rows of two.txt before the bad line count, as a fresh read of it takes them
  ASSERT_TRUE(tool.tableAt(71, freshSummary(folder, {one, "--chain", two, "--summary"})));
  append(one, chainRows(0, 51, 5));
  ASSERT_TRUE(tool.tableAt(76, freshSummary(folder, {one, "--chain", two, "--summary"})));
  tool.signal(SIGINT);
  EXPECT_EQ(tool.exitStatus(), 0);
  const std::string err = tool.err();
  EXPECT_NE(err.find("varno-report: \"" + two + "\" line 23: \"nan\" is not a number; the other chains are followed on\n"),
            std::string::npos)
      << err;

  // with one file, nothing is left to follow: it ends as on a bad file
  const std::string alone = folder.write("alone.txt", kHeader + chainRows(0, 1, 20));
  FollowingTool single({alone, "--summary", "--follow", "--interval", "0.01"});
  ASSERT_TRUE(single.tableAt(20, freshSummary(folder, {alone, "--summary"})));
  append(alone, "21\t0.5\n" + chainRows(0, 22, 1));
  EXPECT_EQ(single.exitStatus(), 1);
  EXPECT_NE(single.err().find("varno-report: \"" + alone + "\" line 22: "), std::string::npos) << single.err();
}

TEST_F(FollowTool, WaitsForAnEmptyDataFileToBeWritten) {
  const std::string data = folder.write("run.txt", "");
  FollowingTool tool({data, "--summary", "--follow", "--interval", "0.01"});
  const std::string waiting = "varno-report: \"" + data + "\" is empty: waiting for its sampler to write it\n";
  EXPECT_EQ(tool.errLine(), waiting);
  append(data, kHeader + chainRows(0, 1, 20));
  ASSERT_TRUE(tool.tableAt(20, freshSummary(folder, {data, "--summary"})));
  tool.signal(SIGTERM);
  EXPECT_EQ(tool.exitStatus(), 0);
  // said once, however many looks found it empty
  EXPECT_EQ(tool.err(), waiting + "varno-report: following 1 chain: 20 rows\n");
}

TEST_F(FollowTool, RefusesArgumentsThatDoNotGoTogether) {
  const std::string data = folder.write("run.txt", kHeader + chainRows(0, 1, 20));
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const Case cases[] = {
      {{"--summary", "--follow", "--until", "ess_bulk>400"},
       "--until: \"ess_bulk>400\" is not a bound: write ess_bulk>=NUMBER"},
      {{"--summary", "--follow", "--until", "rhat<=1.01,tau"},
       "--until: \"tau\" is not a part of a target: write ess_bulk>=NUMBER, ess_tail>=NUMBER, rhat<=NUMBER or, last, "
       "columns=NAME,NAME"},
      {{"--summary", "--until", "rhat<=1.01"}, "--until can be given only with --follow"},
      {{"--summary", "--interval", "1"}, "--interval can be given only with --follow"},
      {{"--summary", "--idle", "1"}, "--idle can be given only with --follow"},
      {{"--summary", "--confirm", "1"}, "--confirm can be given only with --follow"},
      {{"--summary", "--min-rows", "1"}, "--min-rows can be given only with --follow"},
      {{"--follow"}, "--follow can be given only with --summary or --models"},
      {{"--column", "2", "--follow"}, "--follow can be given only with --summary or --models"},
      {{"--models", "--follow", "--until", "rhat<=1.01"}, "--until cannot be given with --models"},
      {{"--chains-table", "--follow"}, "--follow cannot be given with --chains-table"},
      {{"--summary", "--follow", "--interval", "0"}, "--interval needs a number of seconds above 0 (a fraction too), not \"0\""},
      {{"--summary", "--follow", "--idle", "soon"}, "--idle needs a number of seconds above 0 (a fraction too), not \"soon\""},
      {{"--summary", "--follow", "--confirm", "-1"}, "--confirm needs a number of rows (0 or more), not \"-1\""},
      {{"--summary", "--follow", "--min-rows", "1e3"}, "--min-rows needs a number of rows (0 or more), not \"1e3\""},
      {{"--summary", "--follow", "--follow"}, "--follow is given more than once"},
      {{"--summary", "--follow", "--interval", "1", "--until", "rhat<=1.01,columns=kappa"},
       "--until: \"kappa\" is no column of \"" + data + "\"; give a number or a name as --summary names it"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{data};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolRun run = runTool(folder, args);
    EXPECT_EQ(run.status, 2) << c.error;
    EXPECT_EQ(run.err, "varno-report: " + c.error + " (see varno-report --help)\n");
  }
}

}  // namespace
}  // namespace varno::testing
