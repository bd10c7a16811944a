// Traces of other samplers read as tables: comment lines, a bracketed first line, a header of names
// and comma-separated files, with block and thread seams inside the small fixtures; fst files keep
// their rows-of-numbers-only rule.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "core/data_file_reader.h"
#include "tests/cli/temp_folder.h"
#include "tests/core/read_tunings.h"
#include "tests/core/table_rows.h"
#include "tests/trace_styles.h"

namespace varno {
namespace {

using testing::TempFolder;
using Names = std::vector<std::string>;
using testing::kTunings;
using testing::Tuning;
using testing::Rows;
using testing::rowsOf;

struct StyleCase {
  const char* name;
  const char* fileName;
  std::string content;
  Names names;
  Rows rows;
  long long stopLine = 0;  // 0: read to the end
  std::string stopReason;
};

TEST(TraceFormats, ReadsEachStyleWithItsNamesAndNumbers) {
  const StyleCase cases[] = {
      {"no header: numbers from the first line on, comments between", "plain.txt", "# a note\n1 2\n# another\n3 4\n",
       {}, {{1, 2}, {3, 4}}, 0, ""},
      // line numbers count the comment and header lines, so the status line points at the file's line
      {"a bad row after comments", "stop.csv", "# a\nx,y\n1,2\n# b\n# c\n3,nan\n5,6\n", {"x", "y"}, {{1, 2}},
       6, "\"nan\" is not a number"},
      {"a comma ending each row", "ends.csv", "x,y\n1,2,\n3,4,\n", {"x", "y"}, {{1, 2}, {3, 4}}, 0, ""},
      {"an empty field", "gap.csv", "x,y\n1,2\n3,,4\n", {"x", "y"}, {{1, 2}}, 3, "an empty field where a number is expected"},
      // a "#" in the middle of a line is no comment
      {"a number and a hash", "hash.txt", "a b\n1 2\n3 #4\n", {"a", "b"}, {{1, 2}}, 3, "\"#4\" is not a number"},
      // comma-joined numbers with more on the line are a faulty row, not a second delimiter, even
      // where a block ends inside the blanks that follow them
      {"commas and then a word", "word.txt", "a\n0\n0,1\t \t\t \tz\n5\n", {"a"}, {{0}}, 3, "\"0,1\" is not a number"},
  };
  std::vector<StyleCase> all(std::begin(cases), std::end(cases));
  for (const testing::TraceStyle& t : testing::traceStyles()) all.push_back({t.name, t.fileName, t.content, t.names, t.rows, 0, ""});
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  for (const StyleCase& c : all) {
    const std::string path = folder.write(c.fileName, c.content);
    for (const Tuning& tuning : kTunings) {
      SCOPED_TRACE(std::string(c.name) + " / " + tuning.name);
      const DataFileReadResult r = readDataFile(path, tuning.tuning);
      ASSERT_TRUE(r.table) << r.error;
      EXPECT_EQ(r.table->columnNames(), c.names);
      EXPECT_EQ(rowsOf(*r.table), c.rows);
      ASSERT_EQ(r.stoppedEarly.has_value(), c.stopLine != 0);
      if (c.stopLine) {
        EXPECT_EQ(r.stoppedEarly->line, c.stopLine);
        EXPECT_EQ(r.stoppedEarly->reason, c.stopReason);
      }
    }
  }
}

struct RefusalCase {
  const char* name;
  std::string content;
  std::string message;  // after the quoted file name
};

TEST(TraceFormats, RefusesHeaderCountMismatchAndMixedDelimiters) {
  const RefusalCase cases[] = {
      {"header with fewer names", "a b\n1 2 3\n",
       " line 1: the header names 2 columns but the first row of numbers (line 2) holds 3 numbers"},
      {"header with more names", "# s\n\"a\",\"b\",\"c\"\n# t\n1,2\n",
       " line 2: the header names 3 columns but the first row of numbers (line 4) holds 2 numbers"},
      {"comma header over tab rows", "a,b\n1\t2\n",
       " line 2: numbers separated by blanks or tabs in a comma-separated file (a file uses one delimiter throughout)"},
      {"tab header over comma rows", "a\tb\n1,2\n",
       " line 1: names separated by tabs in a comma-separated header (a file uses one delimiter throughout)"},
      {"comma rows, later a tab row", "a,b\n1,2\n3,4\n5\t6\n",
       " line 4: numbers separated by blanks or tabs in a comma-separated file (a file uses one delimiter throughout)"},
      {"tab rows, later a comma row", "1\t2\n3\t4\n5,6\n",
       " line 3: numbers separated by commas in a file separated by blanks or tabs (a file uses one delimiter throughout)"},
      {"a word among numbers is no header", "1 nan 3\n4 5 6\n", " line 1: \"nan\" is not a number"},
  };
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  for (const RefusalCase& c : cases) {
    const std::string path = folder.write("trace.txt", c.content);
    for (const Tuning& tuning : kTunings) {
      SCOPED_TRACE(std::string(c.name) + " / " + tuning.name);
      const DataFileReadResult r = readDataFile(path, tuning.tuning);
      EXPECT_FALSE(r.table);
      EXPECT_EQ(r.error, "\"" + path + "\"" + c.message);
    }
  }
}

TEST(TraceFormats, FstFilesHoldRowsOfNumbersOnly) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string comment = folder.write("run.fst", "1 2\n# note\n3 4\n");
  const DataFileReadResult r = readDataFile(comment);
  ASSERT_TRUE(r.table) << r.error;
  EXPECT_EQ(r.table->rowCount(), 1);
  ASSERT_TRUE(r.stoppedEarly);
  EXPECT_EQ(r.stoppedEarly->line, 2);
  EXPECT_EQ(r.stoppedEarly->reason, "\"#\" is not a number");

  const std::string header = folder.write("run.frq", "a b\n1 2\n");
  EXPECT_EQ(readDataFile(header).error, "\"" + header + "\" line 1: \"a\" is not a number");
  const std::string csv = folder.write("csv.fst", "1,2\n3,4\n");
  EXPECT_EQ(readDataFile(csv).error, "\"" + csv + "\" line 1: \"1,2\" is not a number");
}

}  // namespace
}  // namespace varno
