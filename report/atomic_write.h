// Writing a file whole or not at all.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace varno {

// Writes `bytes` to `path`. A symbolic link is followed to the file it names. A regular file (or
// none) is written to a new file in the folder of that file, flushed to disk and only then put in
// its place, keeping the permissions of the file it replaces. A target that exists but is not a
// regular file (a device, a FIFO) is written directly, never replaced; it is refused when it
// cannot be opened for writing at once (a FIFO nobody reads). An existing file or a folder
// without any write permission is refused as read-only, even for a user whom the system would
// let write it. On failure returns a message naming the path and the reason; the previous file
// at `path`, if any, is left as it was and no temporary file remains.
std::optional<std::string> writeFileAtomically(const std::string& path, std::string_view bytes);

// The bytes of a file made piece by piece, for contents too large to hold whole: each call puts
// the next piece into `piece` (given empty) and sets `last` with the last one; returning false
// gives up, and the file is then left as it was.
using WritePieces = std::function<bool(std::string& piece, bool& last)>;

// The same, the pieces written as they come; a source that gives up is a failure.
std::optional<std::string> writeFileAtomically(const std::string& path, const WritePieces& pieces);

}  // namespace varno
