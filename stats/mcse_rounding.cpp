// Rounding on the decimal digits of the shortest texts: a binary double is seldom a decimal tie,
// but the value the user reads is.
#include "stats/mcse_rounding.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace varno {

namespace {

// Significant digits a double's shortest text can have.
constexpr int kDoubleDigits = 17;

struct DecimalDigits {
  bool negative = false;
  std::string digits;  // significant digits, the first worth 10^exponent
  int exponent = 0;
};

// The shortest scientific text of a finite value ("-4.1834e+00") split into its parts.
DecimalDigits decimalDigits(double value) {
  char text[64];
  const std::string_view s(text, std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr);
  DecimalDigits d;
  std::size_t i = 0;
  if (s[i] == '-') {
    d.negative = true;
    ++i;
  }
  const std::size_t e = s.find('e');
  for (; i < e; ++i)
    if (s[i] != '.') d.digits += s[i];
  std::string_view exponent = s.substr(e + 1);
  if (exponent.front() == '+') exponent.remove_prefix(1);
  std::from_chars(exponent.data(), exponent.data() + exponent.size(), d.exponent);
  return d;
}

std::string shortestText(double value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// Whole number `units` times 10^place in fixed notation.
std::string fixedText(bool negative, std::string units, int place) {
  const std::size_t lead = units.find_first_not_of('0');
  units = lead == std::string::npos ? "0" : units.substr(lead);
  const bool zero = units == "0";
  if (place >= 0) {
    if (!zero) units.append(static_cast<std::size_t>(place), '0');
  } else {
    const std::size_t decimals = static_cast<std::size_t>(-place);
    if (units.size() <= decimals) units = std::string(decimals + 1 - units.size(), '0') + units;
    const std::size_t point = units.size() - decimals;
    units = units.substr(0, point) + "." + units.substr(point);
  }
  return (negative && !zero ? "-" : "") + units;
}

}  // namespace

std::string mcseRounded(double value, std::optional<double> mcse) {
  if (!mcse || !std::isfinite(*mcse) || *mcse < 0 || !std::isfinite(value)) return "NA";
  if (*mcse == 0) return shortestText(value);
  const int place = decimalDigits(*mcse).exponent;
  DecimalDigits v = decimalDigits(value);
  int kept = v.exponent - place + 1;  // digits at or above the place
  if (kept > kDoubleDigits) return shortestText(value);
  // a value below the place: leading zeros up to one digit at it, so that one digit is kept
  if (kept < 1) {
    v.digits.insert(0, static_cast<std::size_t>(1 - kept), '0');
    kept = 1;
  }
  const std::size_t k = static_cast<std::size_t>(kept);
  if (v.digits.size() <= k) {
    v.digits.append(k - v.digits.size(), '0');
    return fixedText(v.negative, v.digits, place);
  }
  std::string units = v.digits.substr(0, k);
  const char first = v.digits[k];
  const bool beyondHalf = v.digits.find_first_not_of('0', k + 1) != std::string::npos;
  const bool odd = (units.back() - '0') % 2 == 1;
  if (first > '5' || (first == '5' && (beyondHalf || odd))) {
    std::size_t i = units.size();
    while (i > 0 && units[i - 1] == '9') units[--i] = '0';
    if (i == 0)
      units = "1" + units;
    else
      ++units[i - 1];
  }
  return fixedText(v.negative, units, place);
}

}  // namespace varno
