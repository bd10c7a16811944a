// Pieces of JSON text written by hand: strings escaped, numbers through std::to_chars.
#pragma once

#include <string>
#include <string_view>

namespace varno {

// The text in double quotes, with '"', '\' and the control characters escaped; other bytes are
// kept as they are (the paths and names written are UTF-8).
std::string jsonString(std::string_view text);

std::string jsonNumber(long long value);

}  // namespace varno
