// Number texts built from std::to_chars digits, so that no locale can change the decimal point.
#include "stats/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace varno {

namespace {

// Room for any double in fixed or scientific notation with the precisions used here.
constexpr std::size_t kBufferSize = 400;

std::string toChars(double value, std::chars_format format, int precision) {
  char buffer[kBufferSize];
  const auto result = std::to_chars(buffer, buffer + kBufferSize, value, format, precision);
  if (result.ec != std::errc{}) return {};
  return std::string(buffer, result.ptr);
}

// The significant digits of a finite nonzero value rounded to `precision` digits, and the
// decimal exponent of its first digit (value = d1.d2d3... x 10^exponent).
struct Digits {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

Digits scientificDigits(double value, int precision) {
  const std::string text = toChars(value, std::chars_format::scientific, precision - 1);
  Digits out;
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-') {
    out.negative = true;
    ++i;
  }
  for (; i < text.size() && text[i] != 'e'; ++i) {
    if (text[i] != '.') out.digits.push_back(text[i]);
  }
  ++i;  // past 'e'
  if (i < text.size() && text[i] == '+') ++i;
  std::from_chars(text.data() + std::min(i, text.size()), text.data() + text.size(), out.exponent);
  return out;
}

}  // namespace

std::string generalFormat(double value, int digits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  const int precision = std::clamp(digits, 1, 60);
  Digits d = scientificDigits(value, precision);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  const int e = d.exponent + 1;  // value = 0.d1d2... x 10^e
  const int count = static_cast<int>(d.digits.size());

  std::string out = d.negative ? "-" : "";
  if (e >= -3 && e <= precision) {
    if (e <= 0) {
      out += "0.";
      out.append(static_cast<std::size_t>(-e), '0');
      out += d.digits;
    } else {
      out += d.digits.substr(0, static_cast<std::size_t>(std::min(e, count)));
      if (e > count) out.append(static_cast<std::size_t>(e - count), '0');
      if (count > e) {
        out += '.';
        out += d.digits.substr(static_cast<std::size_t>(e));
      }
    }
  } else {
    out += d.digits[0];
    if (count > 1) {
      out += '.';
      out += d.digits.substr(1);
    }
    out += 'E';
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, e - 1);
    out.append(buffer, result.ptr);
  }
  return out;
}

std::string formatG3(double value) {
  // to_chars in general format with a precision lays the number out as printf's %.*g does
  return toChars(value, std::chars_format::general, 3);
}

std::string reportNumberText(double value) {
  if (!std::isfinite(value)) return toChars(value, std::chars_format::general, 3);
  // The exponent after rounding to 3 digits decides the notation, as in %g.
  const std::string scientific = toChars(value, std::chars_format::scientific, 2);
  const int exponent = scientificDigits(value, 3).exponent;
  if (exponent < -4 || exponent >= 3) return scientific;
  std::string fixed = toChars(value, std::chars_format::fixed, 2 - exponent);
  if (fixed.find('.') == std::string::npos) fixed += '.';
  return fixed;
}

std::string reportNumberField(double value, bool leftAdjust) {
  constexpr std::size_t kWidth = 6;
  std::string text = reportNumberText(value);
  if (text.size() >= kWidth) return text;
  const std::size_t fill = kWidth - text.size();
  if (leftAdjust) return text.append(fill, ' ');
  return std::string(fill, ' ') + text;
}

}  // namespace varno
