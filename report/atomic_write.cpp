// Whole-or-nothing file writing through a temporary file renamed over the target.
#include "report/atomic_write.h"

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>

#include "core/text_pieces.h"

namespace varno {

namespace {

std::string failure(const std::string& path, const std::string& reason) {
  return "cannot write " + quoted(path) + ": " + reason;
}

// The folder part of a path, with its final "/" ("" for a bare name).
std::string folderPart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The folder as a name that can be opened and shown: "." for a bare name, "/" for the root.
std::string folderOf(const std::string& path) {
  const std::string folder = folderPart(path);
  if (folder.empty()) return ".";
  return folder.size() == 1 ? folder : folder.substr(0, folder.size() - 1);
}

// A name beside the target that no other writer uses: the process and a counter tell apart
// writers of this machine.
std::string temporaryName(const std::string& path, unsigned attempt) {
  static std::atomic<unsigned long long> counter{0};
  const std::string folder = folderPart(path);
  return folder + "." + path.substr(folder.size()) + ".tmp-" +
         decimal(getpid()) + "-" + decimal(static_cast<long long>(counter.fetch_add(1))) + "-" + decimal(attempt);
}

// The super-user may write anything, so for him a file or folder that nobody may write counts as
// read-only; for anyone else the system decides.
bool lacksWritePermission(const std::string& path, const struct stat& st) {
  if (geteuid() == 0) return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EROFS);
}

// Follows symbolic links from `path` to the name of the file they lead to, which need not exist.
// Nothing (and errno set) when a link cannot be read or the chain does not end.
std::optional<std::string> followLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0;; ++hops) {
    struct stat st {};
    if (lstat(current.c_str(), &st) != 0) {
      // a new file, or a link to one; a folder that is not there is named further on
      if (errno == ENOENT || errno == ENOTDIR) return current;
      return std::nullopt;
    }
    if (!S_ISLNK(st.st_mode)) return current;
    if (hops == 40) {
      errno = ELOOP;
      return std::nullopt;
    }
    char target[PATH_MAX];
    const ssize_t n = readlink(current.c_str(), target, sizeof target);
    if (n < 0) return std::nullopt;
    if (static_cast<std::size_t>(n) == sizeof target) {
      errno = ENAMETOOLONG;
      return std::nullopt;
    }
    const std::string next(target, static_cast<std::size_t>(n));
    current = next.front() == '/' ? next : folderPart(current) + next;
  }
}

// Writes all of bytes to fd; 0 or the errno of the failure.
int writeAll(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return 0;
}

const char* kindOf(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

// Writes the whole content to fd; 0 or the errno of the failure (ECANCELED when the pieces'
// source gave up).
using WriteBody = std::function<int(int fd)>;

// A device or FIFO is written in place: replacing it would put a regular file where it was.
std::optional<std::string> writeInPlace(const std::string& shown, const std::string& target, mode_t mode,
                                        const WriteBody& body) {
  // not blocking: a FIFO that nobody reads would otherwise hold the program forever
  const int fd = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENXIO) return failure(shown, std::string("it is ") + kindOf(mode) + " that no program reads");
    return failure(shown, std::string("it is ") + kindOf(mode) + " that cannot be opened for writing (" +
                              std::strerror(errno) + ")");
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  const int error = body(fd);
  if (close(fd) != 0 && error == 0) return failure(shown, std::strerror(errno));
  if (error != 0) return failure(shown, std::strerror(error));
  return std::nullopt;
}

std::optional<std::string> writeWhole(const std::string& path, const WriteBody& body);

}  // namespace

std::optional<std::string> writeFileAtomically(const std::string& path, std::string_view bytes) {
  return writeWhole(path, [bytes](int fd) { return writeAll(fd, bytes); });
}

std::optional<std::string> writeFileAtomically(const std::string& path, const WritePieces& pieces) {
  return writeWhole(path, [&pieces](int fd) {
    std::string piece;
    for (bool last = false; !last;) {
      piece.clear();
      if (!pieces(piece, last)) return ECANCELED;
      if (const int error = writeAll(fd, piece)) return error;
    }
    return 0;
  });
}

namespace {

std::optional<std::string> writeWhole(const std::string& path, const WriteBody& body) {
  if (path.empty()) return failure(path, "no file name");
  if (path.back() == '/') return failure(path, "it is a folder");

  const std::optional<std::string> resolved = followLinks(path);
  if (!resolved) return failure(path, std::strerror(errno));
  const std::string& target = *resolved;
  // the file named when a link led elsewhere
  const std::string which = target == path ? "the file" : "the file " + quoted(target);

  struct stat existing {};
  const bool replacing = stat(target.c_str(), &existing) == 0;
  if (!replacing && errno != ENOENT && errno != ENOTDIR) return failure(path, std::strerror(errno));
  if (replacing && S_ISDIR(existing.st_mode)) return failure(path, "it is a folder");
  if (replacing && !S_ISREG(existing.st_mode)) return writeInPlace(path, target, existing.st_mode, body);
  if (replacing && lacksWritePermission(target, existing)) return failure(path, which + " is read-only");

  // the new file is made in the folder, so the folder must be there and writable
  const std::string folder = folderOf(target);
  struct stat folderStat {};
  if (stat(folder.c_str(), &folderStat) != 0) {
    if (errno == ENOENT) return failure(path, "the folder " + quoted(folder) + " does not exist");
    if (errno == ENOTDIR) return failure(path, quoted(folder) + " is not a folder");
    return failure(path, "the folder " + quoted(folder) + " cannot be used: " + std::strerror(errno));
  }
  if (!S_ISDIR(folderStat.st_mode)) return failure(path, quoted(folder) + " is not a folder");
  if (lacksWritePermission(folder, folderStat))
    return failure(path, "the folder " + quoted(folder) + " is not writable");

  std::string temporary;
  int fd = -1;
  for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = temporaryName(target, attempt);
    // 0666 so that the umask gives the report the permissions of any new file
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      if (errno == EACCES || errno == EROFS)
        return failure(path, "the folder " + quoted(folder) + " is not writable (" + std::strerror(errno) + ")");
      return failure(path, "cannot create a file in the folder " + quoted(folder) + ": " + std::strerror(errno));
    }
  }
  if (fd < 0) return failure(path, "cannot create a file in the folder " + quoted(folder));

  auto abandon = [&](int error) {
    close(fd);
    unlink(temporary.c_str());
    return failure(path, std::strerror(error));
  };

  if (replacing) {
    // a replaced file keeps its owner (when the user may give it) and its permissions
    if (existing.st_uid != geteuid() || existing.st_gid != getegid())
      (void)!fchown(fd, existing.st_uid, existing.st_gid);
    if (fchmod(fd, existing.st_mode & 07777) != 0) return abandon(errno);
  }
  if (const int error = body(fd)) return abandon(error);
  if (fsync(fd) != 0) return abandon(errno);
  if (close(fd) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    return failure(path, std::strerror(error));
  }
  if (rename(temporary.c_str(), target.c_str()) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    return failure(path, std::strerror(error));
  }
  // make the rename itself durable; the file is in place either way
  const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    fsync(folderFd);
    close(folderFd);
  }
  return std::nullopt;
}

}  // namespace

}  // namespace varno
