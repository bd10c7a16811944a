// Decimal numbers that do not fit their type: which way they are out of range.
#pragma once

#include <string_view>

namespace varno {

// std::from_chars reports overflow and underflow alike as out of range. For such a number
// ([sign] digits [. digits] [e [sign] digits], as from_chars read it) this tells them apart: true
// when it is too large, false when it is too small (or has no significant digit). Every type's
// range ends more than a decade away from 1 on both sides, so the decimal exponent of the first
// significant digit decides.
bool isTooLarge(std::string_view number);

}  // namespace varno
