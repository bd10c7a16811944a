// Files a user may open by mistake: each is refused with a message naming the file and the fault,
// or read up to the line where it goes wrong, with that line and the reason.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/data_file_reader.h"
#include "core/factors_file.h"
#include "tests/cli/temp_folder.h"

namespace varno {
namespace {

using testing::TempFolder;

// A string literal with its NUL bytes, without the terminating one.
template <std::size_t N>
std::string bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

std::string utf16le(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) out += std::string{c, '\0'};
  return out;
}

std::string repeated(const std::string& piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

struct Outcome {
  // refused: error holds every fragment; read: rows x columns, and the stop when there is one
  bool refused = false;
  std::vector<std::string> errorHas;
  int rows = 0, columns = 0;
  std::optional<long long> stopLine;
  std::string stopReasonHas;
};

struct BadDataFile {
  const char* name;
  std::function<std::string()> content;
  Outcome expected;
};

Outcome refusedWith(std::vector<std::string> fragments) {
  Outcome o;
  o.refused = true;
  o.errorHas = std::move(fragments);
  return o;
}
Outcome readAs(int rows, int columns) {
  Outcome o;
  o.rows = rows;
  o.columns = columns;
  return o;
}
Outcome stoppedAt(int rows, int columns, long long line, std::string reasonHas) {
  Outcome o = readAs(rows, columns);
  o.stopLine = line;
  o.stopReasonHas = std::move(reasonHas);
  return o;
}

const std::vector<BadDataFile>& badDataFiles() {
  static const std::vector<BadDataFile> cases = {
      {"empty", [] { return std::string(); }, refusedWith({"holds no numbers"})},
      {"only blank lines", [] { return std::string("\n\n   \n\t\n\r\n"); }, refusedWith({"holds no numbers"})},
      {"binary bytes", [] { return bytes("\x7F" "ELF\x02\x01\x01\0\0\0\x89PNG\r\n\x1A\n"); },
       refusedWith({"line 1"})},
      {"UTF-16 with a byte order mark", [] { return utf16le("1 2 3\r\n4 5 6\r\n"); }, refusedWith({"line 1"})},
      {"Windows line ends", [] { return std::string("1 2 3\r\n4 5 6\r\n\r\n7 8 9\r\n"); }, readAs(3, 3)},
      // a line of words over a row of numbers names the columns
      {"header line of words", [] { return std::string("Iteration Sigma Loglik\n1 2 3\n"); }, readAs(1, 3)},
      {"header line of words and no numbers", [] { return std::string("Iteration Sigma\n"); },
       refusedWith({"line 1", "Iteration"})},
      {"header naming fewer columns than the first row", [] { return std::string("a b\n1 2 3\n"); },
       refusedWith({"line 1", "names 2 columns", "line 2", "3 numbers"})},
      {"comma-separated header over blank-separated numbers", [] { return std::string("a,b\n1 2\n"); },
       refusedWith({"line 2", "one delimiter"})},
      {"comma-separated rows, then blanks", [] { return std::string("1,2\n3,4\n5 6\n"); },
       refusedWith({"line 3", "one delimiter"})},
      {"blank-separated rows, then commas", [] { return std::string("1 2\n3 4\n5,6\n"); },
       refusedWith({"line 3", "one delimiter"})},
      {"an empty comma-separated field", [] { return std::string("1,2\n3,,4\n"); },
       stoppedAt(1, 2, 2, "an empty field")},
      {"only comment lines", [] { return std::string("[ID: 1]\n# settings\n  # more\n"); },
       refusedWith({"holds no numbers"})},
      {"nan on the first line", [] { return std::string("1 nan 3\n4 5 6\n"); }, refusedWith({"line 1", "nan"})},
      {"nan further down", [] { return std::string("1 2 3\n4 5 6\n7 nan 9\n1 2 3\n"); },
       stoppedAt(2, 3, 3, "nan")},
      {"inf further down", [] { return std::string("1 2\n-inf 4\n"); }, stoppedAt(1, 2, 2, "inf")},
      {"1e400 further down", [] { return std::string("1 2\n3 4\n\n1e400 6\n"); }, stoppedAt(2, 2, 4, "1e400")},
      {"1e400 on the first line", [] { return std::string("1e400\n"); }, refusedWith({"line 1", "1e400"})},
      {"1 MB single line", [] { return repeated("0.5 ", 1 << 18); }, readAs(1, 1 << 18)},
      {"100,000 columns", [] { return repeated(repeated("1 ", 99999) + "2\n", 3); }, readAs(3, 100000)},
      {"cut in the middle of an exponent", [] { return std::string("1.5 2.5\n3.5 4.5e-"); },
       stoppedAt(1, 2, 2, "4.5e-")},
      {"cut in the middle of a row", [] { return std::string("1.5 2.5 3.5\n4.5 5."); }, stoppedAt(1, 3, 2, "2")},
  };
  return cases;
}

class BadDataFileTest : public ::testing::TestWithParam<BadDataFile> {};

TEST_P(BadDataFileTest, IsRefusedOrReadUpToTheFaultyLine) {
  const BadDataFile& c = GetParam();
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.write("trace.ml", c.content());
  const DataFileReadResult r = readDataFile(path);
  const Outcome& e = c.expected;
  if (e.refused) {
    EXPECT_EQ(r.table, nullptr);
    EXPECT_NE(r.error.find(path), std::string::npos) << r.error;
    for (const std::string& fragment : e.errorHas) EXPECT_NE(r.error.find(fragment), std::string::npos) << r.error;
    EXPECT_FALSE(r.stoppedEarly);
    return;
  }
  ASSERT_NE(r.table, nullptr) << r.error;
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.table->rowCount(), e.rows);
  EXPECT_EQ(r.table->columnCount(), e.columns);
  for (int col = 0; col < r.table->columnCount(); ++col)
    for (float v : r.table->column(col)) ASSERT_TRUE(std::isfinite(v));
  ASSERT_EQ(r.stoppedEarly.has_value(), e.stopLine.has_value());
  if (e.stopLine) {
    EXPECT_EQ(r.stoppedEarly->line, *e.stopLine);
    EXPECT_NE(r.stoppedEarly->reason.find(e.stopReasonHas), std::string::npos) << r.stoppedEarly->reason;
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, BadDataFileTest, ::testing::ValuesIn(badDataFiles()),
                         [](const auto& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p; ++p)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

TEST(BadDataFile, FolderAndMissingFileAreRefusedByName) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string sub = folder.path("run.fst");
  std::filesystem::create_directory(sub);
  const DataFileReadResult asFolder = readDataFile(sub);
  EXPECT_EQ(asFolder.table, nullptr);
  EXPECT_NE(asFolder.error.find(sub), std::string::npos) << asFolder.error;
  EXPECT_NE(asFolder.error.find("folder"), std::string::npos) << asFolder.error;

  const std::string missing = folder.path("gone.fst");
  const DataFileReadResult absent = readDataFile(missing);
  EXPECT_EQ(absent.table, nullptr);
  EXPECT_NE(absent.error.find(missing), std::string::npos) << absent.error;
}

// Factors files: the text gives factor lines and values, or the file cannot be read and says so.
struct BadFactorsFile {
  const char* name;
  std::function<std::string()> content;
  int populations;
  std::vector<std::vector<float>> lines;  // values read per factor line
};

const std::vector<BadFactorsFile>& badFactorsFiles() {
  static const std::vector<BadFactorsFile> cases = {
      {"empty", [] { return std::string(); }, 3, {}},
      {"no equals sign at all", [] { return std::string("g[1] 0.1 0.5 0.9\ng[2] 12 15 11\n"); }, 3, {}},
      {"binary bytes", [] { return bytes("\0\xFF]=\x01\x02]\0="); }, 3, {}},
      {"UTF-16 with a byte order mark", [] { return utf16le("g[1]=0.1 0.5 0.9\r\ng[2]=12 15 11\r\n"); }, 3, {}},
      {"Windows line ends", [] { return std::string("npop=3\r\ng[1]=0.1 0.5 0.9\r\ng[2]=12 15 11\r\n"); }, 3,
       {{0.1f, 0.5f, 0.9f}, {12, 15, 11}}},
      {"lines far longer than the population count",
       [] { return "g[1]=" + repeated("7 ", 100000) + "\ng[2]=" + repeated("8 ", 100000) + "\n"; }, 2,
       {{7, 7}, {8, 8}}},
      {"nan, inf and 1e400 among the values", [] { return std::string("g[1]=1 nan 3\ng[2]=inf 2\ng[3]=4 1e400\n"); },
       3, {{1}, {}, {4}}},
      // a value is the longest prefix that forms a number: the cut exponent is left out
      {"cut in the middle of an exponent", [] { return std::string("g[1]=0.25 1.5e"); }, 3, {{0.25f, 1.5f}}},
      {"cut in the middle of a value list", [] { return std::string("g[1]=0.25 x"); }, 3, {{0.25f}}},
  };
  return cases;
}

class BadFactorsFileTest : public ::testing::TestWithParam<BadFactorsFile> {};

TEST_P(BadFactorsFileTest, GivesOnlyTheFactorLinesAndValuesItHolds) {
  const BadFactorsFile& c = GetParam();
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.write("factors.txt", c.content());
  std::string error;
  const std::optional<std::string> text = readTextFile(path, &error);
  ASSERT_TRUE(text) << error;
  EXPECT_EQ(countFactorLines(*text), static_cast<int>(c.lines.size()));
  EXPECT_EQ(readFactorLineValues(*text, c.populations), c.lines);

  // Stored into rows of factorCount + 1 slots, nothing grows and the slots not read keep theirs.
  std::vector<std::vector<float>> rows(static_cast<std::size_t>(c.populations), std::vector<float>(2, -1.0f));
  storeFactorValues(rows, readFactorLineValues(*text, c.populations), false);
  for (std::size_t p = 0; p < rows.size(); ++p) {
    ASSERT_EQ(rows[p].size(), 2u);
    for (std::size_t n = 0; n < 2; ++n) {
      const bool read = n < c.lines.size() && p < c.lines[n].size();
      EXPECT_EQ(rows[p][n], read ? c.lines[n][p] : -1.0f) << "population " << p << " slot " << n;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, BadFactorsFileTest, ::testing::ValuesIn(badFactorsFiles()),
                         [](const auto& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p; ++p)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

TEST(BadFactorsFile, FolderMissingAndOversizedFilesAreRefusedByName) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string sub = folder.path("factors.txt");
  std::filesystem::create_directory(sub);
  const std::string missing = folder.path("gone.txt");
  const std::string big = folder.write("big.txt", std::string(2000, 'x'));
  struct Case {
    std::string path;
    std::size_t limit;
    std::string reasonHas;
  };
  for (const Case& c : {Case{sub, kMaxFactorsFileBytes, "is a folder, not a text file"}, Case{missing, kMaxFactorsFileBytes, "No such file"},
                        Case{big, 1000, "larger than 1000 bytes"}}) {
    std::string error;
    EXPECT_FALSE(readTextFile(c.path, &error, c.limit)) << c.path;
    EXPECT_NE(error.find("\"" + c.path + "\""), std::string::npos) << error;
    EXPECT_NE(error.find(c.reasonHas), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace varno
