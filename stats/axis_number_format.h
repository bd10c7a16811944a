// Axis labels of the charts: thousands grouped by a blank, at most four decimals, unless more are
// needed to tell the ticks apart.
#pragma once

#include <string>
#include <vector>

namespace varno {

// 1234567.891 -> "1 234 567.891", 0.123456 -> "0.1235", -2500 -> "-2 500", 0.00001 -> "0".
std::string groupedAxisNumber(double value);

// The same style with up to `decimals` decimals.
std::string groupedAxisNumber(double value, int decimals);

// The labels of one axis' ticks, no two alike: the grouped style with four decimals while that
// separates them, then with as many more decimals as it takes (up to eight), then the exponent
// form with as many significant digits as it takes.
std::vector<std::string> distinctAxisLabels(const std::vector<double>& ticks);

}  // namespace varno
