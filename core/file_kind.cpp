// The kind of a data file, told by its extension.
#include "core/file_kind.h"

namespace varno {

std::string lowerCasedExtension(std::string_view path) {
  const auto nameStart = path.find_last_of("/\\:");
  const std::string_view name = nameStart == std::string_view::npos ? path : path.substr(nameStart + 1);
  const auto dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::string ext(name.substr(dot));
  for (char& ch : ext) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return ext;
}

FileKind fileKindOf(std::string_view dataExtension) {
  if (dataExtension == ".fst") return FileKind::fst;
  if (dataExtension == ".frq") return FileKind::frq;
  return FileKind::other;
}

}  // namespace varno
