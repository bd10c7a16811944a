// Decimal numbers that may not fit their type: whether a token is one, and which way it is out of
// range.
#pragma once

#include <string>
#include <string_view>

namespace varno {

// std::from_chars reports overflow and underflow alike as out of range. For such a number
// ([sign] digits [. digits] [e [sign] digits], as from_chars read it) this tells them apart: true
// when it is too large, false when it is too small (or has no significant digit). Every type's
// range ends more than a decade away from 1 on both sides, so the decimal exponent of the first
// significant digit decides.
bool isTooLarge(std::string_view number);

// True when `token` is a decimal number written correctly ([sign] digits [. digits] [e [sign]
// digits]), whether or not it fits a type: a token that was refused as a number is then out of
// range rather than no number.
bool isDecimalNumber(std::string_view token);

// Why a token refused as a float is none: out of range for a number beyond the float range,
// otherwise not a number; the token as shownText shows it.
std::string notAFloatReason(std::string_view token);

}  // namespace varno
