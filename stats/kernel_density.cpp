// Kernel sums on the density grid: plain, and fast with an exact argmax.
//
// Every kernel term is positive, so an approximation with a small relative error per term has
// the same relative error on every sum. The fast sums add the few terms near a grid point
// directly and use per-bin Taylor moments where many values are in reach; the mode is then
// settled by the exact sums of the grid points whose approximate sums are near the largest.
#include "stats/kernel_density.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "core/parallel_for.h"

namespace varno {

namespace {

const double kRootTwoPi = std::sqrt(6.283185307179586);

// exp(-0.5 z^2) is exactly 0 once |z| passes about 38.6; beyond this reach a term adds nothing.
constexpr double kReach = 38.7;
// Grid points with at most this many values in reach are summed term by term.
constexpr std::size_t kDirectLimit = 2000;
// The same for the lane sums, which are cheaper term by term; their error bound below needs at
// most 13,000.
constexpr std::size_t kLaneLimit = 8000;
// Bins are h / 16 wide, so |t| <= 1/32 and |u t| <= 1.22 inside the reach; 20 Taylor terms
// of exp(u t) leave a relative error near 1e-16.
constexpr int kOrder = 20;
constexpr double kBinHalfWidth = 1.0 / 32;
// Work below this many values is not worth a second thread.
constexpr std::size_t kThreadedSize = 100000;

bool useTwoThreads(std::size_t n) { return n >= kThreadedSize && std::thread::hardware_concurrency() >= 2; }

struct Window {
  std::size_t lo = 0;
  std::size_t hi = 0;
};

// The sorted values whose computed z lies in [-kReach, kReach]. z = (x - v) / h does not
// increase with v even after rounding, so every value outside has an exactly zero term.
Window reachOf(std::span<const double> sorted, double x, double h) {
  const auto lo = std::partition_point(sorted.begin(), sorted.end(), [&](double v) { return (x - v) / h > kReach; });
  const auto hi = std::partition_point(lo, sorted.end(), [&](double v) { return (x - v) / h >= -kReach; });
  return {static_cast<std::size_t>(lo - sorted.begin()), static_cast<std::size_t>(hi - sorted.begin())};
}

// Runs of sorted values within h / 32 of their centre c, each with the moments
// sum exp(-t^2 / 2) t^k / k!, t = (v - c) / h.
struct Bins {
  std::vector<std::size_t> start;  // index of the first value of each bin
  std::vector<double> centre;
  std::vector<double> moments;  // kOrder per bin
};

// Two doubles side by side, one SSE2 register.
typedef double Lanes __attribute__((vector_size(2 * sizeof(double))));

// exp(-a) for 0 <= a <= 1/2048 by its series; the next term is below 3e-19.
template <class T>
T gaussianWeight(T t) {
  const T a = 0.5 * t * t;
  return 1 - a * (1 - a * 0.5 * (1 - a * (1.0 / 3) * (1 - a * 0.25)));
}

// Adds exp(-t^2 / 2) t^k, k < kOrder, of the values first .. last-1 to m.
void addMoments(const double* first, const double* last, double c, double invH, double* m) {
  constexpr int kChains = 4;  // independent chains of powers, two values each
  if (last - first >= 2 * kChains) {
    Lanes sums[kOrder] = {};
    for (; last - first >= 2 * kChains; first += 2 * kChains) {
      Lanes t[kChains];
      Lanes p[kChains];
      for (int q = 0; q < kChains; ++q) {
        Lanes v;
        std::memcpy(&v, first + 2 * q, sizeof v);
        t[q] = (v - c) * invH;
        p[q] = gaussianWeight(t[q]);
      }
      for (int k = 0; k < kOrder; ++k) {
        sums[k] += (p[0] + p[1]) + (p[2] + p[3]);
        for (int q = 0; q < kChains; ++q) p[q] *= t[q];
      }
    }
    for (int k = 0; k < kOrder; ++k) m[k] += sums[k][0] + sums[k][1];
  }
  for (; first < last; ++first) {
    const double t = (*first - c) * invH;
    double p = gaussianWeight(t);
    for (int k = 0; k < kOrder; ++k) {
      m[k] += p;
      p *= t;
    }
  }
}

void buildBins(std::span<const double> sorted, std::size_t begin, std::size_t end, double h, Bins& bins) {
  const double invH = 1 / h;
  const double halfWidth = h * kBinHalfWidth;
  double inverseFactorial[kOrder];
  inverseFactorial[0] = 1;
  for (int k = 1; k < kOrder; ++k) inverseFactorial[k] = inverseFactorial[k - 1] / k;

  std::size_t i = begin;
  while (i < end) {
    const double c = sorted[i] + halfWidth;
    const auto inBin = [&](double v) { return (v - c) * invH <= kBinHalfWidth; };
    // The end of the run: gallop, then bisect, so that both tiny and huge bins are cheap.
    std::size_t step = 1;
    while (i + step < end && inBin(sorted[i + step])) step *= 2;
    const auto stop = std::partition_point(sorted.begin() + i + step / 2, sorted.begin() + std::min(i + step, end), inBin);
    const std::size_t next = static_cast<std::size_t>(stop - sorted.begin());

    double m[kOrder] = {};
    addMoments(sorted.data() + i, sorted.data() + next, c, invH, m);
    bins.start.push_back(i);
    bins.centre.push_back(c);
    for (int k = 0; k < kOrder; ++k) bins.moments.push_back(m[k] * inverseFactorial[k]);
    i = next;
  }
}

// Bins over the given ranges of sorted indices (ascending, disjoint). Each range is built in two
// fixed halves, shared between the threads, so that the bins never depend on the threads.
Bins buildBinsOver(std::span<const double> sorted, const std::vector<Window>& ranges, double h, bool threaded) {
  std::vector<Window> pieces;
  for (const Window& r : ranges) {
    const std::size_t middle = r.lo + (r.hi - r.lo) / 2;
    pieces.push_back({r.lo, middle});
    pieces.push_back({middle, r.hi});
  }
  std::vector<Bins> parts(pieces.size());
  parallelFor(2, threaded ? 2 : 1, [&](std::size_t part) {
    for (std::size_t p = part; p < pieces.size(); p += 2) buildBins(sorted, pieces[p].lo, pieces[p].hi, h, parts[p]);
  });
  Bins all;
  for (const Bins& b : parts) {
    all.start.insert(all.start.end(), b.start.begin(), b.start.end());
    all.centre.insert(all.centre.end(), b.centre.begin(), b.centre.end());
    all.moments.insert(all.moments.end(), b.moments.begin(), b.moments.end());
  }
  all.start.push_back(sorted.size());
  return all;
}

// The sum at x of the bins that hold the values lo .. hi-1, from their moments.
double binnedSum(const Bins& bins, Window window, double x, double h) {
  const double invH = 1 / h;
  const std::size_t first =
      static_cast<std::size_t>(std::upper_bound(bins.start.begin(), bins.start.end(), window.lo) - bins.start.begin()) - 1;
  const std::size_t last =
      static_cast<std::size_t>(std::lower_bound(bins.start.begin(), bins.start.end(), window.hi) - bins.start.begin());
  double sum = 0;
  for (std::size_t b = first; b < last; ++b) {
    const double u = (x - bins.centre[b]) * invH;
    const double* m = &bins.moments[b * kOrder];
    double series = m[kOrder - 1];
    for (int k = kOrder - 2; k >= 0; --k) series = series * u + m[k];
    sum += std::exp(-0.5 * u * u) * series;
  }
  return sum / kRootTwoPi;
}

double directSum(std::span<const double> sorted, Window window, double x, double h) {
  double sum = 0;
  for (std::size_t i = window.lo; i < window.hi; ++i) sum += kernelTerm(x, sorted[i], h);
  return sum;
}

// Eight values side by side, in one vector register where the machine has one wide enough.
typedef double ValueLanes __attribute__((vector_size(8 * sizeof(double))));
typedef long long BitLanes __attribute__((vector_size(8 * sizeof(double))));

// exp(a) for -750 <= a <= 0, eight at a time, within 64 units in the last place of the true
// value where that is at least 2^-1022, and within 2^-1022 of it below. a = k ln 2 + r with
// |r| <= 0.35: k ln2Hi is exact and a - k ln2Hi is exact by Sterbenz' lemma; the Taylor series
// of e^r to r^13 / 13! leaves under 0.1 ulp, its rounding (at most 17 roundings a term, on terms
// that add up to at most e^0.7 times the sum) under 40 ulp.
// Inlined into each processor's copy of its caller, and in place, so that no vector crosses a call.
[[gnu::always_inline]] inline void fastExp(ValueLanes& a) {
  const double kShift = 0x1.8p52;  // adding it rounds to a whole number, kept in the low bits
  const double ln2Hi = 0x1.62e42feep-1;  // 32 bits, so k ln2Hi is exact for |k| < 2^21
  const double ln2Lo = 0x1.a39ef35793c76p-33;
  const ValueLanes shifted = a * 0x1.71547652b82fep0 + kShift;
  const ValueLanes k = shifted - kShift;
  const ValueLanes r = (a - k * ln2Hi) - k * ln2Lo;
  // Estrin's scheme: the same sum of c_i r^i as Horner's, in a third of its chain of operations.
  const ValueLanes r2 = r * r;
  const ValueLanes r4 = r2 * r2;
  const ValueLanes r8 = r4 * r4;
  const ValueLanes p01 = r + 1.0;
  const ValueLanes p23 = r * (1.0 / 6) + 0.5;
  const ValueLanes p45 = r * (1.0 / 120) + 1.0 / 24;
  const ValueLanes p67 = r * (1.0 / 5040) + 1.0 / 720;
  const ValueLanes p89 = r * (1.0 / 362880) + 1.0 / 40320;
  const ValueLanes p1011 = r * (1.0 / 39916800) + 1.0 / 3628800;
  const ValueLanes p1213 = r * (1.0 / 6227020800) + 1.0 / 479001600;
  const ValueLanes p03 = p23 * r2 + p01;
  const ValueLanes p47 = p67 * r2 + p45;
  const ValueLanes p811 = p1011 * r2 + p89;
  const ValueLanes p07 = p47 * r4 + p03;
  const ValueLanes p813 = p1213 * r4 + p811;
  const ValueLanes p = p813 * r8 + p07;
  // 2^k from its exponent bits; 0 where 2^k would not be a normal number.
  BitLanes bits;
  std::memcpy(&bits, &shifted, sizeof bits);
  BitLanes kShiftBits;
  const double shift[8] = {kShift, kShift, kShift, kShift, kShift, kShift, kShift, kShift};
  std::memcpy(&kShiftBits, shift, sizeof kShiftBits);
  const BitLanes scaleBits = ((bits - kShiftBits + 1023) << 52) & (k >= -1022.0);
  ValueLanes scale;
  std::memcpy(&scale, &scaleBits, sizeof scale);
  a = p * scale;
}

// The sum at x of the kernel terms of values first .. first+count-1, in vector lanes and with
// the fast exponential: the reference terms but for the exponential and for z = (x - v) / h
// rounded twice, through 1 / h, which moves each term by at most 8 ulp of exp(-z^2/2) z^2 / 2,
// under 3 ulp of the largest term. Every term is positive, so lanes change the rounding of
// the additions by at most count ulp of the sum.
__attribute__((target_clones("avx512f", "avx2", "default")))
double laneSum(const double* first, std::size_t count, double x, double invH) {
  ValueLanes sums = {};
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    ValueLanes v;
    std::memcpy(&v, first + i, sizeof v);
    const ValueLanes z = (x - v) * invH;
    ValueLanes terms = -0.5 * (z * z);
    fastExp(terms);
    sums += terms;
  }
  if (i < count) {
    // the last few values, padded with terms of exactly 0
    double rest[8];
    for (std::size_t q = 0; q < 8; ++q) rest[q] = i + q < count ? first[i + q] : x;
    ValueLanes v;
    std::memcpy(&v, rest, sizeof v);
    const ValueLanes z = (x - v) * invH;
    ValueLanes terms = -0.5 * (z * z);
    fastExp(terms);
    for (std::size_t q = count - i; q < 8; ++q) terms[q] = 0;
    sums += terms;
  }
  return (((sums[0] + sums[1]) + (sums[2] + sums[3])) + ((sums[4] + sums[5]) + (sums[6] + sums[7]))) / kRootTwoPi;
}

bool allFinite(std::span<const double> sorted, double min, double max, double h) {
  if (sorted.empty()) return false;
  if (!std::isfinite(sorted.front()) || !std::isfinite(sorted.back())) return false;
  if (!std::isfinite(min) || !std::isfinite(max) || !std::isfinite(max - min)) return false;
  if (!std::isfinite(h) || !(h > 0) || !std::isfinite(1 / h)) return false;
  // Bin centres and reaches stay finite.
  return std::isfinite(std::max(std::abs(min), std::abs(max)) + 64 * h);
}

}  // namespace

DensityGrid densityGrid(double min, double max) {
  DensityGrid grid;
  for (int j = 0; j < kDensityGridSize; ++j) grid[j] = min + j * (max - min) * 0.005;
  return grid;
}

double kernelTerm(double x, double v, double h) {
  const double z = (x - v) / h;
  return std::exp(-0.5 * (z * z)) / kRootTwoPi;
}

KernelDensity kernelDensityNaive(std::span<const double> values, double min, double max, double h) {
  KernelDensity result;
  result.grid = densityGrid(min, max);
  result.sums.fill(0);
  for (double v : values)
    for (int j = 0; j < kDensityGridSize; ++j) result.sums[j] += kernelTerm(result.grid[j], v, h);
  for (int j = 1; j < kDensityGridSize; ++j)
    if (result.sums[j] > result.sums[result.modeIndex]) result.modeIndex = j;
  return result;
}

KernelDensity kernelDensity(std::span<const double> sorted, std::span<const double> summationOrder,
                            double min, double max, double h, KernelSums wanted) {
  if (!allFinite(sorted, min, max, h)) return kernelDensityNaive(summationOrder, min, max, h);

  const std::size_t n = sorted.size();
  const bool sortedOrder = summationOrder.data() == sorted.data() && summationOrder.size() == n;
  const bool threaded = useTwoThreads(n);
  const bool lanes = wanted == KernelSums::forTheMode;
  const double invH = 1 / h;
  const std::size_t directLimit = lanes ? kLaneLimit : kDirectLimit;
  KernelDensity result;
  result.grid = densityGrid(min, max);
  const DensityGrid& x = result.grid;

  // A grid point equal to the one before it has the same sum and can never be the mode.
  std::array<bool, kDensityGridSize> repeat{};
  std::array<Window, kDensityGridSize> window;
  // Bins are needed only where many values are in reach; the windows move up with the grid
  // points, so those that overlap join into a few ranges.
  std::vector<Window> binned;
  for (int j = 0; j < kDensityGridSize; ++j) {
    repeat[j] = j > 0 && x[j] == x[j - 1];
    if (repeat[j]) continue;
    const Window w = reachOf(sorted, x[j], h);
    window[j] = w;
    if (w.hi - w.lo <= directLimit) continue;
    if (!binned.empty() && w.lo <= binned.back().hi)
      binned.back().hi = std::max(binned.back().hi, w.hi);
    else
      binned.push_back(w);
  }
  const Bins bins = binned.empty() ? Bins{} : buildBinsOver(sorted, binned, h, threaded);

  // exact[j]: the approximate sum is already the reference sum bit for bit.
  std::array<bool, kDensityGridSize> exact{};
  parallelFor(2, threaded ? 2 : 1, [&](std::size_t part) {
    for (int j = static_cast<int>(part); j < kDensityGridSize; j += 2) {
      if (repeat[j]) continue;
      if (window[j].hi - window[j].lo > directLimit) {
        result.sums[j] = binnedSum(bins, window[j], x[j], h);
      } else if (lanes) {
        result.sums[j] = laneSum(sorted.data() + window[j].lo, window[j].hi - window[j].lo, x[j], invH);
      } else {
        result.sums[j] = directSum(sorted, window[j], x[j], h);
        exact[j] = sortedOrder;
      }
    }
  });
  for (int j = 1; j < kDensityGridSize; ++j)
    if (repeat[j]) result.sums[j] = result.sums[j - 1];

  // Candidates: every grid point whose sum may still be the largest. A reference sum is within
  // (n + 3800) x 2^-53 relative of the true sum (rounding of n additions, and of each term's
  // exponent up to 750); the approximate sums within about 12000 x 2^-53. Twice their total is
  // enough; the margin doubles that again. A lane sum of w values (w <= kLaneLimit, w <= n) is
  // within (2 w + 70 + 3 w) x 2^-53 of the largest sum, which is at least the one term of 1 at the
  // first grid point, the minimum: two of them, or one with an approximate sum, stay inside the
  // margin while w <= 13,000.
  double largest = 0;
  for (int j = 0; j < kDensityGridSize; ++j) largest = std::max(largest, result.sums[j]);
  const double margin = 4 * (static_cast<double>(n) + 20000) * 0x1p-53;
  const double threshold = largest * (1 - margin);
  std::vector<int> candidates;
  for (int j = 0; j < kDensityGridSize; ++j)
    if (!repeat[j] && result.sums[j] >= threshold) candidates.push_back(j);
  // Not expected with finite inputs; the plain computation is always right.
  const bool broken = std::any_of(result.sums.begin(), result.sums.end(), [](double d) { return std::isnan(d); });
  if (candidates.empty() || broken) return kernelDensityNaive(summationOrder, min, max, h);
  if (candidates.size() == 1) {
    result.modeIndex = candidates.front();
    return result;
  }

  // The reference sums of the candidates, term for term in the reference order. Terms outside a
  // candidate's reach are exactly +0 and leave a sum unchanged, so they are skipped.
  const std::size_t count = candidates.size();
  result.summedAgain =
      static_cast<int>(std::count_if(candidates.begin(), candidates.end(), [&](int j) { return !exact[j]; }));
  std::vector<double> reference(count, 0);
  std::vector<double> lowest(count);
  std::vector<double> highest(count);
  for (std::size_t k = 0; k < count; ++k) {
    const Window w = window[candidates[k]];
    lowest[k] = w.hi > w.lo ? sorted[w.lo] : std::numeric_limits<double>::infinity();
    highest[k] = w.hi > w.lo ? sorted[w.hi - 1] : -std::numeric_limits<double>::infinity();
  }
  parallelFor(2, threaded && count > 1 ? 2 : 1, [&](std::size_t part) {
    for (std::size_t k = part; k < count; k += 2) {
      const int j = candidates[k];
      if (exact[j]) {
        reference[k] = result.sums[j];
      } else if (sortedOrder) {
        reference[k] = directSum(sorted, window[j], x[j], h);
      } else {
        double sum = 0;
        for (double v : summationOrder)
          if (v >= lowest[k] && v <= highest[k]) sum += kernelTerm(x[j], v, h);
        reference[k] = sum;
      }
    }
  });
  std::size_t best = 0;
  for (std::size_t k = 1; k < count; ++k)
    if (reference[k] > reference[best]) best = k;
  result.modeIndex = candidates[best];
  return result;
}

}  // namespace varno
