// Tests of following a data file that grows: the test writes, appends, truncates and replaces the
// file between two rounds, and the rows taken in must be those a fresh read of the file gives.
#include "core/file_follower.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <functional>
#include <string>
#include <vector>

#include "core/data_file_reader.h"
#include "core/text_pieces.h"
#include "tests/cli/temp_folder.h"
#include "tests/core/read_tunings.h"
#include "tests/core/table_rows.h"

namespace varno {
namespace {

using testing::kTunings;
using testing::Rows;
using testing::rowsOf;
using testing::TempFolder;

void append(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

// Writes `bytes` over the file from byte `at` on, in place.
void writeAt(const std::string& path, long long at, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), at), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

// The rows of a table and its first column as held (exactly, when the table holds it so), to
// which the rows taken in by following are added.
struct TakenRows {
  explicit TakenRows(const SampleTable& table) : rows(rowsOf(table)) {
    for (int r = 0; r < table.rowCount(); ++r) firstColumn.push_back(table.value(0, r));
  }
  void add(const AppendedRows& more) {
    const Rows added = rowsOf(*more.rows);
    rows.insert(rows.end(), added.begin(), added.end());
    EXPECT_EQ(more.firstColumn.size(), added.size());
    firstColumn.insert(firstColumn.end(), more.firstColumn.begin(), more.firstColumn.end());
  }
  bool operator==(const TakenRows&) const = default;

  Rows rows;
  std::vector<double> firstColumn;
};

void PrintTo(const TakenRows& taken, std::ostream* out) {
  *out << taken.rows.size() << " rows, first column";
  for (double v : taken.firstColumn) *out << ' ' << v;
}

// Reads `path` and follows it from there.
FileFollower followerOf(const std::string& path, std::size_t bytesPerRound = FileFollower::kBytesPerRound) {
  const DataFileReadResult read = readDataFile(path);
  EXPECT_TRUE(read.table) << read.error;
  return FileFollower(path, read.readOn, bytesPerRound);
}

// Where a read leaves off, whatever the blocks and threads it was read with.
TEST(ReadOn, FirstLineNotReadAsARow) {
  struct Case {
    const char* name;
    const char* file;
    std::string text;
    long long byte, line;
    bool rowOpen;
  };
  const std::string longFile = [] {
    std::string t;
    for (int r = 0; r < 2000; ++r) t += "1 2\n";
    return t;
  }();
  const Case cases[] = {
      {"every line ended", "a.fst", "1 2\n3 4\n", 8, 3, false},
      {"last row without line end", "b.fst", "1 2\n3 4", 7, 2, true},
      {"last row ended by a carriage return only", "c.fst", "1 2\r\n3 4\r", 9, 2, true},
      {"blank lines after the rows", "d.fst", "1 2\n3 4\n\n  \n", 12, 5, false},
      {"blanks without line end after the rows", "e.fst", "1 2\n3 4\n  ", 8, 3, false},
      {"stopped at a word", "f.fst", "1 2\n3 x\n5 6\n", 4, 2, false},
      {"stopped at half a row", "g.fst", "1 2\n3", 4, 2, false},
      {"comment without line end", "h.txt", "# c\n1 2\n# tail", 8, 3, false},
      {"header and comments", "i.csv", "a,b\n# c\n1,2\n", 12, 4, false},
      {"more than the bytes kept before", "j.fst", longFile, 8000, 2001, false},
  };
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  for (const Case& c : cases) {
    const std::string path = dir.write(c.file, c.text);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    for (const auto& tuning : kTunings) {
      SCOPED_TRACE(std::string(c.name) + ", " + tuning.name);
      const DataFileReadResult read = readDataFile(path, tuning.tuning);
      ASSERT_TRUE(read.table) << read.error;
      const ReadOnPoint& at = read.readOn;
      EXPECT_EQ(at.byte, c.byte);
      EXPECT_EQ(at.line, c.line);
      EXPECT_EQ(at.rowOpen, c.rowOpen);
      EXPECT_EQ(at.columns, 2);
      EXPECT_EQ(at.csv, std::string(c.file).ends_with(".csv"));
      EXPECT_EQ(at.comments, !std::string(c.file).ends_with(".fst"));
      EXPECT_EQ(at.device, static_cast<unsigned long long>(st.st_dev));
      EXPECT_EQ(at.inode, static_cast<unsigned long long>(st.st_ino));
      const long long kept = std::min<long long>(c.byte, 4096);
      EXPECT_EQ(at.before, c.text.substr(static_cast<std::size_t>(c.byte - kept), static_cast<std::size_t>(kept)));
    }
  }
}

// A change to the file between two rounds: appended at the end, or written over it from a byte on.
struct Change {
  long long at;  // -1: appended
  std::string bytes;
};

// The rows taken in by following, after those of the first read, are those of a fresh read of the
// final file, the first column exactly as held, however the bytes arrived and however many a round
// reads.
TEST(FileFollower, RowsTakenInEqualAFreshReadOfTheFinalFile) {
  using namespace std::string_literals;
  struct Case {
    const char* name;
    const char* file;
    std::string first;
    std::vector<Change> changes;  // a round follows each
  };
  const Case cases[] = {
      {"whole rows", "a.fst", "1 0.5\n2 0.25\n", {{-1, "3 0.125\n4 1e-3\n"}, {-1, "5 2\n"}}},
      {"half a row, then the rest", "b.fst", "1 0.5\n", {{-1, "2 0.2"}, {-1, "5\n3 0"}, {-1, ".75\n"}}},
      {"a row cut inside its line end", "c.fst", "1 2\r\n", {{-1, "3 4\r"}, {-1, "\n5 6\r\n"}}},
      {"last row of the first read without line end", "d.fst", "1 2\n3 4", {{-1, "\n5 6\n"}}},
      {"its line end after blanks", "e.fst", "1 2\n3 4", {{-1, " \t"}, {-1, "\r\n5 6\n"}}},
      {"NUL bytes at the growing end", "f.fst", "1 2\n",
       {{-1, "3 4\n\0\0\0\0\0\0\0\0"s}, {-1, ""}, {8, "5 6\n7 8\n"}}},
      {"only NUL bytes", "g.fst", "1 2\n", {{-1, "\0\0\0\0\0\0"s}, {4, "5 6\n"}}},
      {"NUL bytes after the last row of the first read", "l.fst", "1 2\n3 4", {{-1, "\0\0\0\0"s}, {7, "\n5 6\n"}}},
      {"counter past 2^24", "h.fst", "16777215 1\n16777217 2\n", {{-1, "16777219 3\n"}, {-1, "16777221 4\n"}}},
      {"counter passes 2^24 while followed", "i.fst", "16777214 1\n", {{-1, "16777217 2\n16777219 3\n"}}},
      {"header, comments, blank lines", "j.csv", "a,b\n1,2\n", {{-1, "# note\n3,4\n"}, {-1, "\n5,6,\n"}}},
      {"rows with extra numbers", "k.txt", "1 2\n", {{-1, "3 4 5\n6 7\n"}}},
  };
  struct Rounds {
    const char* name;
    std::size_t bytes;
  };
  const Rounds roundSizes[] = {{"one round reads all", FileFollower::kBytesPerRound}, {"3 bytes a round", 3}};
  for (const Case& c : cases) {
    for (const Rounds& rounds : roundSizes) {
      SCOPED_TRACE(std::string(c.name) + ", " + rounds.name);
      TempFolder dir;
      ASSERT_TRUE(dir.ok());
      const std::string path = dir.write(c.file, c.first);
      const DataFileReadResult first = readDataFile(path);
      ASSERT_TRUE(first.table) << first.error;
      FileFollower follower(path, first.readOn, rounds.bytes);
      TakenRows taken(*first.table);
      for (const Change& change : c.changes) {
        if (change.at < 0)
          append(path, change.bytes);
        else
          writeAt(path, change.at, change.bytes);
        for (int round = 0; round < 100; ++round) {
          const FollowPoll poll = follower.poll();
          ASSERT_TRUE(poll.change == FileChange::grown || poll.change == FileChange::unchanged) << poll.message;
          EXPECT_FALSE(poll.appended.badRow);
          if (poll.change == FileChange::grown) taken.add(poll.appended);
          if (!poll.more) break;
        }
      }
      const DataFileReadResult last = readDataFile(path);
      ASSERT_TRUE(last.table) << last.error;
      EXPECT_EQ(taken, TakenRows(*last.table));
      EXPECT_EQ(follower.readOn().byte, last.readOn.byte);
      EXPECT_EQ(follower.readOn().line, last.readOn.line);
      EXPECT_EQ(follower.readOn().before, last.readOn.before);
    }
  }
}

// Whatever byte the first read ended at, following on from there gives the rows of a fresh read,
// unless the first read took in a last row that the rest shows was cut: then it must be read anew.
TEST(FileFollower, FirstReadEndingAtAnyByteFollowsOnToAFreshRead) {
  struct Case {
    const char* name;
    const char* file;
    std::string text;
  };
  const Case cases[] = {
      {"blank-separated, CRLF and blank lines", "a.fst", "1 0.5\n2 0.25\r\n\n3 1e-3\n4 -2\n"},
      {"comma-separated with header and comments", "b.csv", "# c\nx,y\n# d\n1,2\n3,4,\n\n5,6\n"},
      {"counter past 2^24", "c.fst", "16777215 1\n16777217 2\n16777219 3\n"},
      {"rows with extra numbers", "d.txt", "1 2\n3 4 5\n6 7\n"},
  };
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  for (const Case& c : cases) {
    const DataFileReadResult whole = readDataFile(dir.write(c.file, c.text));
    ASSERT_TRUE(whole.table) << whole.error;
    for (std::size_t cut = 1; cut < c.text.size(); ++cut) {
      SCOPED_TRACE(std::string(c.name) + ", first read of " + decimal(static_cast<long long>(cut)) + " bytes");
      const std::string path = dir.write(c.file, c.text.substr(0, cut));
      const DataFileReadResult first = readDataFile(path);
      if (!first.table) continue;  // nothing to follow yet
      FileFollower follower(path, first.readOn);
      append(path, c.text.substr(cut));
      const FollowPoll poll = follower.poll();
      if (poll.change == FileChange::readAnew) {
        EXPECT_TRUE(first.readOn.rowOpen) << poll.message;
        continue;
      }
      ASSERT_TRUE(poll.change == FileChange::grown || poll.change == FileChange::unchanged) << poll.message;
      TakenRows taken(*first.table);
      if (poll.change == FileChange::grown) taken.add(poll.appended);
      EXPECT_EQ(taken, TakenRows(*whole.table));
      EXPECT_EQ(follower.readOn().line, whole.readOn.line);
    }
  }
}

// A file that is no longer what was read up to the offset is read anew; a file that cannot be
// opened is gone, in the reader's words, and following it goes on when it is back.
TEST(FileFollower, SaysWhenTheFileMustBeReadAnewOrIsGone) {
  struct Case {
    const char* name;
    std::string first;
    std::function<void(const std::string& path)> change;
    FileChange expected;
    std::string message;  // {path}: the file's name
  };
  const auto replaceWith = [](std::string text) {
    return [text](const std::string& path) {
      std::ofstream(path + ".new", std::ios::binary) << text;
      std::filesystem::rename(path + ".new", path);
    };
  };
  const Case cases[] = {
      {"shrunk", "1 2\n3 4\n", [](const std::string& p) { std::filesystem::resize_file(p, 6); },
       FileChange::readAnew, "\"{path}\" is shorter than the part already read"},
      {"replaced by the same rows and more", "1 2\n3 4\n", replaceWith("1 2\n3 4\n5 6\n"), FileChange::readAnew,
       "\"{path}\" was replaced by another file since it was read"},
      {"rewritten before the offset, same size", "1 2\n3 4\n", [](const std::string& p) { writeAt(p, 0, "9"); },
       FileChange::readAnew, "\"{path}\" changed within the part already read (it was written anew)"},
      {"rewritten from a checkpoint, longer", "1 2\n3 4\n5 6\n",
       [](const std::string& p) { writeAt(p, 4, "3 4\n7 8\n9 10\n11 12\n"); }, FileChange::readAnew,
       "\"{path}\" changed within the part already read (it was written anew)"},
      {"last row read was half written", "1 2\n3 4", [](const std::string& p) { append(p, "5\n"); },
       FileChange::readAnew, "\"{path}\" line 2 was read before it was written whole"},
      {"last row read goes on, still without line end", "1 2\n3 4", [](const std::string& p) { append(p, " 5"); },
       FileChange::readAnew, "\"{path}\" line 2 was read before it was written whole"},
      {"removed", "1 2\n", [](const std::string& p) { std::filesystem::remove(p); }, FileChange::gone,
       "cannot open \"{path}\": No such file or directory"},
      {"a folder in its place", "1 2\n",
       [](const std::string& p) {
         std::filesystem::remove(p);
         std::filesystem::create_directory(p);
       },
       FileChange::gone, "\"{path}\" is a folder, not a data file"},
      {"a FIFO in its place", "1 2\n",
       [](const std::string& p) {
         std::filesystem::remove(p);
         ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
       },
       FileChange::gone, "\"{path}\" is not a regular file (it is a FIFO): only regular files are read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    ASSERT_TRUE(dir.ok());
    const std::string path = dir.write("trace.fst", c.first);
    FileFollower follower = followerOf(path);
    c.change(path);
    const FollowPoll poll = follower.poll();
    EXPECT_EQ(poll.change, c.expected);
    std::string message = c.message;
    message.replace(message.find("{path}"), 6, path);
    EXPECT_EQ(poll.message, message);
  }
}

TEST(FileFollower, FollowsAFileAgainOnceItIsBack) {
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.write("trace.fst", "1 2\n");
  FileFollower follower = followerOf(path);
  std::filesystem::rename(path, path + ".away");
  EXPECT_EQ(follower.poll().change, FileChange::gone);
  std::filesystem::rename(path + ".away", path);
  append(path, "3 4\n");
  const FollowPoll poll = follower.poll();
  ASSERT_EQ(poll.change, FileChange::grown) << poll.message;
  EXPECT_EQ(rowsOf(*poll.appended.rows), (Rows{{3, 4}}));
}

// A bad row stops following only when a line follows it and the next round finds the same fault
// there; the message is the one a fresh read of the file gives.
TEST(FileFollower, StopsAtABadRowOnlyWhenItStaysBadWithALineAfterIt) {
  struct Case {
    const char* name;
    const char* file;
    std::string first, bad;
    long long line;
  };
  const Case cases[] = {
      {"a word", "a.fst", "1 2\n", "3 x\n", 3},
      {"too few numbers", "b.fst", "1 2\n\n", "3\n", 4},
      {"out of range", "c.fst", "1 2\n", "3 4e99\n", 3},
      {"a decimal comma among blanks", "d.txt", "# run 1\n1 2\n", "3 4,5\n", 4},
      {"numbers joined by commas", "e.txt", "1 2\n", "3,4\n", 3},
      {"an empty field", "f.csv", "a,b\n1,2\n", "3,,4\n", 4},
      {"blanks in a comma-separated file", "g.csv", "1,2\n", "3 4\n", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    ASSERT_TRUE(dir.ok());
    const std::string path = dir.write(c.file, c.first);
    FileFollower follower = followerOf(path);
    const bool csv = std::string(c.file).ends_with(".csv");
    append(path, (csv ? "7,8\n" : "7 8\n") + c.bad);
    // not followed by a line: the rows before it are taken in, it waits, round after round
    for (int round = 0; round < 2; ++round) {
      const FollowPoll poll = follower.poll();
      ASSERT_EQ(poll.change, round == 0 ? FileChange::grown : FileChange::unchanged) << poll.message;
      ASSERT_TRUE(poll.appended.badRow);
      EXPECT_EQ(poll.appended.badRow->line, c.line);
      EXPECT_FALSE(poll.appended.rowAfterBadRow);
      if (round == 0) {
        EXPECT_EQ(rowsOf(*poll.appended.rows), (Rows{{7, 8}}));
      }
    }
    append(path, csv ? "5,6\n" : "5 6\n");
    const FollowPoll seen = follower.poll();
    EXPECT_EQ(seen.change, FileChange::unchanged) << seen.message;
    ASSERT_TRUE(seen.appended.badRow);
    EXPECT_TRUE(seen.appended.rowAfterBadRow);
    const FollowPoll confirmed = follower.poll();
    EXPECT_EQ(confirmed.change, FileChange::stopped);
    // a fresh read stops at the same line for the same reason, or refuses the file there
    const DataFileReadResult fresh = readDataFile(path);
    const std::string expected = fresh.table ? quoted(path) + " line " + decimal(fresh.stoppedEarly->line) + ": " +
                                                   fresh.stoppedEarly->reason
                                             : fresh.error;
    EXPECT_EQ(confirmed.message, expected);
    EXPECT_NE(confirmed.message.find(" line " + decimal(c.line) + ": "), std::string::npos);
    EXPECT_EQ(follower.poll().change, FileChange::stopped);
  }
}

// A shared file system may show a line before all its bytes: a bad row that is whole by the next
// round is read as a row.
TEST(FileFollower, BadRowMendedByTheNextRoundIsARow) {
  TempFolder dir;
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.write("trace.fst", "1 2\n");
  FileFollower follower = followerOf(path);
  append(path, std::string("3 \0\0\n5 6\n", 9));
  const FollowPoll seen = follower.poll();
  EXPECT_EQ(seen.change, FileChange::unchanged);
  ASSERT_TRUE(seen.appended.badRow);
  EXPECT_TRUE(seen.appended.rowAfterBadRow);
  writeAt(path, 6, "4.");
  const FollowPoll mended = follower.poll();
  ASSERT_EQ(mended.change, FileChange::grown) << mended.message;
  EXPECT_FALSE(mended.appended.badRow);
  EXPECT_EQ(rowsOf(*mended.appended.rows), (Rows{{3, 4}, {5, 6}}));
}

}  // namespace
}  // namespace varno
