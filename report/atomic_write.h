// Writing a file whole or not at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varno {

// Writes `bytes` to a new file in the folder of `path`, flushes it to disk and only then puts it
// in place of `path`. On failure returns a message naming the path and the reason; the previous
// file at `path`, if any, is left as it was and no temporary file remains.
std::optional<std::string> writeFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace varno
