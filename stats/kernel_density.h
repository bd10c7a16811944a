// Gaussian kernel density on the 200-point grid from min to one step short of max.
#pragma once

#include <array>
#include <span>

namespace varno {

inline constexpr int kDensityGridSize = 200;
using DensityGrid = std::array<double, kDensityGridSize>;

// x[j] = min + j * (max - min) * 0.005, evaluated in that order.
DensityGrid densityGrid(double min, double max);

// One kernel term exp(-0.5 z^2) / sqrt(2 pi) with z = (x - v) / h, as the sums add it.
double kernelTerm(double x, double v, double h);

struct KernelDensity {
  DensityGrid grid{};
  DensityGrid sums{};  // kernel sums at the grid points, not yet divided by n h
  int modeIndex = 0;   // strict argmax of the sums, the lowest grid point on ties
  // Grid points whose sums came too close to the largest to tell them apart, and were summed
  // again term by term in the reference order (0 when the fast sums settled the mode).
  int summedAgain = 0;
};

// How closely kernelDensity computes the sums: `shown`, within about 1e-12 relative each, as the
// density curve shows them; `forTheMode`, only within about 1e-12 of the largest, in vector
// lanes, which is all that settling the mode needs (the mode is the same).
enum class KernelSums { shown, forTheMode };

// The plain computation: for each value in the given order, add its term at every grid point.
KernelDensity kernelDensityNaive(std::span<const double> values, double min, double max, double h);

// The same mode, bit for bit, as kernelDensityNaive(summationOrder, ...), with every sum
// within about 1e-12 relative of the exact one, in far fewer than 200 x n kernel terms.
// `sorted` holds the values ascending (NaNs last); `summationOrder` holds the same values in the
// order the reference sums run through (pass `sorted` itself for sorted order). min and max are
// those the grid is built from. Non-finite inputs take the plain computation.
KernelDensity kernelDensity(std::span<const double> sorted, std::span<const double> summationOrder,
                            double min, double max, double h, KernelSums wanted = KernelSums::shown);

}  // namespace varno
