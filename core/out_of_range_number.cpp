// Decimal numbers beyond a type's range: written correctly, and overflow or underflow from the
// position of their first significant digit.
#include "core/out_of_range_number.h"

#include <algorithm>

namespace varno {

bool isTooLarge(std::string_view number) {
  if (!number.empty() && (number.front() == '+' || number.front() == '-')) number.remove_prefix(1);
  const std::size_t mantissaEnd = std::min(number.find_first_of("eE"), number.size());
  const std::string_view mantissa = number.substr(0, mantissaEnd);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return false;
  // value = d.ddd x 10^exponent, d the first significant digit
  long long exponent = first < point ? static_cast<long long>(point - first) - 1
                                     : -static_cast<long long>(first - point);
  if (mantissaEnd < number.size()) {
    std::string_view written = number.substr(mantissaEnd + 1);
    const bool negative = !written.empty() && written.front() == '-';
    if (!written.empty() && (written.front() == '+' || written.front() == '-')) written.remove_prefix(1);
    long long e = 0;
    // saturated far beyond any type's range, and far from overflowing a long long
    for (char c : written) {
      if (c < '0' || c > '9') break;
      if (e < 100'000'000'000'000'000LL) e = e * 10 + (c - '0');
    }
    exponent += negative ? -e : e;
  }
  return exponent >= 0;
}

}  // namespace varno
