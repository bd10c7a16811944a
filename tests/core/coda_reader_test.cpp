// The CODA format: an index and two chain files written here, read into one table per chain, and
// each fault refused with the file, the line and the reason.
#include "core/coda_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/temp_folder.h"
#include "tests/core/table_rows.h"
#include "tests/trace_styles.h"

namespace varno {
namespace {

using testing::TempFolder;
using testing::Rows;
using testing::rowsOf;

const testing::CodaRun kRun;
const std::string& kIndex = kRun.index;
const std::string& kChain2 = kRun.chain2;

TEST(CodaReader, ReadsOneTablePerChainBesideTheIndex) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string index = folder.write("CODAindex.txt", kIndex);
  const std::string chain1 = folder.write("CODAchain1.txt", kRun.chain1);
  const std::string chain2 = folder.write("CODAchain2.txt", kChain2);
  folder.write("CODAchain4.txt", kChain2);  // not a chain of the run: chain 3 is missing
  EXPECT_EQ(codaChainFiles(index), (std::vector<std::string>{chain1, chain2}));

  const CodaReadResult r = readCoda(index);
  ASSERT_EQ(r.error, "");
  ASSERT_EQ(r.chains.size(), 2u);
  EXPECT_EQ(r.chains[0].fileName, chain1);
  EXPECT_EQ(r.chains[1].fileName, chain2);
  for (const CodaChain& chain : r.chains)
    EXPECT_EQ(chain.table->columnNames(), kRun.names);
  EXPECT_EQ(rowsOf(*r.chains[0].table), kRun.rows1);
  EXPECT_EQ(rowsOf(*r.chains[1].table), kRun.rows2);
}

// The columns follow the index, whatever the order of the names' lines in the chain files.
TEST(CodaReader, ColumnsFollowTheIndexNotTheChainFile) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string index = folder.write("CODAindex.txt", "beta[1] 4 6\nalpha 1 3\n");
  folder.write("CODAchain1.txt", kRun.chain1);
  const CodaReadResult r = readCoda(index);
  ASSERT_EQ(r.error, "");
  ASSERT_EQ(r.chains.size(), 1u);
  EXPECT_EQ(r.chains[0].table->columnNames(), (std::vector<std::string>{"Iteration", "beta[1]", "alpha"}));
  EXPECT_EQ(rowsOf(*r.chains[0].table), (Rows{{10, 10, 0.5f}, {20, 20, 0.25f}, {30, -30, 0.75f}}));
}

struct Refusal {
  const char* name;
  std::string index, chain1;  // chain 2 is a good one
  std::string message;  // {index} and {chain} stand for the paths of the index and of chain 1
};

TEST(CodaReader, RefusesWithFileLineAndReason) {
  const Refusal cases[] = {
      {"a range beyond the chain file", kIndex, "10 1.5\n20 1.25\n30 1.75\n10 11\n20 21\n",
       "\"{index}\" line 2: \"beta[1]\" takes lines 4 to 6, but \"{chain}\" has 5 lines"},
      {"a variable monitored from a later iteration", kIndex, "10 1.5\n20 1.25\n30 1.75\n20 11\n30 21\n40 31\n",
       "\"{chain}\" line 4: \"beta[1]\" has iteration 20 where \"alpha\" has iteration 10; every variable of a "
       "chain must be drawn at the same iterations"},
      {"a variable thinned differently", kIndex, "10 1.5\n20 1.25\n30 1.75\n10 11\n30 31\n50 51\n",
       "\"{chain}\" line 5: \"beta[1]\" has iteration 30 where \"alpha\" has iteration 20; every variable of a "
       "chain must be drawn at the same iterations"},
      {"a variable with fewer draws", "alpha 1 3\nbeta[1] 4 5\n", kChain2,
       "\"{index}\" line 2: \"beta[1]\" ends before iteration 30 in \"{chain}\", where \"alpha\" goes on; every "
       "variable of a chain must be drawn at the same iterations"},
      {"an index line of two words", "alpha 1 3\nbeta[1] 4\n", kChain2,
       "\"{index}\" line 2: an index line is a name and two line numbers (first and last), not 2 words"},
      {"an index range ending before it starts", "alpha 3 1\n", kChain2,
       "\"{index}\" line 1: the lines of \"alpha\" run from 3 to 1; they must start at 1 or later and not end "
       "before they start"},
      {"a value that is not a number", kIndex, "10 1.5\n20 nan\n30 1.75\n10 11\n20 21\n30 31\n",
       "\"{chain}\" line 2: \"nan\" is not a number"},
      {"overlapping ranges", "alpha 1 4\nbeta[1] 4 6\n", kChain2,
       "\"{index}\" line 2: the lines of \"beta[1]\" (4 to 6) overlap those of \"alpha\" (1 to 4); each line of "
       "a chain file is the draw of one name"},
      {"a line number beyond any file", "alpha 1 3\nbeta[1] 4 99999999999999999999\n", kChain2,
       "\"{index}\" line 2: \"beta[1]\" takes lines \"4\" to \"99999999999999999999\", more than any chain file has"},
      {"a value beyond the float range", kIndex, "10 1.5\n20 1e39\n30 1.75\n10 11\n20 21\n30 31\n",
       "\"{chain}\" line 2: \"1e39\" is out of range (a number must lie between -3.4e38 and 3.4e38)"},
      // names are read on several threads: the fault told is still the first in the file
      {"faults in two names", "alpha 1 3\nbeta[1] 4 6\ngamma 7 9\n",
       "10 1.5\n20 1.25\n30 1.75\n10 11\nx 21\n30 31\n10 1\n20 y\n30 3\n",
       "\"{chain}\" line 5: \"x\" is not an iteration number"},
      {"a line without its value", kIndex, "10 1.5\n20 1.25\n30 1.75\n10 11\n20\n30 31\n",
       "\"{chain}\" line 5: a line of draws is an iteration number and a value, not 1 word"},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    ASSERT_TRUE(folder.ok());
    const std::string index = folder.write("runindex.txt", c.index);
    const std::string chain = folder.write("runchain1.txt", c.chain1);
    folder.write("runchain2.txt", kChain2);
    const CodaReadResult r = readCoda(index);
    EXPECT_TRUE(r.chains.empty());
    std::string expected = c.message;
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"{index}", index}, {"{chain}", chain}})
      for (std::size_t at; (at = expected.find(key)) != std::string::npos;) expected.replace(at, key.size(), value);
    EXPECT_EQ(r.error, expected);
  }
}

// A file is taken for an index by its name and its first line; a trace named like an index is read
// as a trace.
TEST(CodaReader, TellsAnIndexByItsNameAndFirstLine) {
  const struct {
    const char* name;
    std::string content;
    bool index;
  } cases[] = {
      {"CODAindex.txt", kIndex, true},
      {"run_Index.TXT", "\n  alpha\t1\t3\n", true},
      {"index.txt", "1 2 3\n4 5 6\n", false},          // numbers: a trace
      {"CODAindex.txt", "alpha 1\n", false},            // not a name and two line numbers
      {"CODAindex.txt", "alpha 1 3.5\n", false},
      {"CODAindex.txt", "alpha 1 99999999999999999999\n", true},  // refused as an index, not read as a trace
      {"CODAindex.csv", kIndex, false},                 // not the name of an index
      {"CODAchain1.txt", kIndex, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + ": " + c.content);
    TempFolder folder;
    ASSERT_TRUE(folder.ok());
    EXPECT_EQ(isCodaIndex(folder.write(c.name, c.content)), c.index);
  }
  EXPECT_FALSE(isCodaIndex("/no/such/folder/CODAindex.txt"));
}

// Chain files named for a run come after those beside the index; one named again is not dropped
// but refused by the reading, which would otherwise count its draws twice.
TEST(CodaReader, NamedChainFilesFollowThoseBesideTheIndex) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string index = folder.write("CODAindex.txt", kIndex);
  const std::string chain1 = folder.write("CODAchain1.txt", kRun.chain1);
  const std::string extra = folder.write("extra.txt", kRun.chain3);
  const std::string again = folder.path("./CODAchain1.txt");
  const std::vector<std::string> files = codaChainFiles(index, {extra, again});
  EXPECT_EQ(files, (std::vector<std::string>{chain1, extra, again}));
  EXPECT_EQ(readCoda(index, files).error, "\"" + again + "\" is already chain 1 of the analysis (\"" + chain1 +
                                              "\" under another name): one file read as two chains would count "
                                              "its draws twice");
  EXPECT_EQ(readCoda(index, {chain1, extra}).chains.size(), 2u);
}

TEST(CodaReader, AnIndexWithoutChainFilesIsRefused) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string index = folder.write("CODAindex.txt", kIndex);
  EXPECT_EQ(readCoda(index).error, "\"" + index + "\": no chain file beside it (looked for \"CODAchain1.txt\")");
}

}  // namespace
}  // namespace varno
