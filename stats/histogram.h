// Histogram class counts of a column sample and the bars that show them.
#pragma once

#include <span>
#include <utility>
#include <vector>

namespace varno {

struct Histogram {
  double min = 0;         // lower edge of class 0
  double classWidth = 0;  // 0 for the single class of a sample without spread
  std::vector<int> counts;
};

// b = classCount limited to 2..200 classes of width w = (max - min) / (b - 1) starting at min, so
// that the last class begins at max; value v counts in class trunc((v - min) / w).
// - A value equal to max always counts in the last class, even when the rounding of w would put it
//   one class lower; values below min count in class 0, above max in class b - 1; NaN is skipped.
// - Without spread (max == min), or when w is not a finite positive double (max < min, infinite
//   bounds, a range too narrow to divide), there is one class at min holding every value but NaN.
Histogram histogramOf(std::span<const double> values, double min, double max, int classCount);

// One bar per class: x = min + k w (the lower edge of class k), height = count k.
std::vector<std::pair<double, double>> histogramBars(const Histogram& histogram);

}  // namespace varno
