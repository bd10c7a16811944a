// Following one data file that a running sampler is still writing: each poll opens the file anew
// and tells whether it grew (and the rows appended), must be read anew, or cannot be read.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/data_file_reader.h"

namespace varno {

enum class FileChange {
  unchanged,  // nothing new: no growth, or no whole line yet
  grown,      // rows were appended (FollowPoll::appended)
  readAnew,   // shrunk, replaced or rewritten before the part read: read the whole file again
  gone,       // cannot be opened or read now (it may come back: a later poll looks again)
  stopped,    // a line that is no row of numbers stays so: following this file has ended
};

struct FollowPoll {
  FileChange change = FileChange::unchanged;
  // grown: the new rows. unchanged or grown: a bad row waiting to be confirmed (appended.badRow).
  // appended.rows is null when the round read no whole line.
  AppendedRows appended;
  // readAnew, gone, stopped: what happened, naming the file (and the line, when stopped)
  std::string message;
  bool more = false;  // the file holds more than one round reads: the next round may come at once
};

// Follows `path`, read up to `from` (DataFileReadResult::readOn). Never keeps the file open
// between polls, since a file kept open or a change notice misses what another host of a shared
// file system wrote; opening it anew sees it.
class FileFollower {
 public:
  // bytesPerRound: the most new bytes one round reads (a longer line is read whole).
  explicit FileFollower(std::string path, ReadOnPoint from, std::size_t bytesPerRound = kBytesPerRound);
  static constexpr std::size_t kBytesPerRound = std::size_t{64} << 20;

  // One round. Only whole lines are taken in: a last line without its line end, and NUL bytes at
  // the end (a shared file system may show zeros before the data arrive), wait for a later round.
  // A line that is no row of numbers stops following only once a line with something in it
  // follows it and the next round finds the same fault on the same line; until then the rows
  // before it are taken in and it waits.
  FollowPoll poll();

  const std::string& path() const { return path_; }
  // Where the next round reads on: the byte after the last whole line taken in, and its line.
  const ReadOnPoint& readOn() const { return at_; }

 private:
  std::string path_;
  ReadOnPoint at_;
  std::size_t bytesPerRound_;
  std::optional<ReadStop> suspect_;  // a bad row followed by another line, seen once
  std::string stopMessage_;          // set once following stopped
};

}  // namespace varno
