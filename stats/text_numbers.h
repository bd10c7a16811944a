// Text-to-number readings of the Details page edits, independent of the C locale.
#pragma once

#include <optional>
#include <string_view>

namespace varno {

// The longest leading decimal number of the text (leading blanks, sign, digits with an optional
// "." and fraction, an exponent only when it has digits), read the way strtod reads it in the
// "C" locale; 0 when the text has no such leading part. Only decimal numbers are read: "inf",
// "nan" and hexadecimal texts read as 0 (or as their leading "0"). A value too large for a double
// reads as +-infinity, one below the smallest subnormal as 0, so the result is never NaN.
double decimalReading(std::string_view text);

// The whole-number conversion: leading blanks, an optional sign, at least one decimal digit and
// nothing else. A value outside the range of int is not a whole number either.
std::optional<long long> parseWholeNumber(std::string_view text);

// The leading digits (after leading blanks and an optional sign) as an int, 0 when there are
// none: "95.5" gives 95, "0.5" gives 0. Values beyond int saturate at INT_MAX / INT_MIN.
int leadingWholePart(std::string_view text);

}  // namespace varno
