#include "core/chain_match.h"

#include "core/file_kind.h"
#include "core/text_pieces.h"

namespace varno {

namespace {

std::string kindName(const std::string& path) {
  const std::string extension = lowerCasedExtension(path);
  return extension.empty() ? "a file without an extension" : "a " + extension + " file";
}

}  // namespace

std::optional<std::string> chainKindMismatch(const std::string& firstPath, const std::string& chainPath) {
  if (lowerCasedExtension(firstPath) == lowerCasedExtension(chainPath)) return std::nullopt;
  return quoted(chainPath) + " is " + kindName(chainPath) + " and the first chain " + quoted(firstPath) + " is " +
         kindName(firstPath) + ": the chains of one analysis must be of the same kind";
}

std::optional<std::string> chainMismatch(const std::string& firstPath, int firstColumns, const std::string& chainPath,
                                         int chainColumns) {
  if (auto why = chainKindMismatch(firstPath, chainPath)) return why;
  if (firstColumns == chainColumns) return std::nullopt;
  return quoted(chainPath) + " has " + counted(chainColumns, "column", "columns") + " and the first chain " +
         quoted(firstPath) + " has " + counted(firstColumns, "column", "columns") +
         ": the chains of one analysis must have the same columns";
}

}  // namespace varno
