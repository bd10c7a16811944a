// Tests of following an analysis: the test writes the chains' files, appends whole and half rows,
// shrinks, replaces and rewrites them between polls; the tables taken in must be those a fresh
// opening of the final files gives, and every other change must be told as opening would.
#include "report/analysis_follower.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "report/open_analysis.h"
#include "tests/cli/temp_folder.h"
#include "tests/core/table_rows.h"

namespace varno {
namespace {

using testing::rowsOf;
using testing::TempFolder;

using Tables = std::vector<std::shared_ptr<const SampleTable>>;

// No factors, one population: iteration, Sigma², log likelihood, Fst1, model, a0.
std::string fstRows(int from, int count, const std::string& model = "1") {
  std::string text;
  for (int r = from; r < from + count; ++r)
    text += std::to_string(r) + " 0.05 -1" + std::to_string(r % 10) + " 0." + std::to_string(r % 9 + 1) + " " +
            model + " -2.0\n";
  return text;
}

void append(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

// The analysis of `files` (the data file first), opened as the tool opens it.
AnalysisRequest requestOf(const std::vector<std::string>& files) {
  AnalysisRequest request;
  request.dataPath = files.front();
  request.chainPaths.assign(files.begin() + 1, files.end());
  return request;
}

OpenedAnalysis opened(const AnalysisRequest& request) {
  OpenedAnalysis analysis;
  std::vector<std::string> warnings;
  const std::optional<RunError> error = openAnalysis(request, analysis, warnings);
  EXPECT_FALSE(error) << error->message;
  return analysis;
}

Tables tablesOf(const OpenedAnalysis& analysis) {
  Tables tables;
  for (const ChainRows& chain : analysis.chains) tables.push_back(chain.table);
  return tables;
}

// Takes in what a poll gave, as the window and the tool do.
void takeIn(const AnalysisPoll& poll, Tables& tables) {
  ASSERT_FALSE(poll.readAnew) << *poll.readAnew;
  ASSERT_EQ(poll.chains.size(), tables.size());
  for (std::size_t c = 0; c < tables.size(); ++c)
    if (poll.chains[c].change == ChainChange::grown) tables[c] = poll.chains[c].table;
}

// Files grown by whole rows and by rows written in two pieces: after each poll the rows taken in
// are the whole rows written, and at the end every table is a fresh opening's.
TEST(AnalysisFollower, TablesGrownEqualAFreshOpeningOfTheFinalFiles) {
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  struct Step {
    int file;
    std::string text;
    std::vector<int> rowsAdded;  // per chain, at the poll after this step
  };
  struct Case {
    const char* name;
    int files;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"one file, whole rows", 1, {{0, fstRows(10, 3), {3}}, {0, fstRows(13, 1), {1}}, {0, "", {0}}}},
      {"one file, a row in two pieces",
       1,
       {{0, fstRows(10, 2) + "12 0.05 -10 0.3", {2}}, {0, " 1 -2.0\n", {1}}, {0, fstRows(13, 2), {2}}}},
      {"two files, each in turn", 2, {{0, fstRows(10, 2), {2, 0}}, {1, fstRows(10, 5), {0, 5}}}},
      {"two files, one waiting for its line end",
       2,
       {{1, "10 0.05 -10 0.1 1 -2", {0, 0}}, {0, fstRows(10, 1), {1, 0}}, {1, ".0\n" + fstRows(11, 1), {0, 2}}}},
      // more than the room the first read left: the rows move to a larger storage once
      {"one file, many rows", 1, {{0, fstRows(10, 3000), {3000}}, {0, fstRows(3010, 7), {7}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> files;
    for (int f = 0; f < c.files; ++f)
      files.push_back(dir.write(std::string(c.name) + "." + std::to_string(f) + ".fst", fstRows(0, 10)));
    AnalysisRequest request = requestOf(files);
    request.burnIn = 2;
    request.burnOut = 1;
    const OpenedAnalysis first = opened(request);
    ASSERT_EQ(first.sources.size(), files.size());
    AnalysisFollower follower(first);
    Tables tables = tablesOf(first);
    std::vector<RowRange> retained;
    for (const ChainRows& chain : first.chains) retained.push_back(chain.rows);
    for (const Step& step : c.steps) {
      append(files[static_cast<std::size_t>(step.file)], step.text);
      const AnalysisPoll poll = follower.poll(tables);
      ASSERT_EQ(poll.chains.size(), files.size());
      for (std::size_t f = 0; f < files.size(); ++f) {
        EXPECT_EQ(poll.chains[f].rowsAdded, step.rowsAdded[f]) << "chain " << f + 1;
        EXPECT_EQ(poll.chains[f].change, step.rowsAdded[f] ? ChainChange::grown : ChainChange::unchanged);
        if (poll.chains[f].change != ChainChange::grown) continue;
        RowRange grown;
        ASSERT_FALSE(grownRetainedRows(retained[f], tables[f]->rowCount(), poll.chains[f].table->rowCount(), grown));
        retained[f] = grown;
      }
      takeIn(poll, tables);
    }
    const OpenedAnalysis fresh = opened(request);
    ASSERT_EQ(fresh.chains.size(), tables.size());
    for (std::size_t f = 0; f < files.size(); ++f) {
      EXPECT_EQ(rowsOf(*tables[f]), rowsOf(*fresh.chains[f].table)) << "chain " << f + 1;
      EXPECT_EQ(retained[f], fresh.chains[f].rows) << "chain " << f + 1;
    }
  }
}

// Writes `bytes` over the file from byte `at` on, in place.
void writeAt(const std::string& path, long long at, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), at), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

// A file shrunk, replaced or written anew before the end read: the analysis is read anew.
TEST(AnalysisFollower, AChangeBeforeTheEndReadMeansReadingAnew) {
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  struct Case {
    const char* name;
    std::function<void(const std::string&)> change;  // of the second chain's file
    std::string why;                                 // after the file's quoted name
  };
  const Case cases[] = {
      {"shrunk", [](const std::string& p) { std::filesystem::resize_file(p, 20); },
       " is shorter than the part already read"},
      {"replaced",
       [&](const std::string& p) {
         const std::string other = dir.write("other.fst", fstRows(0, 12));
         std::filesystem::rename(other, p);
       },
       " was replaced by another file since it was read"},
      {"written anew", [](const std::string& p) { writeAt(p, 2, "9"); },
       " changed within the part already read (it was written anew)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::string> files{dir.write("a.fst", fstRows(0, 10)), dir.write("b.fst", fstRows(0, 10))};
    const OpenedAnalysis first = opened(requestOf(files));
    AnalysisFollower follower(first);
    const Tables tables = tablesOf(first);
    append(files[0], fstRows(10, 2));
    c.change(files[1]);
    const AnalysisPoll poll = follower.poll(tables);
    ASSERT_TRUE(poll.readAnew);
    EXPECT_EQ(*poll.readAnew, "\"" + files[1] + "\"" + c.why);
    EXPECT_TRUE(poll.chains.empty());
  }
}

// Two chains of ten rows, opened and followed.
class TwoChains : public ::testing::Test {
 protected:
  TempFolder dir;
  const std::vector<std::string> files{dir.write("a.fst", fstRows(0, 10)), dir.write("b.fst", fstRows(0, 10))};
  const OpenedAnalysis first = opened(requestOf(files));
  AnalysisFollower follower{first};
  Tables tables = tablesOf(first);
};

// A line that is no row stops its chain once a re-read confirms it; the other chain goes on.
TEST_F(TwoChains, ABadRowConfirmedStopsItsChainOnly) {
  ASSERT_TRUE(dir.ok());
  append(files[1], fstRows(10, 1) + "11 0.05 x 0.1 1 -2.0\n" + fstRows(12, 1));
  const std::string stop = "\"" + files[1] + "\" line 12: \"x\" is not a number";
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    append(files[0], fstRows(10 + round, 1));
    const AnalysisPoll poll = follower.poll(tables);
    ASSERT_EQ(poll.chains.size(), 2u);
    EXPECT_EQ(poll.chains[0].change, ChainChange::grown);
    if (round == 0) {
      EXPECT_EQ(poll.chains[1].change, ChainChange::grown);  // the row before the bad one
      EXPECT_EQ(poll.chains[1].rowsAdded, 1);
    } else {
      EXPECT_EQ(poll.chains[1].change, ChainChange::stopped);
      EXPECT_EQ(poll.chains[1].message, stop);
    }
    takeIn(poll, tables);
  }
  EXPECT_EQ(tables[0]->rowCount(), 13);
  EXPECT_EQ(tables[1]->rowCount(), 11);
}

// In an fst file the model column of the rows appended is checked as opening checks it: a value
// that is no model number stops following the file with the message opening gives.
TEST(AnalysisFollower, AModelColumnThatDoesNotFitStopsWithTheMessageOfOpening) {
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  const std::string factors = dir.write("f.txt", "npop=1\n");
  const std::vector<std::string> files{dir.write("a.fst", fstRows(0, 10)), dir.write("b.fst", fstRows(0, 10))};
  AnalysisRequest request = requestOf(files);
  request.factorsPath = factors;
  const OpenedAnalysis first = opened(request);
  AnalysisFollower follower(first);
  Tables tables = tablesOf(first);
  append(files[1], fstRows(10, 2) + fstRows(12, 1, "1.5"));
  const AnalysisPoll poll = follower.poll(tables);
  ASSERT_EQ(poll.chains.size(), 2u);
  EXPECT_EQ(poll.chains[0].change, ChainChange::unchanged);
  ASSERT_EQ(poll.chains[1].change, ChainChange::stopped);
  OpenedAnalysis fresh;
  std::vector<std::string> warnings;
  const std::optional<RunError> refused = openAnalysis(request, fresh, warnings);
  ASSERT_TRUE(refused);
  EXPECT_EQ(poll.chains[1].message, refused->message);
  EXPECT_NE(poll.chains[1].message.find("in row 13"), std::string::npos) << poll.chains[1].message;
  // it stays stopped
  append(files[1], fstRows(13, 1));
  EXPECT_EQ(follower.poll(tables).chains[1].message, refused->message);
}

// CODA sets are written name by name: any change of the index or a chain file means reading anew.
TEST(AnalysisFollower, ACodaFileThatChangedMeansReadingAnew) {
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  struct Case {
    const char* name;
    int file;  // 0: the index, 1: the chain file
    std::function<void(const std::string&)> change;
  };
  const Case cases[] = {
      {"nothing changed", -1, nullptr},
      {"a chain file grew", 1, [](const std::string& p) { append(p, "4 0.5\n"); }},
      {"a chain file written anew at its size", 1, [](const std::string& p) { writeAt(p, 2, "9"); }},
      {"the index written anew", 0, [&](const std::string& p) { writeAt(p, 0, "gamma"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::string> files{dir.write("CODAindex.txt", "alpha 1 3\nbeta 4 6\n"),
                                         dir.write("CODAchain1.txt", "1 0.5\n2 0.25\n3 0.75\n1 10\n2 20\n3 30\n")};
    const OpenedAnalysis first = opened(requestOf({files[0]}));
    ASSERT_EQ(first.sources.size(), 1u);
    AnalysisFollower follower(first);
    if (c.change) c.change(files[static_cast<std::size_t>(c.file)]);
    const AnalysisPoll poll = follower.poll(tablesOf(first));
    if (!c.change) {
      ASSERT_FALSE(poll.readAnew) << *poll.readAnew;
      ASSERT_EQ(poll.chains.size(), 1u);
      EXPECT_EQ(poll.chains[0].change, ChainChange::unchanged);
      continue;
    }
    ASSERT_TRUE(poll.readAnew);
    EXPECT_EQ(*poll.readAnew, "\"" + files[static_cast<std::size_t>(c.file)] + "\" changed since it was read");
  }
}

// The window polls a copy and keeps it only when it takes the result in: a copy dropped leaves the
// follower it was made from where it was.
TEST(AnalysisFollower, ACopyDroppedLeavesTheFollowerAsItWas) {
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  const std::vector<std::string> files{dir.write("a.fst", fstRows(0, 10)),
                                       dir.write("b.fst", fstRows(0, 10) + fstRows(10, 2, "x"))};
  const OpenedAnalysis first = opened(requestOf(files));
  const AnalysisFollower kept(first);
  const Tables tables = tablesOf(first);
  append(files[0], fstRows(10, 4));
  for (int copy = 0; copy < 2; ++copy) {
    AnalysisFollower polled = kept;
    const AnalysisPoll poll = polled.poll(tables);
    ASSERT_EQ(poll.chains.size(), 2u);
    EXPECT_EQ(poll.chains[0].rowsAdded, 4) << "copy " << copy;
    // the bad row is seen once by each copy: never confirmed
    EXPECT_EQ(poll.chains[1].change, ChainChange::unchanged) << "copy " << copy;
  }
}

// A file that cannot be opened is gone for now; the other chains go on.
TEST_F(TwoChains, AFileGoneIsToldAndTheOthersGoOn) {
  ASSERT_TRUE(dir.ok());
  std::filesystem::remove(files[0]);
  append(files[1], fstRows(10, 1));
  const AnalysisPoll poll = follower.poll(tables);
  ASSERT_EQ(poll.chains.size(), 2u);
  EXPECT_EQ(poll.chains[0].change, ChainChange::gone);
  EXPECT_EQ(poll.chains[0].message, "cannot open \"" + files[0] + "\": No such file or directory");
  EXPECT_EQ(poll.chains[1].change, ChainChange::grown);
}

}  // namespace
}  // namespace varno
