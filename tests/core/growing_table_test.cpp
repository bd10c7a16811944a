// Tests of tables that grow: rows appended to a table read from a file, as a follower takes them
// in, must give the table a read of the whole file gives, leave the table they grew from as it
// was, and share the rows read rather than copy them.
#include "core/sample_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/data_file_reader.h"
#include "core/file_follower.h"
#include "tests/cli/temp_folder.h"
#include "tests/core/table_rows.h"

namespace varno {
namespace {

using testing::rowsOf;
using testing::TempFolder;

void append(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

// Rows "counter value" for counters from, from + step, ... (count of them).
std::string counterRows(double from, double step, int count) {
  std::string text;
  for (int r = 0; r < count; ++r) {
    char line[64];
    std::snprintf(line, sizeof line, "%.17g %d.25\n", from + step * r, r % 7);
    text += line;
  }
  return text;
}

// Column 0 as the table holds it: exactly when it holds it so.
std::vector<double> firstColumnOf(const SampleTable& t) {
  std::vector<double> values;
  for (int r = 0; r < t.rowCount(); ++r) values.push_back(t.value(0, r));
  return values;
}

void expectSameTable(const SampleTable& grown, const SampleTable& whole) {
  EXPECT_EQ(grown.columnCount(), whole.columnCount());
  EXPECT_EQ(rowsOf(grown), rowsOf(whole));
  EXPECT_EQ(grown.exactFirstColumn().size(), whole.exactFirstColumn().size());
  EXPECT_EQ(firstColumnOf(grown), firstColumnOf(whole));
  EXPECT_EQ(grown.columnNames(), whole.columnNames());
}

// A file written in parts: the first part read, each later one appended and taken in by a
// follower and appended to the table; after each part the table equals a read of the file.
TEST(GrowingTable, RowsAppendedGiveTheTableOfAReadOfTheWholeFile) {
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  struct Case {
    const char* name;
    std::vector<std::string> parts;
  };
  const double big = 0x1p24;  // from here on floats no longer hold every whole number
  const Case cases[] = {
      {"small appends in place", {counterRows(1, 1, 5), counterRows(6, 1, 3), counterRows(9, 1, 1)}},
      // the room left after the first rows runs out: the rows move once into a larger storage
      {"appends beyond the room", {counterRows(1, 1, 10), counterRows(11, 1, 1500), counterRows(1511, 1, 4000)}},
      {"a header kept", {"iteration value\n" + counterRows(1, 1, 3), counterRows(4, 1, 2)}},
      // the counter passes 2^24 within the appended rows: the exact column starts then
      {"the counter passes 2^24 in appended rows", {counterRows(big - 4, 1, 3), counterRows(big - 1, 1, 4),
                                                     counterRows(big + 3, 1, 2000)}},
      {"the counter past 2^24 from the start", {counterRows(big + 1, 2, 4), counterRows(big + 9, 1, 3)}},
      // a fraction the floats hold, read first: no exact column however large the counter gets
      {"a fraction before the counter passes 2^24", {"0.5 1\n" + counterRows(big - 2, 1, 1), counterRows(big, 1, 3)}},
      // a fraction the floats cannot hold
      {"a fraction above 2^24 in the first rows", {counterRows(big + 0.5, 1, 2), counterRows(big + 3, 1, 3)}},
      {"a fraction after the counter passed 2^24", {counterRows(big + 1, 1, 3), "0.5 1\n", counterRows(big + 5, 1, 2)}},
      {"a whole number beyond 2^53 appended", {counterRows(big + 1, 1, 2), counterRows(0x1p53 + 2, 2, 2)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.write(std::string(c.name) + ".txt", c.parts.front());
    DataFileReadResult read = readDataFile(path);
    ASSERT_TRUE(read.table) << read.error;
    std::shared_ptr<const SampleTable> table = read.table;
    FileFollower follower(path, read.readOn);
    for (std::size_t p = 1; p < c.parts.size(); ++p) {
      append(path, c.parts[p]);
      const FollowPoll poll = follower.poll();
      ASSERT_EQ(poll.change, FileChange::grown) << poll.message;
      table = table->appended(*poll.appended.rows);
      const DataFileReadResult whole = readDataFile(path);
      ASSERT_TRUE(whole.table) << whole.error;
      expectSameTable(*table, *whole.table);
    }
  }
}

// The table appended to is left as it was, and appending in place shares its rows.
TEST(GrowingTable, TheTableGrownFromIsUnchangedAndShared) {
  auto base = std::make_shared<SampleTable>(3, 4, SampleTable::Room::forAppending);
  auto more = std::make_shared<SampleTable>(3, 2);
  for (int c = 0; c < 3; ++c) {
    for (int r = 0; r < 4; ++r) base->cell(c, r) = static_cast<float>(10 * c + r);
    for (int r = 0; r < 2; ++r) more->cell(c, r) = static_cast<float>(100 + 10 * c + r);
  }
  base->setColumnNames({"a", "b", "c"});
  const auto before = rowsOf(*base);
  const std::shared_ptr<const SampleTable> grown = base->appended(*more);
  EXPECT_EQ(rowsOf(*base), before);
  EXPECT_EQ(base->rowCount(), 4);
  ASSERT_EQ(grown->rowCount(), 6);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(grown->columnData(c), base->columnData(c)) << "column " << c << " was copied";
    EXPECT_EQ(grown->cell(c, 5), static_cast<float>(100 + 10 * c + 1));
  }
  EXPECT_EQ(grown->columnNames(), base->columnNames());
}

// Two tables grown from one: the second must not write over the rows of the first, so it copies.
TEST(GrowingTable, AppendingToATableThatIsNotTheLatestCopies) {
  auto base = std::make_shared<SampleTable>(2, 3, SampleTable::Room::forAppending);
  for (int c = 0; c < 2; ++c)
    for (int r = 0; r < 3; ++r) base->cell(c, r) = static_cast<float>(c * 10 + r);
  const auto rowOf = [](float a, float b) {
    auto t = std::make_shared<SampleTable>(2, 1);
    t->cell(0, 0) = a;
    t->cell(1, 0) = b;
    return t;
  };
  const std::shared_ptr<const SampleTable> first = base->appended(*rowOf(7, 70));
  const std::shared_ptr<const SampleTable> second = base->appended(*rowOf(8, 80));
  EXPECT_EQ(first->cell(0, 3), 7.0f);
  EXPECT_EQ(first->cell(1, 3), 70.0f);
  EXPECT_EQ(second->cell(0, 3), 8.0f);
  EXPECT_EQ(second->cell(1, 3), 80.0f);
  EXPECT_NE(second->columnData(0), base->columnData(0));
  EXPECT_EQ(rowsOf(*second), (testing::Rows{{0, 10}, {1, 11}, {2, 12}, {8, 80}}));
  // the first is still the latest of the storage it shares with the base: it grows in place
  const std::shared_ptr<const SampleTable> third = first->appended(*rowOf(9, 90));
  EXPECT_EQ(third->columnData(1), base->columnData(1));
  EXPECT_EQ(rowsOf(*third), (testing::Rows{{0, 10}, {1, 11}, {2, 12}, {7, 70}, {9, 90}}));
  EXPECT_EQ(rowsOf(*second), (testing::Rows{{0, 10}, {1, 11}, {2, 12}, {8, 80}}));
}

// The exact first column grows as the cells do: in place while it can, and the tables grown from
// keep their own values.
TEST(GrowingTable, TheExactFirstColumnOfTheTableGrownFromIsUnchanged) {
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  const double big = 0x1p24;
  const std::string path = dir.write("t.txt", counterRows(big + 1, 1, 3));
  const DataFileReadResult read = readDataFile(path);
  ASSERT_TRUE(read.table);
  ASSERT_EQ(read.table->exactFirstColumn().size(), 3u);
  FileFollower follower(path, read.readOn);
  const auto rowsAppended = [&](double from) {
    append(path, counterRows(from, 1, 2));
    const FollowPoll poll = follower.poll();
    EXPECT_EQ(poll.change, FileChange::grown);
    return poll.appended.rows;
  };
  const std::shared_ptr<SampleTable> more = rowsAppended(big + 4), last = rowsAppended(big + 6);
  ASSERT_TRUE(more && last);
  const std::shared_ptr<const SampleTable> grown = read.table->appended(*more);
  const std::shared_ptr<const SampleTable> latest = grown->appended(*last);
  const std::shared_ptr<const SampleTable> other = grown->appended(*last);
  EXPECT_EQ(firstColumnOf(*read.table), (std::vector<double>{big + 1, big + 2, big + 3}));
  EXPECT_EQ(firstColumnOf(*grown), (std::vector<double>{big + 1, big + 2, big + 3, big + 4, big + 5}));
  for (const auto& t : {latest, other})
    EXPECT_EQ(firstColumnOf(*t), (std::vector<double>{big + 1, big + 2, big + 3, big + 4, big + 5, big + 6, big + 7}));
  EXPECT_EQ(latest->exactFirstColumn().data(), grown->exactFirstColumn().data());
  EXPECT_NE(other->exactFirstColumn().data(), grown->exactFirstColumn().data());
}

}  // namespace
}  // namespace varno
