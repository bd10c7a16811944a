// Tests of the first column held exactly: an iteration counter past the floats' whole numbers keeps
// its values, and the first column's floats are those of every other column.
#include "core/data_file_reader.h"
#include "tests/core/read_tunings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace varno {
namespace {

using testing::kTunings;

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/varno_exact_counter_test_XXXXXX";
    if (::mkdtemp(pattern)) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  bool ok() const { return !path_.empty(); }
  std::string write(const std::string& name, const std::string& content) const {
    const std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }

 private:
  std::string path_;
};

// The same token in both columns must give the same float: the first column is read through a
// double, which must not round twice.
TEST(ExactCounter, FirstColumnFloatsAreThoseOfTheOtherColumns) {
  const char* tokens[] = {
      "0", "-0", "1", "0.1", "20000011", "16777217",
      "16777217.000000001",      // just above a float tie that the nearest double lies on
      "16777218.999999999",      // just below one
      "1.0000000596046448",      // the tie between 1 and the float after it, nearly
      "1.00000005960464477539",  // and that tie itself
      "-3.4028234e38", "1e-39", "1.1754943e-38", "1e-46", "123456789012345678901234567890",
  };
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  std::string text;
  for (const char* t : tokens) text += std::string(t) + " " + t + "\n";
  const std::string path = dir.write("same.ml", text);
  for (const auto& tuning : kTunings) {
    SCOPED_TRACE(tuning.name);
    const DataFileReadResult read = readDataFile(path, tuning.tuning);
    ASSERT_TRUE(read.table) << read.error;
    ASSERT_EQ(read.table->rowCount(), static_cast<int>(std::size(tokens)));
    for (int r = 0; r < read.table->rowCount(); ++r)
      EXPECT_EQ(std::bit_cast<std::uint32_t>(read.table->cell(0, r)), std::bit_cast<std::uint32_t>(read.table->cell(1, r)))
          << tokens[r];
  }
}

TEST(ExactCounter, FirstColumnHeldExactlyOnlyWhenFloatsRoundItsWholeNumbers) {
  struct Case {
    const char* name;
    const char* file;
    const char* text;
    std::vector<double> exact;  // empty: the floats are all there is
  };
  const Case cases[] = {
      {"counter within the floats", "a.ml", "16777214 1\n16777215 2\n16777216 3\n", {}},
      {"counter past 2^24", "b.ml", "16777215 1\n16777217 2\n16777219 3\n", {16777215, 16777217, 16777219}},
      {"long run, header and comments", "c.csv", "iter,x\n# resumed\n20000011,1\n20000021,2\n",
       {20000011, 20000021}},
      {"negative whole numbers", "d.fst", "-20000011 1\n-20000001 2\n", {-20000011, -20000001}},
      {"fractions past 2^24", "e.ml", "16777217.5 1\n16777219 2\n", {}},
      {"whole numbers past 2^53", "f.ml", "9007199254740993 1\n9007199254740995 2\n", {}},
  };
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  for (const Case& c : cases) {
    const std::string path = dir.write(c.file, c.text);
    for (const auto& tuning : kTunings) {
      SCOPED_TRACE(std::string(c.name) + ", " + tuning.name);
      const DataFileReadResult read = readDataFile(path, tuning.tuning);
      ASSERT_TRUE(read.table) << read.error;
      const std::span<const double> exact = read.table->exactFirstColumn();
      EXPECT_EQ(std::vector<double>(exact.begin(), exact.end()), c.exact);
      for (int r = 0; r < read.table->rowCount(); ++r)
        EXPECT_EQ(read.table->value(0, r), c.exact.empty() ? read.table->cell(0, r) : c.exact[r]);
    }
  }
}

}  // namespace
}  // namespace varno
