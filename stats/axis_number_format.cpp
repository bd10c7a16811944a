// Axis labels of the main chart.
#include "stats/axis_number_format.h"

#include <charconv>
#include <cmath>

namespace varno {

std::string groupedAxisNumber(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buffer[400];
  const auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
  std::string text(buffer, res.ptr);
  // drop trailing zeros of the fraction, and the point when nothing follows it
  if (const auto point = text.find('.'); point != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.erase(0, 1);
  if (text == "0") negative = false;  // a value that rounds to zero shows no sign
  const auto point = text.find('.');
  std::string whole = text.substr(0, point);
  const std::string fraction = point == std::string::npos ? "" : text.substr(point);
  std::string grouped;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ' ';
    grouped += whole[i];
  }
  return (negative ? "-" : "") + grouped + fraction;
}

}  // namespace varno
