// What a file is and how it stood when it was read (its identity, size, last change and a digest
// of its last bytes), to tell later that it changed: for files that are read anew whenever they
// change.
#pragma once

#include <optional>
#include <string>

namespace varno {

struct FileStamp {
  unsigned long long device = 0, inode = 0;
  long long size = 0;
  long long changedNs = 0;  // last modification, nanoseconds since the epoch
  // of the last kTailBytes: a file written anew at its size within the clock's step of its last
  // change shows in them
  unsigned long long tailDigest = 0;
  static constexpr long long kTailBytes = 4096;

  bool operator==(const FileStamp&) const = default;
};

// The stamp of `path` now, looked at by opening it (so that a shared file system shows what other
// hosts wrote); nothing when it cannot be opened.
std::optional<FileStamp> fileStampOf(const std::string& path);

}  // namespace varno
