// File checksums through OpenSSL's digest interface.
#include "report/file_digest.h"

#include <openssl/evp.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace varno {

std::optional<FileDigest> digestFile(const std::string& path, std::string* why) {
  const auto fail = [&](const std::string& reason) -> std::optional<FileDigest> {
    if (why) *why = "\"" + path + "\" cannot be read: " + reason;
    return std::nullopt;
  };
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return fail(std::strerror(errno));
  std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return fail("no SHA-256 digest");

  FileDigest digest;
  std::vector<unsigned char> piece(1 << 16);
  for (;;) {
    const std::size_t got = std::fread(piece.data(), 1, piece.size(), file.get());
    if (got > 0) {
      digest.size += got;
      EVP_DigestUpdate(context.get(), piece.data(), got);
    }
    if (got < piece.size()) {
      if (std::ferror(file.get())) return fail(std::strerror(errno));
      break;
    }
  }
  unsigned char sum[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), sum, &length) != 1) return fail("the SHA-256 digest failed");
  static const char hex[] = "0123456789abcdef";
  for (unsigned int i = 0; i < length; ++i) {
    digest.sha256 += hex[sum[i] >> 4];
    digest.sha256 += hex[sum[i] & 15];
  }
  return digest;
}

}  // namespace varno
