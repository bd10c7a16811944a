// The one progress protocol: the fraction only grows and ends at 1, however many threads report,
// and a cancel asked for in the middle of a read stops it with the one cancellation.
#include "core/progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "core/coda_reader.h"
#include "core/data_file_reader.h"
#include "tests/cli/temp_folder.h"
#include "tests/recorded_progress.h"

namespace varno {
namespace {

using testing::TempFolder;

TEST(Progress, TheFractionOnlyGrowsWithinZeroAndOne) {
  struct Case {
    const char* name;
    std::vector<double> reports;
    double fraction;
  } cases[] = {
      {"growing", {0.25, 0.5}, 0.5},
      {"a lower report is ignored", {0.5, 0.25}, 0.5},
      {"above 1 is 1", {0.5, 7}, 1},
      {"below 0 is 0", {-1}, 0},
      {"not a number is ignored", {0.25, std::numeric_limits<double>::quiet_NaN()}, 0.25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Progress progress;
    for (double f : c.reports) progress.report(f);
    EXPECT_EQ(progress.fraction(), c.fraction);
  }
}

// Callers that do not watch share one progress: what one work reports or asks of it must not
// reach another.
TEST(Progress, TheUnwatchedOneKeepsNothing) {
  Progress& none = Progress::unwatched();
  EXPECT_FALSE(none.watched());
  none.report(0.5);
  none.requestCancel();
  EXPECT_EQ(none.fraction(), 0);
  EXPECT_FALSE(none.cancelRequested());
  EXPECT_NO_THROW(none.stopIfCancelled());

  Progress watched;
  EXPECT_NO_THROW(watched.stopIfCancelled());
  watched.requestCancel();
  EXPECT_THROW(watched.stopIfCancelled(), WorkCancelled);
}

// Threads that interleave their reports never move the fraction back, and the highest report stays.
TEST(Progress, SeveralThreadsReportingNeverMoveItBack) {
  constexpr int kSteps = 20'000, kThreads = 4;
  RecordedProgress progress;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&progress, t] {
      for (int i = t; i <= kSteps; i += kThreads) progress.report(static_cast<double>(i) / kSteps);
    });
  for (std::thread& t : threads) t.join();
  const std::vector<double> moves = progress.moves();
  EXPECT_TRUE(std::is_sorted(moves.begin(), moves.end()));
  EXPECT_EQ(progress.fraction(), 1.0);
}

std::string longTrace(int rows) {
  std::string text;
  for (int r = 0; r < rows; ++r) text += std::to_string(r) + " 0.5 " + std::to_string(r % 7) + "\n";
  return text;
}

// An index of many names over one chain file, so that the names are read on several threads.
struct CodaFiles {
  std::string index, chain;
};
CodaFiles writeCoda(TempFolder& folder, int names, int rows) {
  std::string index, chain;
  for (int n = 0; n < names; ++n) {
    index += "v" + std::to_string(n) + " " + std::to_string(n * rows + 1) + " " + std::to_string((n + 1) * rows) + "\n";
    for (int r = 1; r <= rows; ++r) chain += std::to_string(r) + " " + std::to_string(n + r % 3) + "\n";
  }
  return {folder.write("CODAindex.txt", index), folder.write("CODAchain1.txt", chain)};
}

// Each reader over a long file: the data reader on one thread and on three, the CODA reader over
// an index of many names, read on several threads. Each returns whether it read something.
struct Reader {
  const char* name;
  std::function<bool(Progress&)> read;
};
std::vector<Reader> readers(TempFolder& folder) {
  const std::string trace = folder.write("long.ml", longTrace(200'000));
  const CodaFiles coda = writeCoda(folder, 40, 2'000);
  return {
      {"data file, one thread",
       [=](Progress& p) { return readDataFile(trace, p, ReadTuning{.yieldInterval = {}}).table != nullptr; }},
      {"data file, three threads",
       [=](Progress& p) { return readDataFile(trace, p, ReadTuning{1 << 16, 1, 3, {}}).table != nullptr; }},
      {"CODA chain", [=](Progress& p) { return !readCoda(coda.index, {coda.chain}, p).chains.empty(); }},
  };
}

// The readers report from their reading threads; the fraction seen after each move only grows,
// and it ends at 1 when the reading is done.
TEST(Progress, TheReadersReportAGrowingFractionThatEndsAtOne) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  for (const Reader& reader : readers(folder)) {
    SCOPED_TRACE(reader.name);
    RecordedProgress progress;
    ASSERT_TRUE(reader.read(progress));
    const std::vector<double> moves = progress.moves();
    ASSERT_GE(moves.size(), 2u) << "reported before the end as well";
    EXPECT_TRUE(std::is_sorted(moves.begin(), moves.end()));
    EXPECT_EQ(moves.back(), 1.0);
  }
}

// A cancel asked for at the first report, in the middle of the reading, ends it with the one
// cancellation: no table, no chains, no refusal to show.
TEST(Progress, ACancelMidReadStopsEachReaderWithTheOneCancellation) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  for (const Reader& reader : readers(folder)) {
    SCOPED_TRACE(reader.name);
    RecordedProgress progress(1);
    EXPECT_THROW(reader.read(progress), WorkCancelled);
    ASSERT_FALSE(progress.moves().empty());
    EXPECT_LT(progress.moves().front(), 1.0);
  }
}

}  // namespace
}  // namespace varno
