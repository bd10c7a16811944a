// Text-to-number readings of the Details page edits, independent of the C locale.
#include "stats/text_numbers.h"

#include <charconv>
#include <climits>
#include <limits>
#include <system_error>

#include "core/out_of_range_number.h"
#include "core/text_pieces.h"

namespace varno {
namespace {

std::size_t skipBlanks(std::string_view text, std::size_t i) {
  while (i < text.size() && isBlank(text[i])) ++i;
  return i;
}

std::size_t skipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && isDigit(text[i])) ++i;
  return i;
}

// Where the digits start, past the blanks and an optional sign; `negative` tells the sign.
std::size_t signedStart(std::string_view text, bool& negative) {
  std::size_t i = skipBlanks(text, 0);
  negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  return i;
}

}  // namespace

double decimalReading(std::string_view text) {
  bool negative = false;
  std::size_t i = signedStart(text, negative);
  const std::size_t start = i;
  const std::size_t intEnd = skipDigits(text, i);
  std::size_t fracBegin = intEnd;
  std::size_t fracEnd = intEnd;
  if (intEnd < text.size() && text[intEnd] == '.') {
    fracBegin = intEnd + 1;
    fracEnd = skipDigits(text, fracBegin);
  }
  if (intEnd == start && fracEnd == fracBegin) return 0;  // no digit at all: "", "-", "."
  std::size_t end = fracEnd;

  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t j = end + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const std::size_t digitsEnd = skipDigits(text, j);
    if (digitsEnd > j) end = digitsEnd;  // "1e" and "1e+" stop before the "e"
  }

  double value = 0;
  const char* first = text.data() + start;
  const char* last = text.data() + end;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    value = isTooLarge(std::string_view(first, static_cast<std::size_t>(last - first)))
                ? std::numeric_limits<double>::infinity()
                : 0.0;
  } else if (result.ec != std::errc()) {
    value = 0;
  }
  return negative ? -value : value;
}

std::optional<long long> parseWholeNumber(std::string_view text) {
  bool negative = false;
  std::size_t i = signedStart(text, negative);
  const std::size_t digitsEnd = skipDigits(text, i);
  if (digitsEnd == i || digitsEnd != text.size()) return std::nullopt;
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  long long value = 0;
  for (std::size_t k = i; k < digitsEnd; ++k) {
    value = value * 10 + (text[k] - '0');
    if (value > limit) return std::nullopt;
  }
  return negative ? -value : value;
}

int leadingWholePart(std::string_view text) {
  bool negative = false;
  std::size_t i = signedStart(text, negative);
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  long long value = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value >= limit) {
      value = limit;  // saturated: the remaining digits change nothing
      break;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace varno
