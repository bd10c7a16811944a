// Axis labels of the charts.
#include "stats/axis_number_format.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <set>

namespace varno {

namespace {

constexpr int kDesignedDecimals = 4;
constexpr int kMostFixedDecimals = 8;

bool allDistinct(const std::vector<std::string>& labels) {
  return std::set<std::string>(labels.begin(), labels.end()).size() == labels.size();
}

// "1.2300e-05" -> "1.23e-05": trailing zeros of the mantissa carry nothing.
std::string exponentForm(double value, int significantDigits) {
  if (value == 0) return "0";
  char buffer[64];
  const auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                 significantDigits - 1);
  std::string text(buffer, res.ptr);
  const auto e = text.find('e');
  std::string mantissa = text.substr(0, e);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  return mantissa + text.substr(e);
}

}  // namespace

std::string groupedAxisNumber(double value) { return groupedAxisNumber(value, kDesignedDecimals); }

std::string groupedAxisNumber(double value, int decimals) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buffer[400];
  const auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
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

std::vector<std::string> distinctAxisLabels(const std::vector<double>& ticks) {
  std::vector<double> sorted;
  for (double t : ticks) {
    if (std::isfinite(t)) sorted.push_back(t);
  }
  std::sort(sorted.begin(), sorted.end());
  double gap = 0, largest = 0;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    largest = std::max(largest, std::abs(sorted[i]));
    const double d = i > 0 ? sorted[i] - sorted[i - 1] : 0;
    if (d > 0 && (gap == 0 || d < gap)) gap = d;
  }
  std::vector<std::string> labels(ticks.size());
  auto fill = [&](auto format) {
    for (std::size_t i = 0; i < ticks.size(); ++i) labels[i] = format(ticks[i]);
    return allDistinct(labels);
  };
  // a label must resolve the step between ticks, not merely differ from its neighbours by luck
  constexpr double kSlack = 1e-9;
  const int neededDecimals = gap > 0 ? static_cast<int>(std::ceil(-std::log10(gap) - kSlack)) : 0;
  for (int decimals = std::max(kDesignedDecimals, neededDecimals); decimals <= kMostFixedDecimals; ++decimals) {
    if (fill([decimals](double t) { return groupedAxisNumber(t, decimals); })) return labels;
  }
  if (gap > 0) {
    const int needed = static_cast<int>(std::floor(std::log10(largest)) - std::floor(std::log10(gap) + kSlack)) + 1;
    for (int digits = std::clamp(needed, 1, 17); digits <= 17; ++digits) {
      if (fill([digits](double t) { return exponentForm(t, digits); })) return labels;
    }
  }
  // equal ticks: equal labels are then the truth, in the designed style
  fill([](double t) { return groupedAxisNumber(t); });
  return labels;
}

}  // namespace varno
