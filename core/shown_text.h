// Text from a file as a message shows it: quoted, cut short, and readable whatever its bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varno {

// The text in double quotes, cut after maxBytes bytes (never inside a UTF-8 character, then
// followed by "..."). Valid UTF-8 is kept; control bytes and bytes that are not UTF-8 (a binary
// file, another encoding) are written as \xHH, so that a message shows what is there instead of
// replacement characters.
std::string shownText(std::string_view text, std::size_t maxBytes = 40);

}  // namespace varno
