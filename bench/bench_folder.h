// A temporary folder for a benchmark's files, removed with the object.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace varno::bench {

class BenchFolder {
 public:
  // Named /tmp/varno_bench_TAG_XXXXXX.
  explicit BenchFolder(const std::string& tag) {
    std::string pattern = "/tmp/varno_bench_" + tag + "_XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder for " + pattern);
    dir = pattern;
  }
  ~BenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

  std::string path(const std::string& name) const { return dir + "/" + name; }

  std::string dir;
};

}  // namespace varno::bench
