// The kind of a data file, told by the lower-cased extension of its name.
#pragma once

#include <string>
#include <string_view>

namespace varno {

enum class FileKind { fst, frq, other };

// The characters from the last "." of the file-name part (after the last "/", "\" or ":") to the
// end, lower-cased; empty when that part has no ".".
std::string lowerCasedExtension(std::string_view path);

FileKind fileKindOf(std::string_view dataExtension);

}  // namespace varno
