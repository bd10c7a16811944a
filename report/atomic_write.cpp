// Whole-or-nothing file writing through a temporary file renamed over the target.
#include "report/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace varno {

namespace {

std::string failure(const std::string& path, const char* what, int error) {
  return "cannot " + std::string(what) + " " + path + ": " + std::strerror(error);
}

std::string decimal(unsigned long long value) {
  char text[24];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// A name beside the target that no other writer uses: the process and a counter tell apart
// writers of this machine.
std::string temporaryName(const std::string& path, unsigned attempt) {
  static std::atomic<unsigned long long> counter{0};
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + "." + name + ".tmp-" + decimal(static_cast<unsigned long long>(getpid())) + "-" +
         decimal(counter.fetch_add(1)) + "-" + decimal(attempt);
}

}  // namespace

std::optional<std::string> writeFileAtomically(const std::string& path, std::string_view bytes) {
  if (path.empty() || path.back() == '/') return failure(path, "write", EISDIR);

  // The target must not be a folder: rename would otherwise fail only after all the writing.
  struct stat target {};
  const bool replacing = stat(path.c_str(), &target) == 0;
  if (replacing && S_ISDIR(target.st_mode)) return failure(path, "write", EISDIR);

  std::string temporary;
  int fd = -1;
  for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = temporaryName(path, attempt);
    // 0666 so that the umask gives the report the permissions of any new file
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return failure(path, "create a file beside", errno);
  }
  if (fd < 0) return failure(path, "create a file beside", EEXIST);

  auto abandon = [&](const char* what, int error) {
    close(fd);
    unlink(temporary.c_str());
    return failure(path, what, error);
  };

  // a replaced report keeps the permissions it had
  if (replacing && fchmod(fd, target.st_mode & 07777) != 0) return abandon("write", errno);

  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return abandon("write", errno);
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  if (fsync(fd) != 0) return abandon("write", errno);
  if (close(fd) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    return failure(path, "write", error);
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    return failure(path, "replace", error);
  }
  // make the rename itself durable; the file is in place either way
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    fsync(folderFd);
    close(folderFd);
  }
  return std::nullopt;
}

}  // namespace varno
