// Opening an input file for reading without waiting on it, and telling two names of one file apart
// from two files.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno {

struct OpenedInput {
  int fd = -1;          // open for reading when >= 0; the caller closes it
  long long size = 0;   // bytes, when open
  unsigned long long device = 0, inode = 0;  // which file it is, when open
  std::string refusal;  // otherwise why not, naming the file
};

// Opens `path` for reading. Only a regular file is opened: a folder, FIFO, device or socket is
// refused at once, so that a FIFO no program writes to never blocks the reading. `what` names
// the file's part in the analysis for a folder ("a folder, not a data file").
OpenedInput openInputFile(const std::string& path, std::string_view what);

// Whether two paths name one file (the same device and inode), links and other spellings
// included; false when either cannot be looked at.
bool sameFile(const std::string& a, const std::string& b);

// Nothing when no two of `files` (the chain files of one analysis, chain 1 first) are one file;
// otherwise why the later one cannot be a chain, naming both.
std::optional<std::string> repeatedChainFile(const std::vector<std::string>& files);

}  // namespace varno
