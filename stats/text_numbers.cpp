// Text-to-number readings of the Details page edits, independent of the C locale.
#include "stats/text_numbers.h"

#include <climits>

#include "core/number_token.h"
#include "core/text_pieces.h"

namespace varno {
namespace {

std::size_t skipBlanks(std::string_view text, std::size_t i) {
  while (i < text.size() && isBlank(text[i])) ++i;
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
  const char* lim = text.data() + text.size();
  double value = 0;
  bool tooLarge = false;
  return readDecimal(text.data() + skipBlanks(text, 0), lim, value, tooLarge) ? value : 0.0;
}

std::optional<long long> parseWholeNumber(std::string_view text) {
  std::string_view token = text.substr(skipBlanks(text, 0));
  // the token reader takes a "-" but no "+": a "+" before a digit is the number's own sign
  if (token.size() > 1 && token[0] == '+' && isDigit(token[1])) token.remove_prefix(1);
  const std::optional<long long> value = wholeNumberToken(token);
  if (!value || *value < INT_MIN || *value > INT_MAX) return std::nullopt;
  return value;
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
