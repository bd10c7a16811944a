// Stamping a file: opened anew and looked at, then closed at once.
#include "core/file_stamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace varno {

std::optional<FileStamp> fileStampOf(const std::string& path) {
  // without waiting: a FIFO nobody writes to must not block
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return std::nullopt;
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
