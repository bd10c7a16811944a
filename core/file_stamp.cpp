// Stamping a file: opened anew and looked at, then closed at once.
#include "core/file_stamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varno {

std::optional<FileStamp> fileStampOf(const std::string& path) {
  // without waiting: a FIFO nobody writes to must not block
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  const bool seen = ::fstat(fd, &st) == 0;
  ::close(fd);
  if (!seen) return std::nullopt;
  return FileStamp{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
                   static_cast<long long>(st.st_size),
                   static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000LL + st.st_mtim.tv_nsec};
}

}  // namespace varno
