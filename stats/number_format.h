// Number texts of the window and the report, written with std::to_chars whatever the C locale.
#pragma once

#include <string>

namespace varno {

// General format with `digits` significant digits: fixed notation for decimal exponents
// -3 .. digits, otherwise "d.dddE-5" style; trailing zeros dropped; "INF", "-INF", "NAN".
std::string generalFormat(double value, int digits);

// The text C's "%.3g" writes in the C locale ("0.523", "1", "1.23e+03", "inf", "nan").
std::string formatG3(double value);

// The text C's "%#.3g" writes in the C locale: trailing zeros kept, decimal point always
// present ("1.00", "123.", "1.23e+03", "0.0500"). Non-finite values: "inf", "-inf", "nan".
std::string reportNumberText(double value);

// reportNumberText filled with spaces to 6 characters (on the right when leftAdjust, otherwise
// on the left); a longer text is kept whole.
std::string reportNumberField(double value, bool leftAdjust);

}  // namespace varno
