// The size and SHA-256 checksum of a file, for saying exactly which bytes a result was made from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace varno {

struct FileDigest {
  std::uint64_t size = 0;
  std::string sha256;  // 64 lower-case hexadecimal digits
};

// Reads the file whole in pieces; nothing, with `why` naming the file and the reason, when it
// cannot be read.
std::optional<FileDigest> digestFile(const std::string& path, std::string* why = nullptr);

}  // namespace varno
