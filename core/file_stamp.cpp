// Stamping a file: opened anew and looked at, then closed at once.
#include "core/file_stamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "core/text_pieces.h"

namespace varno {

std::optional<FileStamp> fileStampOf(const std::string& path, std::string* why) {
  const auto unseen = [&](int error) -> std::optional<FileStamp> {
    if (why) *why = "cannot open " + quoted(path) + ": " + std::generic_category().message(error);
    return std::nullopt;
  };
  // without waiting: a FIFO nobody writes to must not block
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return unseen(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return unseen(error);
  }
  FileStamp stamp{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
                  static_cast<long long>(st.st_size),
                  static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000LL + st.st_mtim.tv_nsec};
  if (S_ISREG(st.st_mode)) {
    char tail[FileStamp::kTailBytes];
    const long long from = std::max<long long>(stamp.size - FileStamp::kTailBytes, 0);
    ssize_t got;
    do got = ::pread(fd, tail, static_cast<std::size_t>(stamp.size - from), static_cast<off_t>(from));
    while (got < 0 && errno == EINTR);
    // FNV-1a
    unsigned long long digest = 14695981039346656037ULL;
    for (ssize_t k = 0; k < got; ++k) digest = (digest ^ static_cast<unsigned char>(tail[k])) * 1099511628211ULL;
    stamp.tailDigest = digest;
  }
  ::close(fd);
  return stamp;
}

}  // namespace varno
