// Scratch files for the fuzz targets: one private folder per process, removed at exit.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace varno::fuzz {

inline const std::string& scratchFolder() {
  // Never destroyed, so that the exit handler that removes the folder can still name it.
  static const std::string* folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "varno-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratchFolder(), ignored);
    });
    return new std::string(pattern);
  }();
  return *folder;
}

// Writes bytes to name inside the scratch folder (replacing it) and returns the path.
inline std::string writeScratch(const char* name, std::string_view bytes) {
  const std::string path = scratchFolder() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  if (std::fclose(f) != 0) std::abort();
  return path;
}

}  // namespace varno::fuzz
