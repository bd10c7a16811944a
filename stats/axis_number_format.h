// Axis labels of the main chart: thousands grouped by a blank, at most four decimals.
#pragma once

#include <string>

namespace varno {

// 1234567.891 -> "1 234 567.891", 0.123456 -> "0.1235", -2500 -> "-2 500", 0.00001 -> "0".
std::string groupedAxisNumber(double value);

}  // namespace varno
