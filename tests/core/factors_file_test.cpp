// The factors file: factor lines, their values, storing them, and the factor-count decision.
#include "core/factors_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace varno {
namespace {

using Lines = std::vector<std::vector<float>>;

TEST(FactorsFile, FactorLinesAndTheirValues) {
  struct Case {
    const char* name;
    std::string text;
    int populations;
    Lines expected;  // one entry per factor line, so its size is also the count
  };
  const Case cases[] = {
      {"two lines", "g[1]=0.1 0.5 0.9\ng[2]=12 15 11\n", 3, {{0.1f, 0.5f, 0.9f}, {12, 15, 11}}},
      {"npop line first", "npop=3\ng[1]=0.1 0.5 0.9\ng[2]=12 15 11\n", 3, {{0.1f, 0.5f, 0.9f}, {12, 15, 11}}},
      {"CRLF line ends", "npop=3\r\ng[1]=0.1 0.5 0.9\r\ng[2]=12 15 11\r\n", 3, {{0.1f, 0.5f, 0.9f}, {12, 15, 11}}},
      {"no line end at the end", "g[1]=1 2 3", 3, {{1, 2, 3}}},
      {"blank before =", "g[1] =0.1 0.5 0.9\ng[2] =12 15 11\n", 3, {}},
      {"short x] piece", "ab=x]=1 2 3\n", 3, {}},
      // The piece is "3", the line end and "x]": four characters.
      {"short name after a line end", "npop=3\nx]=1 2 3\n", 3, {{1, 2, 3}}},
      // Read in text mode the piece is "x", LF, "]": three characters, no factor line.
      {"CR does not count", "a=x\r\n]=1 2 3\r\n", 3, {}},
      {"free name", "temperature [C]=4 5 6\n", 3, {{4, 5, 6}}},
      {"three lines", "g[1]=1 2\ng[2]=3 4\ng[3]=5 6\n", 2, {{1, 2}, {3, 4}, {5, 6}}},
      {"fewer values than populations", "g[1]=0.1 0.5\n", 3, {{0.1f, 0.5f}}},
      {"more values than populations", "g[1]=1 2 3 4 5 6 7 8\ng[2]=9 10 11 12\n", 2, {{1, 2}, {9, 10}}},
      {"non-numeric text ends the line", "g[1]=0.1 abc 0.9\n", 3, {{0.1f}}},
      {"number prefix then text", "g[1]=0.5abc 1\n", 3, {{0.5f}}},
      {"signs, exponents, bare points", "g[1]=+1.5e2 -3 .25 4. 1e 7\n", 6, {{150, -3, 0.25f, 4, 1}}},
      {"exponent sign without digits", "g[1]=2e+ 3\n", 3, {{2}}},
      {"tabs", "g[1]=\t0.1\t\t0.2\n", 3, {{0.1f, 0.2f}}},
      {"beyond the float range", "g[1]=1 1e39 2\n", 3, {{1}}},
      {"below the float range reads as 0", "g[1]=1e-50 -0.0000000000000000000000000000000000000000000001 2\n", 3,
       {{0, -0.0f, 2}}},
      {"inf and nan are no numbers", "g[1]=inf 1\ng[2]=nan 1\n", 2, {{}, {}}},
      {"an = inside the values", "g[1]=1 2=3\ng[2]=5\n", 3, {{1, 2}, {5}}},
      {"empty rest, next line continues the piece", "g[1]=\n1 2\ng[2]=3\n", 3, {{}, {3}}},
      {"empty pieces", "a==g[1]=1\n", 3, {{1}}},
      {"text after the last = is a piece", "a=1\ng[1]", 3, {{}}},
      {"no = at all", "just some text\nand more\n", 3, {}},
      {"no = but ends in ]", "name]", 3, {{}}},
      {"no = ending in a line feed", "name]\n", 3, {}},
      {"empty", "", 3, {}},
      {"no populations", "g[1]=1 2\n", 0, {{}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(countFactorLines(c.text), static_cast<int>(c.expected.size()));
    const Lines got = readFactorLineValues(c.text, c.populations);
    ASSERT_EQ(got.size(), c.expected.size());
    for (std::size_t n = 0; n < got.size(); ++n) {
      ASSERT_EQ(got[n].size(), c.expected[n].size()) << "line " << n;
      for (std::size_t p = 0; p < got[n].size(); ++p) {
        EXPECT_EQ(got[n][p], c.expected[n][p]) << "line " << n << " population " << p;
        EXPECT_EQ(std::signbit(got[n][p]), std::signbit(c.expected[n][p])) << "line " << n << " population " << p;
      }
    }
  }
}

TEST(FactorsFile, StoringKeepsWithinTheRowsAndSlots) {
  struct Case {
    const char* name;
    Lines rows;  // before
    Lines lines;
    bool interaction;
    Lines expected;
  };
  const Case cases[] = {
      {"two factors, spare slot untouched", {{7, 7, 7}, {7, 7, 7}}, {{1, 2}, {3, 4}}, false, {{1, 3, 7}, {2, 4, 7}}},
      {"interaction forms the product", {{0, 0, 0, 0}, {0, 0, 0, 0}}, {{0.1f, 0.5f}, {12, 15}}, true,
       {{0.1f, 12, 0.1f * 12.0f, 0}, {0.5f, 15, 0.5f * 15.0f, 0}}},
      {"a third line in the spare slot", {{0, 0, 0}}, {{1}, {2}, {3}}, false, {{1, 2, 3}}},
      {"more lines than slots", {{0}, {0}}, {{1, 2}, {3, 4}, {5, 6}}, false, {{1}, {2}}},
      {"short line keeps earlier values", {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}}, {{1}, {}}, false,
       {{1, 7, 7}, {7, 7, 7}, {7, 7, 7}}},
      {"more values than rows", {{0, 0, 0}}, {{1, 2, 3}}, false, {{1, 0, 0}}},
      {"no rows", {}, {{1, 2}}, true, {}},
      {"interaction needs three slots", {{2, 3}}, {}, true, {{2, 3}}},
      {"interaction with no lines multiplies what is there", {{2, 3, 0, 0}}, {}, true, {{2, 3, 6, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Lines rows = c.rows;
    storeFactorValues(rows, c.lines, c.interaction);
    EXPECT_EQ(rows, c.expected);
  }
}

// What a factors file leaves out or names otherwise than it gives is said with its line: factors
// the analysis needs and no line gives (the populations they leave without a value), and names
// whose bracketed number is not their place.
TEST(FactorsFile, NotesOnMissingFactorsAndNamesOutOfOrder) {
  struct Case {
    const char* name;
    std::string text;
    int populations, needed;
    std::vector<std::string> notes;  // "line: reason", with "(warning)" when not a fault
  };
  const Case cases[] = {
      {"all there", "npop=2\ng[1]=1 2\ng[2]=3 4\n", 2, 2, {}},
      {"one line of two", "g[1]=1 2\n", 2, 2,
       {"1: no factor line gives G2: the file has 1 factor line and the factors of the analysis need 2; "
        "populations 1 to 2 have no G2 value"}},
      {"empty", "", 1, 2,
       {"1: no factor line gives G1: the file has 0 factor lines and the factors of the analysis need 2; "
        "population 1 has no G1 value",
        "1: no factor line gives G2: the file has 0 factor lines and the factors of the analysis need 2; "
        "population 1 has no G2 value"}},
      {"last line without its line feed", "x\ny\nz", 3, 1,
       {"3: no factor line gives G1: the file has 0 factor lines and the factors of the analysis need 1; "
        "populations 1 to 3 have no G1 value"}},
      {"no populations, nothing needed of them", "", 0, 2, {}},
      {"a short line", "g[1]=1\n", 3, 1,
       {"1: the factor line of G1 has 1 value for the 3 populations of the data file: populations 2 to 3 have no "
        "G1 value"}},
      {"a word", "g[1]=1 x 3\n", 3, 1, {"1: G1 of population 2: \"x\" is not a number"}},
      {"names out of order", "npop=2\ng[2]=1 2\ng[1]=3 4\n", 2, 2,
       {"2: \"g[2]\" gives G1, not G2: factor lines are taken in file order (warning)",
        "3: \"g[1]\" gives G2, not G1: factor lines are taken in file order (warning)"}},
      {"names without a number", "alpha]=1 2\ntemp[x]=3 4\n", 2, 2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> notes;
    for (const FactorsFileNote& note : checkFactorsFile(c.text, c.populations, c.needed))
      notes.push_back(std::to_string(note.line) + ": " + note.reason + (note.fault ? "" : " (warning)"));
    EXPECT_EQ(notes, c.notes);
  }
}

// A value the factors do not get from the file is NaN, never a number from elsewhere.
TEST(FactorsFile, ValuesNoLineGivesAreNoNumbers) {
  const Lines lines = {{1, 2}, {3}};
  const std::vector<std::vector<float>> two = factorValueRows(lines, 2, FactorDecision{2, false});
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0], (std::vector<float>{1, 3, 0}));
  EXPECT_EQ(two[1][0], 2);
  EXPECT_TRUE(std::isnan(two[1][1]));
  EXPECT_EQ(two[1][2], 0);  // a slot no factor needs stays 0
  // the interaction of a value and no value is no value
  const std::vector<std::vector<float>> three = factorValueRows(lines, 2, FactorDecision{3, true});
  EXPECT_EQ(three[0], (std::vector<float>{1, 3, 3, 0}));
  EXPECT_TRUE(std::isnan(three[1][1]) && std::isnan(three[1][2]));
  EXPECT_EQ(factorValueRows({}, 1, FactorDecision{0, false}), (std::vector<std::vector<float>>{{0}}));
}

TEST(FactorsFile, FactorCountDecision) {
  struct Case {
    int mode;
    int lines;
    bool answerYes;
    FactorDecision expected;
    bool counts, asks;
  };
  const Case cases[] = {
      {-1, 2, true, {3, true}, true, true},   {-1, 2, false, {2, false}, true, true},
      {-1, 1, true, {1, false}, true, false}, {-1, 3, true, {3, false}, true, false},
      {-1, 0, true, {0, false}, true, false}, {0, 3, true, {2, false}, false, false},
      {1, 2, false, {3, true}, false, false}, {2, 2, true, {0, false}, false, false},
      {-2, 2, true, {0, false}, false, false}, {99, 2, true, {0, false}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode) + ", " + std::to_string(c.lines) + " lines");
    bool counted = false, asked = false;
    const FactorDecision d = decideFactorCount(
        c.mode, [&] { counted = true; return c.lines; }, [&] { asked = true; return c.answerYes; });
    EXPECT_EQ(d.factorCount, c.expected.factorCount);
    EXPECT_EQ(d.hasInteraction, c.expected.hasInteraction);
    EXPECT_EQ(counted, c.counts);
    EXPECT_EQ(asked, c.asks);
  }
}

TEST(FactorsFile, FactorModeArgument) {
  struct Case {
    const char* arg;
    int expected;
  };
  const Case cases[] = {
      {"-1", -1}, {"0", 0}, {"1", 1},     {"2", 2},           {" 1", 1},
      {"\t-1", -1}, {"+1", 1}, {"1x", 1}, {"-1.5", -1},      {"x1", 0},
      {"", 0},     {"-", 0},  {"  -0", 0}, {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN},
      {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"2147483648", INT_MAX},
  };
  for (const Case& c : cases) EXPECT_EQ(parseFactorModeArgument(c.arg), c.expected) << '"' << c.arg << '"';
}

TEST(FactorsFile, ModelChooserEntries) {
  EXPECT_EQ(modelChooserEntries(0, false), (std::vector<std::string>{"All", "1"}));
  EXPECT_EQ(modelChooserEntries(2, false), (std::vector<std::string>{"All", "1", "2", "3", "4"}));
  EXPECT_EQ(modelChooserEntries(3, true), (std::vector<std::string>{"All", "1", "2", "3", "4", "5"}));
  const auto eight = modelChooserEntries(3, false);
  ASSERT_EQ(eight.size(), 9u);
  EXPECT_EQ(eight.back(), "8");
  // A file with many factor lines must not ask for billions of entries.
  EXPECT_EQ(modelChooserEntries(40, false).size(), 2049u);
}

class FactorsFileRead : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("varno_factors_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string write(const std::string& name, const std::string& content) {
    const std::string path = (dir_ / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
    return path;
  }
  std::filesystem::path dir_;
};

TEST_F(FactorsFileRead, WholeFileOrAReason) {
  const std::string content = "npop=3\r\ng[1]=0.1 0.5 0.9\r\n";
  const std::string path = write("f.txt", content);
  std::string error;
  EXPECT_EQ(readTextFile(path, &error), content);

  const std::string missing = (dir_ / "missing.txt").string();
  EXPECT_FALSE(readTextFile(missing, &error).has_value());
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;

  error.clear();
  EXPECT_FALSE(readTextFile(dir_.string(), &error).has_value()) << "a folder is no text file";
  EXPECT_FALSE(error.empty());

  error.clear();
  EXPECT_FALSE(readTextFile(path, &error, content.size() - 1).has_value());
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_NE(error.find("larger"), std::string::npos) << error;
  EXPECT_EQ(readTextFile(path, nullptr, content.size()), content);

  EXPECT_FALSE(readTextFile("", &error).has_value());
  EXPECT_EQ(readTextFile(write("empty.txt", ""), &error), std::string());
}

}  // namespace
}  // namespace varno
