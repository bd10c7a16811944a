// Opening input files and comparing them by identity.
#include "core/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "core/text_pieces.h"

namespace varno {

namespace {

const char* typeName(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a plain file";
}

}  // namespace

OpenedInput openInputFile(const std::string& path, std::string_view what) {
  OpenedInput opened;
  const auto refuse = [&](std::string why) {
    opened.refusal = std::move(why);
    return opened;
  };
  const auto cannotOpen = [&](int err) {
    return refuse("cannot open " + quoted(path) + ": " + std::generic_category().message(err));
  };
  // O_NONBLOCK: opening a FIFO without a writer returns at once instead of waiting for one
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return cannotOpen(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    return cannotOpen(err);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    if (S_ISDIR(st.st_mode)) return refuse(quoted(path) + " is a folder, not a " + std::string(what));
    return refuse(quoted(path) + " is not a regular file (it is " + typeName(st.st_mode) +
                  "): only regular files are read");
  }
  opened.fd = fd;
  opened.size = st.st_size;
  opened.device = st.st_dev;
  opened.inode = st.st_ino;
  return opened;
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (a.empty() || b.empty() || ::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::optional<std::string> repeatedChainFile(const std::vector<std::string>& files) {
  for (std::size_t later = 1; later < files.size(); ++later) {
    for (std::size_t earlier = 0; earlier < later; ++earlier) {
      if (!sameFile(files[earlier], files[later])) continue;
      std::string message = quoted(files[later]) + " is already chain " + decimal(static_cast<long long>(earlier) + 1) +
                            " of the analysis";
      if (files[earlier] != files[later]) message += " (\"" + files[earlier] + "\" under another name)";
      return message + ": one file read as two chains would count its draws twice";
    }
  }
  return std::nullopt;
}

}  // namespace varno
