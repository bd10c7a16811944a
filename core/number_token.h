// Number tokens as every reader of this program takes them: an optional sign and a decimal
// number (digits, a point, an exponent), read by std::from_chars; no nan, inf, hex or words.
#pragma once

#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "core/out_of_range_number.h"

namespace varno {

// Where from_chars starts on the number written at p (up to lim): after a "+", which it does not
// take; null when no digit or point follows the sign (a lone sign, nan, inf, words).
inline const char* numberStart(const char* p, const char* lim) {
  const char* digits = p + (p != lim && (*p == '+' || *p == '-'));
  if (digits == lim || !((*digits >= '0' && *digits <= '9') || *digits == '.')) return nullptr;
  return p + (*p == '+');
}

// Reads the longest number written at p (up to lim) as a T. Returns the position after it, or
// null when there is no number at p; one too large for a T reads as an infinity of its sign and
// sets `tooLarge`, one too small as a zero of its sign.
template <class T>
inline const char* readDecimal(const char* p, const char* lim, T& value, bool& tooLarge) {
  tooLarge = false;
  const char* from = numberStart(p, lim);
  if (!from) return nullptr;
  auto [end, ec] = std::from_chars(from, lim, value);
  if (ec == std::errc::result_out_of_range) [[unlikely]] {
    tooLarge = isTooLarge(std::string_view(from, static_cast<std::size_t>(end - from)));
    value = tooLarge ? std::numeric_limits<T>::infinity() : T(0);
    if (*p == '-') value = -value;
  } else if (ec != std::errc{}) {
    return nullptr;
  }
  return end;
}

// Reads the longest float written at p (up to lim). Returns the position after it, or null when
// there is no number at p or it is too large for a float; one too small reads as a zero of its
// sign.
inline const char* readFloat(const char* p, const char* lim, float& value) {
  bool tooLarge = false;
  const char* end = readDecimal(p, lim, value, tooLarge);
  return tooLarge ? nullptr : end;
}

// The float that `token` is, wholly; nothing for anything else.
bool floatToken(std::string_view token, float& value);

// The whole number that `token` is, wholly: an optional "-" and decimal digits, within the range
// of a long long; nothing for anything else.
std::optional<long long> wholeNumberToken(std::string_view token);

// True when `token` is a decimal number written correctly ([sign] digits [. digits] [e [sign]
// digits]), whether or not it fits a type: a token that was refused as a number is then out of
// range rather than no number.
bool isDecimalNumber(std::string_view token);

// Why a token refused as a float is none: "is out of range" and `range` for a number beyond the
// float range, otherwise "is not a number"; the token as shownText shows it.
inline constexpr std::string_view kFloatRange = " (a number must lie between -3.4e38 and 3.4e38)";
std::string notAFloatReason(std::string_view token, std::string_view range = kFloatRange);

}  // namespace varno
