// Reads a data file (one row of whitespace-separated numbers per line) into a sample table.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/progress.h"
#include "core/sample_table.h"

namespace varno {

// Where and why reading stopped before the end of the file.
struct ReadStop {
  long long line = 0;   // 1-based line number in the file
  std::string reason;   // e.g. "\"nan\" is not a number", "2 numbers where 5 are expected"
};

// Rows that hold more numbers than the first row (two rows joined on one line, say): they are
// read as rows, their extra numbers are not.
struct ExtraNumbers {
  long long firstLine = 0;  // 1-based line of the first such row
  long long rows = 0;       // how many rows have extra numbers
};

// Where a read left off and the rules it read rows by: what reading on needs when the file grows.
struct ReadOnPoint {
  long long byte = 0;   // rows are read on from this byte of the file
  long long line = 1;   // the 1-based number of the line at `byte` (of the open row, when rowOpen)
  // the bytes before `byte` end a row that was read without its line end: it may have been cut
  // while it was written, which the bytes that follow will tell
  bool rowOpen = false;
  int columns = 0;
  bool csv = false;       // numbers are separated by commas
  bool comments = false;  // lines that begin with '#' are passed over
  // the file read (its device and inode) and the last bytes before `byte` as read (up to
  // kBytesBefore): a file replaced or rewritten since shows in them
  unsigned long long device = 0, inode = 0;
  std::string before;
  static constexpr std::size_t kBytesBefore = 4096;
};

struct DataFileReadResult {
  // The table read; null when the file was refused (then error says why).
  std::shared_ptr<SampleTable> table;
  std::string error;                   // empty on success; names the file and the fault
  std::optional<ReadStop> stoppedEarly;  // set when rows were read but the file went on
  std::optional<ExtraNumbers> extraNumbers;  // set when rows of the table had extra numbers
  ReadOnPoint readOn;  // set with table: the first line not read as a row, for following the file
};

// How the file is cut into blocks and shares for the reading threads. The defaults suit large
// files; tests shrink them to put block and thread seams inside small files.
struct ReadTuning {
  std::size_t blockBytes = std::size_t{1} << 20;  // bytes read per pread
  long long minShareBytes = 8LL << 20;             // no thread gets less than this
  int maxThreads = 0;                              // 0: one per core, at most 8
  // least time between two reports to a watched progress and two looks at its cancel request
  // (tests give 0 to have them at once)
  std::chrono::milliseconds yieldInterval{8};
};

// The number of columns is the count of numbers on the first non-blank line; every later line
// must begin with that many numbers (more are ignored, and extraNumbers counts such rows). A
// line that does not ends the table, and stoppedEarly says where. Blank lines are skipped everywhere. A number is the whole token:
// optional sign, digits with an optional "." and an optional exponent, within float range.
// The file is refused when it cannot be opened, holds no data, its first data line is not all
// numbers, or its table would not fit in memory. A cancel asked of `progress` ends the read with
// WorkCancelled, every reading thread joined.
DataFileReadResult readDataFile(const std::string& path, Progress& progress = Progress::unwatched(),
                                const ReadTuning& tuning = ReadTuning{});
DataFileReadResult readDataFile(const std::string& path, const ReadTuning& tuning);

// The rows of lines appended to a data file after a read, read by the same rules.
struct AppendedRows {
  std::shared_ptr<SampleTable> rows;  // the new rows (an empty table when no line was a row)
  // column 0 of the new rows exactly as written, one per row; empty when it holds a fraction,
  // since then no first column is held exactly. A table taking the rows in offers its values of
  // column 0 joined with these (SampleTable::offerExactFirstColumn), as a read of the whole does.
  std::vector<double> firstColumn;
  long long bytes = 0;     // bytes of the lines taken in: up to the bad row, or all of them
  long long nextLine = 1;  // the number of the first line not taken in
  std::optional<ReadStop> badRow;     // the line that is no row of numbers, where reading stopped
  bool rowAfterBadRow = false;        // a line with something in it follows the bad row
  std::optional<ExtraNumbers> extraNumbers;
};

// Reads `lines`, whole lines each ending in a line feed that follow `from.byte` in the file, by
// the rules of `from`, numbering them from `from.line`. A line that is no row of numbers ends
// the rows, as it ends a read (a line that would refuse the whole file included).
AppendedRows readAppendedRows(std::string_view lines, const ReadOnPoint& from);

}  // namespace varno
