// Following a data file that grows: each round opens it, checks that it is still the file read up
// to where it was read, and reads the whole lines appended since.
#include "core/file_follower.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <string_view>
#include <system_error>
#include <utility>

#include "core/input_file.h"
#include "core/text_pieces.h"

namespace varno {

namespace {

// Closes a file on every way out.
struct Closing {
  int fd;
  ~Closing() { ::close(fd); }
};

// Appends the bytes of [at, to) to `bytes`, as many as the file gives (fewer when it ends
// before); the errno of a failed read, or 0.
int readRange(int fd, long long at, long long to, std::string& bytes) {
  const std::size_t start = bytes.size();
  bytes.resize(start + static_cast<std::size_t>(to - at));
  std::size_t got = start;
  while (got < bytes.size()) {
    const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      bytes.resize(got);
      return errno;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
    at += n;
  }
  bytes.resize(got);
  return 0;
}

bool isBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

FileFollower::FileFollower(std::string path, ReadOnPoint from, std::size_t bytesPerRound)
    : path_(std::move(path)), at_(std::move(from)), bytesPerRound_(std::max<std::size_t>(bytesPerRound, 1)) {}

FollowPoll FileFollower::poll() {
  FollowPoll out;
  const auto ends = [&](FileChange change, std::string message) {
    out.change = change;
    out.message = std::move(message);
    return out;
  };
  if (!stopMessage_.empty()) return ends(FileChange::stopped, stopMessage_);
  const std::string name = quoted(path_);
  const OpenedInput opened = openInputFile(path_, "data file");
  if (opened.fd < 0) return ends(FileChange::gone, opened.refusal);
  const Closing closing{opened.fd};
  if (opened.device != at_.device || opened.inode != at_.inode)
    return ends(FileChange::readAnew, name + " was replaced by another file since it was read");
  if (opened.size < at_.byte) return ends(FileChange::readAnew, name + " is shorter than the part already read");

  try {
    // the bytes before the read offset, to see that they are still those read, then the new ones
    const std::size_t checked = static_cast<std::size_t>(
        std::min<long long>(at_.byte, static_cast<long long>(ReadOnPoint::kBytesBefore)));
    const long long base = at_.byte - static_cast<long long>(checked);
    const bool capped = opened.size - at_.byte > static_cast<long long>(bytesPerRound_);
    long long to = capped ? at_.byte + static_cast<long long>(bytesPerRound_) : opened.size;
    std::string bytes;
    int error = readRange(opened.fd, base, to, bytes);
    // a line longer than one round's bytes is read whole
    if (!error && capped && bytes.size() == static_cast<std::size_t>(to - base) &&
        bytes.find('\n', checked) == std::string::npos) {
      error = readRange(opened.fd, to, opened.size, bytes);
      to = opened.size;
    }
    if (error) return ends(FileChange::gone, "cannot read " + name + ": " + std::generic_category().message(error));
    if (bytes.size() < checked) return ends(FileChange::readAnew, name + " is shorter than the part already read");
    if (at_.before.size() != checked || bytes.compare(0, checked, at_.before) != 0)
      return ends(FileChange::readAnew, name + " changed within the part already read (it was written anew)");
    out.more = base + static_cast<long long>(bytes.size()) < opened.size;

    // NUL bytes at the end are not written yet
    std::string_view fresh = std::string_view(bytes).substr(checked);
    while (!fresh.empty() && fresh.back() == '\0') fresh.remove_suffix(1);

    ReadOnPoint next = at_;
    if (at_.rowOpen) {  // the last row read had no line end: only blanks may complete it
      const std::size_t end = fresh.find('\n');
      const std::string_view rest = fresh.substr(0, end);
      if (!std::all_of(rest.begin(), rest.end(), isBlankByte))
        return ends(FileChange::readAnew, name + " line " + decimal(at_.line) + " was read before it was written whole");
      if (end == std::string_view::npos) return out;
      next.byte += static_cast<long long>(end + 1);
      next.line += 1;
      next.rowOpen = false;
      fresh.remove_prefix(end + 1);
    }
    const std::size_t lastEnd = fresh.rfind('\n');
    const std::string_view whole = fresh.substr(0, lastEnd == std::string_view::npos ? 0 : lastEnd + 1);
    out.appended = readAppendedRows(whole, next);
    next.byte += out.appended.bytes;
    next.line = out.appended.nextLine;
    const std::size_t upTo = static_cast<std::size_t>(next.byte - base);
    const std::size_t from = upTo - std::min(upTo, ReadOnPoint::kBytesBefore);
    next.before.assign(bytes, from, upTo - from);
    at_ = std::move(next);

    const std::optional<ReadStop>& bad = out.appended.badRow;
    if (bad && out.appended.rowAfterBadRow) {
      if (suspect_ && suspect_->line == bad->line && suspect_->reason == bad->reason) {
        stopMessage_ = name + " line " + decimal(bad->line) + ": " + bad->reason;
        return ends(FileChange::stopped, stopMessage_);
      }
      suspect_ = bad;
    } else {
      suspect_.reset();
    }
    if (out.appended.rows->rowCount() > 0) out.change = FileChange::grown;
    return out;
  } catch (const std::bad_alloc&) {
    return ends(FileChange::gone, "cannot read " + name + ": the rows appended do not fit in memory");
  }
}

}  // namespace varno
