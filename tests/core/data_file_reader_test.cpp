// Tests of the data file reader: table shape, where reading stops, refusals, block and thread seams.
#include "core/data_file_reader.h"
#include "core/read_notes.h"
#include "tests/as_nobody.h"
#include "tests/core/read_tunings.h"
#include "tests/core/table_rows.h"
#include "tests/recorded_progress.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cfloat>
#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace varno {
namespace {

namespace fs = std::filesystem;
using testing::kTunings;
using testing::Tuning;
using testing::Rows;
using testing::rowsOf;

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/varno_reader_test_XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string write(const std::string& name, const std::string& content) const {
    std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }

 private:
  std::string path_;
};

std::string replacePath(std::string message, const std::string& path) {
  auto at = message.find("{path}");
  if (at != std::string::npos) message.replace(at, 6, path);
  return message;
}

struct ReadCase {
  const char* name;
  std::string content;
  Rows rows;
  std::optional<ReadStop> stop;  // none: read to the end of the file
};

const Rows k3x3 = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};

TEST(DataFileReader, ReadsRowsAndStopsAtTheFirstBadLine) {
  const ReadCase cases[] = {
      {"final line feed", "1 2 3\n4 5 6\n7 8 9\n", k3x3, {}},
      {"no final line feed", "1 2 3\n4 5 6\n7 8 9", k3x3, {}},
      {"blank line between rows", "1 2 3\n\n4 5 6\n7 8 9\n", k3x3, {}},
      {"blank lines at the end", "1 2 3\n4 5 6\n7 8 9\n\n  \n\t\n\n", k3x3, {}},
      {"blank lines before the first row", "\n \t\n1 2 3\n4 5 6\n7 8 9\n", k3x3, {}},
      {"trailing blank on the first line", "1 2 3 \n4 5 6\n7 8 9\n", k3x3, {}},
      {"trailing blanks and tabs everywhere", "1 2 3\t \n4 5 6  \n7 8 9\t", k3x3, {}},
      {"CRLF line ends", "1 2 3\r\n4 5 6\r\n7 8 9\r\n", k3x3, {}},
      {"CRLF, blank CRLF line, no final line end", "1 2 3\r\n\r\n4 5 6\r\n7 8 9", k3x3, {}},
      {"leading blanks and tabs", "  1\t2 3\n\t4 5\t\t6\n 7 8 9\n", k3x3, {}},
      {"extra tokens are ignored", "1 2 3\n4 5 6 junk 7\n7 8 9 nan\n", k3x3, {}},
      {"short second line ends the table", "1 2 3\n4 5\n7 8 9\n", {{1, 2, 3}}, ReadStop{2,
       "2 numbers where 3 are expected"}},
      {"one number where three are expected", "1 2 3\n4\n", {{1, 2, 3}}, ReadStop{2,
       "1 number where 3 are expected"}},
      {"stop line counts blank lines", "\n1 2\n\n3 4\n\n5\n6 7\n", {{1, 2}, {3, 4}}, ReadStop{6,
       "1 number where 2 are expected"}},
      {"short last line without line feed", "1 2 3\n4 5 6\n7 8", {{1, 2, 3}, {4, 5, 6}}, ReadStop{3,
       "2 numbers where 3 are expected"}},
      {"number cut at the end of the file", "1 2 3\n4 5 6\n1 2 3.4e", {{1, 2, 3}, {4, 5, 6}}, ReadStop{3,
       "\"3.4e\" is not a number"}},
      {"text line ends the table", "1 2\n3 4\nend of run\n5 6\n", {{1, 2}, {3, 4}}, ReadStop{3,
       "\"end\" is not a number"}},
      {"long token is cut in the message", "1 2\n3 " + std::string(100, 'a') + "\n", {{1, 2}}, ReadStop{2,
       "\"" + std::string(40, 'a') + "...\" is not a number"}},
      {"NUL byte is not a number", std::string("1 2\n3 4\n5 \0\n", 11), {{1, 2}, {3, 4}}, ReadStop{3,
       "\"\\x00\" is not a number"}},
      {"single column", "1\n2\n\n3\n", {{1}, {2}, {3}}, {}},
      {"byte order mark", "\xEF\xBB\xBF" "1 2 3\n4 5 6\n7 8 9\n", k3x3, {}},
      {"byte order mark on a blank first line", "\xEF\xBB\xBF\n1 2\n3\n", {{1, 2}}, ReadStop{3,
       "1 number where 2 are expected"}},
  };
  TempDir dir;
  for (const Tuning& tuning : kTunings) {
    for (const ReadCase& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " / " + tuning.name);
      std::string path = dir.write("data.ml", c.content);
      DataFileReadResult r = readDataFile(path, tuning.tuning);
      ASSERT_EQ(r.error, "");
      ASSERT_TRUE(r.table);
      EXPECT_EQ(rowsOf(*r.table), c.rows);
      EXPECT_EQ(r.table->columnCount(), static_cast<int>(c.rows[0].size()));
      ASSERT_EQ(r.stoppedEarly.has_value(), c.stop.has_value());
      if (c.stop) {
        EXPECT_EQ(r.stoppedEarly->line, c.stop->line);
        EXPECT_EQ(r.stoppedEarly->reason, c.stop->reason);
      }
    }
  }
}

struct TokenCase {
  const char* token;
  bool isNumber;
  float value = 0;
  const char* fault = "is not a number";
};

constexpr char kOutOfRange[] = "is out of range (a number must lie between -3.4e38 and 3.4e38)";

// Rows joined on one line are read as one row; the rows with extra numbers are counted across
// every block and thread seam, but not after the line where reading stopped.
TEST(DataFileReader, CountsRowsWithMoreNumbersThanTheFirst) {
  const struct {
    const char* name;
    std::string content;
    std::optional<ExtraNumbers> extra;
    int rows;
  } cases[] = {
      {"none", "1 2\n3 4\n5 6\n", std::nullopt, 3},
      {"two rows joined", "1 2\n3 4 5 6\n7 8\n", ExtraNumbers{2, 1}, 3},
      {"several, after blank lines", "1 2\n\n3 4 9\n5 6\n\n7 8 9 9 9\n9 9 x\n", ExtraNumbers{3, 3}, 5},
      {"not past the stop", "1 2\n3 4 5\n6\n7 8 9\n", ExtraNumbers{2, 1}, 2},
  };
  TempDir dir;
  for (const Tuning& tuning : kTunings) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " / " + tuning.name);
      const DataFileReadResult r = readDataFile(dir.write("data.ml", c.content), tuning.tuning);
      ASSERT_TRUE(r.table);
      EXPECT_EQ(r.table->rowCount(), c.rows);
      ASSERT_EQ(r.extraNumbers.has_value(), c.extra.has_value());
      if (!c.extra) continue;
      EXPECT_EQ(r.extraNumbers->firstLine, c.extra->firstLine);
      EXPECT_EQ(r.extraNumbers->rows, c.extra->rows);
    }
  }
}

TEST(DataFileReader, AcceptsOnlyWholeNumbersInFloatRange) {
  const TokenCase cases[] = {
      {"+1.5", true, 1.5f},
      {".5", true, 0.5f},
      {"5.", true, 5.0f},
      {"-.5e+2", true, -50.0f},
      {"2E3", true, 2000.0f},
      {"1e-50", true, 0.0f},
      {"-1e-50", true, -0.0f},
      {"1e-40", true, 1e-40f},
      {"3.4028235e38", true, FLT_MAX},
      {"0.1", true, 0.1f},
      // halfway between two floats only after rounding to double first: read as float directly
      {"1.000000059604644775390625001", true, 1.00000011920928955078125f},
      {"1.5abc", false},
      {"1,5", false},
      {"nan", false},
      {"-nan", false},
      {"inf", false},
      {"-inf", false},
      {"infinity", false},
      {"1e400", false, 0, kOutOfRange},
      {"1e39", false, 0, kOutOfRange},
      {"-1e39", false, 0, kOutOfRange},
      {"+3.5e38", false, 0, kOutOfRange},
      {"0x10", false},
      {"1e", false},
      {"1.5e+", false},
      {"1e5.5", false},
      {"1.2.3", false},
      {"+-1", false},
      {"--1", false},
      {"-", false},
      {"+", false},
      {".", false},
  };
  TempDir dir;
  for (const Tuning& tuning : kTunings) {
    for (const TokenCase& c : cases) {
      SCOPED_TRACE(std::string(c.token) + " / " + tuning.name);
      std::string path = dir.write("data.ml", std::string("1 2 3\n4 ") + c.token + " 6\n");
      DataFileReadResult r = readDataFile(path, tuning.tuning);
      ASSERT_TRUE(r.table);
      if (c.isNumber) {
        ASSERT_EQ(r.table->rowCount(), 2);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(r.table->cell(1, 1)), std::bit_cast<std::uint32_t>(c.value))
            << r.table->cell(1, 1);
        EXPECT_FALSE(r.stoppedEarly);
      } else {
        EXPECT_EQ(r.table->rowCount(), 1);
        ASSERT_TRUE(r.stoppedEarly);
        EXPECT_EQ(r.stoppedEarly->line, 2);
        EXPECT_EQ(r.stoppedEarly->reason, "\"" + std::string(c.token) + "\" " + c.fault);
      }
    }
  }
}

TEST(DataFileReader, ReadsDotDecimalsWhateverTheLocale) {
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale";
  TempDir dir;
  DataFileReadResult r = readDataFile(dir.write("data.ml", "1.5 2.25\n"));
  std::setlocale(LC_ALL, "C");
  ASSERT_TRUE(r.table);
  EXPECT_EQ(rowsOf(*r.table), (Rows{{1.5f, 2.25f}}));
}

struct RefusalCase {
  const char* name;
  std::string content;
  std::string message;  // {path} stands for the file's path
};

TEST(DataFileReader, RefusesFilesWithoutAFirstRowOfNumbers) {
  const RefusalCase cases[] = {
      {"empty file", "", "\"{path}\" holds no numbers"},
      {"only blank lines", "\n  \n\t\r\n\n", "\"{path}\" holds no numbers"},
      {"header line of words", "Iteration Sigma\n1 2\n", "\"{path}\" line 1: \"Iteration\" is not a number"},
      {"header after blank lines", "\n\nIteration 1\n1 2\n", "\"{path}\" line 3: \"Iteration\" is not a number"},
      {"first line partly numbers", "1 2 x3\n1 2 3\n", "\"{path}\" line 1: \"x3\" is not a number"},
      {"binary file", std::string("\x7f" "ELF\x02\x01\0\x03 more\n", 14),
       "\"{path}\" line 1: \"\\x7fELF\\x02\\x01\\x00\\x03\" is not a number"},
      {"Latin-1 bytes are escaped, UTF-8 is kept", "\xB5m \xC2\xB5m\n1 2\n",
       "\"{path}\" line 1: \"\\xb5m\" is not a number"},
  };
  TempDir dir;
  for (const Tuning& tuning : kTunings) {
    for (const RefusalCase& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " / " + tuning.name);
      std::string path = dir.write("data.fst", c.content);
      DataFileReadResult r = readDataFile(path, tuning.tuning);
      EXPECT_FALSE(r.table);
      EXPECT_EQ(r.error, replacePath(c.message, path));
    }
  }
}

TEST(DataFileReader, RefusesWhatCannotBeOpened) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {"missing file", dir.path() + "/absent.fst", "cannot open \"{path}\": No such file or directory"},
      {"missing folder", dir.path() + "/no/such.fst", "cannot open \"{path}\": No such file or directory"},
      {"empty name", "", "cannot open \"{path}\": No such file or directory"},
      {"a folder", dir.path(), "\"{path}\" is a folder, not a data file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DataFileReadResult r = readDataFile(c.path);
    EXPECT_FALSE(r.table);
    EXPECT_EQ(r.error, replacePath(c.message, c.path));
  }
}

TEST(DataFileReader, RefusesAnUnreadableFile) {
  if (::geteuid() == 0) return testing::runAgainAsNobody();  // the super-user reads every file
  TempDir dir;
  std::string path = dir.write("locked.fst", "1 2\n");
  ::chmod(path.c_str(), 0);
  DataFileReadResult r = readDataFile(path);
  EXPECT_FALSE(r.table);
  EXPECT_EQ(r.error, "cannot open \"" + path + "\": Permission denied");
}

// A long file: rows r hold (r, r / 4, -r); a blank line follows every 97th line.
struct LongFile {
  std::string text;
  std::vector<long long> lineOfRow;  // 1-based file line of each row
};
LongFile longFile(int rows, int badRow, const std::string& badLine) {
  LongFile f;
  long long line = 0;
  for (int r = 0; r < rows; ++r) {
    if (r == badRow) {
      f.text += badLine + "\n";
      ++line;
    }
    f.text += std::to_string(r) + " " + std::to_string(r / 4.0) + " -" + std::to_string(r) + "\n";
    f.lineOfRow.push_back(++line);
    if (line % 97 == 0) {
      f.text += "  \n";
      ++line;
    }
  }
  return f;
}

const Tuning kLongFileTunings[] = {
    {"default", ReadTuning{}},
    {"4 KB blocks, 2 threads", ReadTuning{4096, 1, 2}},
    {"1000-byte blocks, 5 threads", ReadTuning{1000, 1, 5}},
};

TEST(DataFileReader, LongFileStopsAtTheBadLineWhicheverThreadReadsIt) {
  constexpr int kRows = 50'000;
  struct Case {
    const char* name;
    int badRow;  // rows read before the bad line; kRows: no bad line
    std::string badLine;
    std::string reason;
  };
  const Case cases[] = {
      {"good file", kRows, "", ""},
      {"bad line at 30%", kRows * 3 / 10, "1 2 oops", "\"oops\" is not a number"},
      {"short line at 60%", kRows * 6 / 10, "1 2", "2 numbers where 3 are expected"},
      {"bad line second to last", kRows - 1, "1 2 3e", "\"3e\" is not a number"},
      {"bad second line", 1, "x", "\"x\" is not a number"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    LongFile f = longFile(kRows, c.badRow, c.badLine);
    std::string path = dir.write("long.ml", f.text);
    for (const Tuning& tuning : kLongFileTunings) {
      SCOPED_TRACE(std::string(c.name) + " / " + tuning.name);
      DataFileReadResult r = readDataFile(path, tuning.tuning);
      ASSERT_TRUE(r.table) << r.error;
      const SampleTable& t = *r.table;
      ASSERT_EQ(t.columnCount(), 3);
      ASSERT_EQ(t.rowCount(), c.badRow);
      ASSERT_EQ(r.stoppedEarly.has_value(), c.badRow != kRows);
      if (r.stoppedEarly) {
        EXPECT_EQ(r.stoppedEarly->line, f.lineOfRow[c.badRow] - 1);
        EXPECT_EQ(r.stoppedEarly->reason, c.reason);
      }
      int wrong = 0;
      for (int row = 0; row < t.rowCount(); ++row) {
        if (t.cell(0, row) != static_cast<float>(row) || t.cell(1, row) != static_cast<float>(row / 4.0) ||
            t.cell(2, row) != -static_cast<float>(row)) {
          if (++wrong < 5) ADD_FAILURE() << "row " << row << ": " << t.cell(0, row) << " " << t.cell(1, row);
        }
      }
    }
  }
}

TEST(DataFileReader, ReadsVeryWideAndVeryLongLines) {
  const int kWide = 100'000;
  std::string wideRow;
  for (int c = 0; c < kWide; ++c) wideRow += std::to_string(c % 1000) + " ";
  wideRow.back() = '\n';
  std::string megabyteLine;
  for (int c = 0; c < 500'000; ++c) megabyteLine += c % 2 ? "7 " : "3 ";
  std::string longNumber = "1." + std::string(100'000, '0') + "1";
  std::string ignoredTail;
  for (int c = 0; c < 200'000; ++c) ignoredTail += " junk";

  struct Case {
    const char* name;
    std::string content;
    int rows, columns;
    std::vector<std::pair<int, float>> cellsOfLastRow;  // (column, value)
  };
  const Case cases[] = {
      {"100,000 columns", wideRow + wideRow + wideRow, 3, kWide, {{0, 0}, {999, 999}, {kWide - 1, 999}}},
      {"1 MB single line without line feed", megabyteLine, 1, 500'000, {{0, 3}, {499'999, 7}}},
      {"100 KB number", longNumber + " 2\n" + "3 " + longNumber + "\n", 2, 2, {{0, 3}, {1, 1}}},
      {"1 MB of ignored tokens", "1 2\n3 4" + ignoredTail + "\n5 6\n", 3, 2, {{0, 5}, {1, 6}}},
  };
  TempDir dir;
  for (const Case& c : cases) {
    std::string path = dir.write("wide.ml", c.content);
    for (const Tuning& tuning : kLongFileTunings) {
      SCOPED_TRACE(std::string(c.name) + " / " + tuning.name);
      DataFileReadResult r = readDataFile(path, tuning.tuning);
      ASSERT_TRUE(r.table) << r.error;
      EXPECT_FALSE(r.stoppedEarly);
      ASSERT_EQ(r.table->rowCount(), c.rows);
      ASSERT_EQ(r.table->columnCount(), c.columns);
      for (auto [col, value] : c.cellsOfLastRow) EXPECT_EQ(r.table->cell(col, c.rows - 1), value) << col;
    }
  }
}

TEST(DataFileReader, RefusesATableLargerThanMemory) {
  const int kColumns = 100'000;
  const long long memory = static_cast<long long>(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGESIZE);
  const long long rows = memory / 4 / kColumns + 1000;
  std::string text(2 * kColumns, ' ');
  for (int c = 0; c < kColumns; ++c) text[2 * c] = '0';
  text.back() = '\n';
  for (long long r = 1; r < rows; ++r) text += "x\n";
  TempDir dir;
  std::string path = dir.write("huge.ml", text);
  DataFileReadResult r = readDataFile(path);
  EXPECT_FALSE(r.table);
  EXPECT_EQ(r.error, "\"" + path + "\" is too large to read (" + groupedCount(rows, "row", "rows") + " x 100,000 columns)");
}

TEST(DataFileReader, YieldsNowAndThenAndMayReadAnotherFileMeanwhile) {
  std::string text;
  for (int r = 0; r < 300'000; ++r) text += "1.5 2 3 4 5 6\n";
  TempDir dir;
  std::string path = dir.write("big.ml", text);
  std::string other = dir.write("other.ml", "1 2\n3 4\n");
  using Clock = std::chrono::steady_clock;
  // a watcher that reads another file each time the fraction moves, and times the moves
  struct Watcher : Progress {
    std::string other;
    int calls = 0;
    Clock::duration shortestGap = Clock::duration::max();
    Clock::time_point lastReturn = Clock::now();
    bool otherReadWell = true;
    void moved(double fraction) override {
      if (fraction == 1) return;  // the read's end, told once it is over
      ++calls;
      shortestGap = std::min(shortestGap, Clock::now() - lastReturn);
      DataFileReadResult o = readDataFile(other);
      otherReadWell = otherReadWell && o.table && rowsOf(*o.table) == Rows{{1, 2}, {3, 4}};
      lastReturn = Clock::now();
    }
  };
  for (const Tuning& tuning : {Tuning{"default", ReadTuning{}}, Tuning{"2 threads", ReadTuning{1 << 16, 1, 2}}}) {
    SCOPED_TRACE(tuning.name);
    Watcher watcher;
    watcher.other = other;
    DataFileReadResult r = readDataFile(path, watcher, tuning.tuning);
    ASSERT_TRUE(r.table);
    EXPECT_EQ(r.table->rowCount(), 300'000);
    EXPECT_EQ(r.table->cell(0, 299'999), 1.5f);
    EXPECT_GE(watcher.calls, 1);
    EXPECT_EQ(watcher.fraction(), 1.0);
    EXPECT_GE(watcher.shortestGap, std::chrono::milliseconds(4)) << "progress reported more often than every few ms";
    EXPECT_TRUE(watcher.otherReadWell);
  }
}

// The sampler may still be writing, or a user may overwrite the file while it is read.
TEST(DataFileReader, FileCutShortWhileItIsReadGivesOnlyWholeRows) {
  std::string text;
  const int kRows = 1'000'000;
  std::size_t cutAt = 0;  // inside a line, leaving one number of two
  for (int r = 0; r < kRows; ++r) {
    text += std::to_string(r) + " 0.5\n";
    if (r == kRows / 3) cutAt = text.size() - 5;
  }
  TempDir dir;
  for (const Tuning& tuning : {Tuning{"default", ReadTuning{}}, Tuning{"3 threads", ReadTuning{1 << 16, 1, 3}}}) {
    SCOPED_TRACE(tuning.name);
    std::string path = dir.write("growing.ml", text);
    // cuts the file the first time the read reports progress, while it still reads
    struct Cutter : Progress {
      std::string path;
      std::size_t cutAt = 0;
      bool cut = false;
      void moved(double fraction) override {
        if (cut || fraction == 1) return;
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(cutAt)), 0);
        cut = true;
      }
    } cutter;
    cutter.path = path;
    cutter.cutAt = cutAt;
    DataFileReadResult r = readDataFile(path, cutter, tuning.tuning);
    if (!cutter.cut) GTEST_SKIP() << "the read ended before its first report";
    ASSERT_TRUE(r.table) << r.error;
    const SampleTable& t = *r.table;
    EXPECT_LT(t.rowCount(), kRows);
    EXPECT_TRUE(r.stoppedEarly);
    for (int row = 0; row < t.rowCount(); ++row) {
      ASSERT_EQ(t.cell(0, row), static_cast<float>(row)) << row;
      ASSERT_EQ(t.cell(1, row), 0.5f) << row;
    }
  }
}

// A caller stops a long read by asking its progress for the cancel; the read ends at the next look
// with the one cancellation, with every reading thread joined, and hands back no table.
TEST(DataFileReader, ACancelStopsTheReadAndReachesTheCaller) {
  std::string text;
  for (int r = 0; r < 300'000; ++r) text += std::to_string(r) + " 0.5\n";
  TempDir dir;
  const std::string path = dir.write("long.ml", text);
  // no wait between reports, so the read always reports before its end, on one thread or several
  for (const ReadTuning& tuning : {ReadTuning{.yieldInterval = {}}, ReadTuning{1 << 16, 1, 3, {}}}) {
    RecordedProgress progress(1);
    EXPECT_THROW(readDataFile(path, progress, tuning), WorkCancelled);
    ASSERT_FALSE(progress.moves().empty());
    EXPECT_LT(progress.moves().back(), 1.0) << "stopped before the end";
  }
}

}  // namespace
}  // namespace varno
