// Whole tokens read as numbers, and why a token is none.
#include "core/number_token.h"

#include "core/shown_text.h"

namespace varno {

bool floatToken(std::string_view token, float& value) {
  const char* end = token.data() + token.size();
  return readFloat(token.data(), end, value) == end && !token.empty();
}

std::optional<long long> wholeNumberToken(std::string_view token) {
  long long value = 0;
  const char* last = token.data() + token.size();
  const auto [end, ec] = std::from_chars(token.data(), last, value);
  if (token.empty() || ec != std::errc{} || end != last) return std::nullopt;
  return value;
}

bool isDecimalNumber(std::string_view token) {
  const char* end = token.data() + token.size();
  const char* from = numberStart(token.data(), end);
  if (!from) return false;
  double wide = 0;
  const auto [stop, ec] = std::from_chars(from, end, wide);
  return stop == end && (ec == std::errc() || ec == std::errc::result_out_of_range);
}

std::string notAFloatReason(std::string_view token, std::string_view range) {
  const std::string shown = shownText(token);
  if (isDecimalNumber(token)) return shown + " is out of range" + std::string(range);
  return shown + " is not a number";
}

}  // namespace varno
