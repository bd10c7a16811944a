// Lagged products of a centred chain: direct sums for the first lags, FFT for all.
#include "stats/lagged_products.h"

#include <fftw3.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace varno {

namespace {

std::mutex& fftwPlanning() {
  static std::mutex mutex;
  return mutex;
}

struct FftwFree {
  void operator()(void* p) const { fftw_free(p); }
};

// The smallest power of two at least n: FFTW's fastest sizes without measured plans.
std::size_t transformSize(std::size_t n) {
  std::size_t m = 1;
  while (m < n) m *= 2;
  return m;
}

// The two plans of one transform size. Made and destroyed under the planning lock; executing
// them on other arrays of the same size and alignment (fftw_malloc's) needs no lock.
struct Plans {
  fftw_plan forward = nullptr;
  fftw_plan backward = nullptr;
  ~Plans() {
    if (!forward && !backward) return;
    const std::lock_guard<std::mutex> lock(fftwPlanning());
    if (forward) fftw_destroy_plan(forward);
    if (backward) fftw_destroy_plan(backward);
  }
};

// Plans kept for the last few sizes: making one computes all its twiddle factors, which costs
// about as much as the transforms themselves, and every column of a table has the same size.
std::shared_ptr<const Plans> plansFor(std::size_t m, double* real, fftw_complex* spectrum) {
  constexpr std::size_t kKept = 4;
  static std::vector<std::pair<std::size_t, std::shared_ptr<const Plans>>> kept;
  std::shared_ptr<const Plans> dropped;  // destroyed after the lock is released: it takes the lock
  const std::lock_guard<std::mutex> lock(fftwPlanning());
  for (const auto& [size, plans] : kept)
    if (size == m) return plans;
  auto plans = std::make_shared<Plans>();
  const int size = static_cast<int>(m);
  // Estimated plans: measuring would cost more than the transforms of many columns.
  plans->forward = fftw_plan_dft_r2c_1d(size, real, spectrum, FFTW_ESTIMATE);
  plans->backward = fftw_plan_dft_c2r_1d(size, spectrum, real, FFTW_ESTIMATE);
  if (!plans->forward || !plans->backward) {
    // destroyed here, under the lock this thread holds, rather than by ~Plans
    if (plans->forward) fftw_destroy_plan(std::exchange(plans->forward, nullptr));
    if (plans->backward) fftw_destroy_plan(std::exchange(plans->backward, nullptr));
    throw std::bad_alloc();
  }
  if (kept.size() == kKept) {
    dropped = std::move(kept.front().second);
    kept.erase(kept.begin());
  }
  kept.emplace_back(m, plans);
  return plans;
}

constexpr std::size_t kLagBlock = 8;

// Eight rows side by side, in one vector register where the machine has one wide enough (the
// build forbids fusing a product into its sum, so every machine rounds alike).
typedef double RowLanes __attribute__((vector_size(kLagBlock * sizeof(double))));

// Lags first .. first + 7 in one pass over the chain. Each lag's sum is split by row into eight
// lanes, added up in a fixed order at the end: eight rows load once for all eight lags, and
// eight sums in flight keep the adder busy. As exact as one running sum.
__attribute__((target_clones("avx512f", "avx2", "default")))
void directBlock(std::span<const double> y, std::size_t first, double* out) {
  const std::size_t n = y.size();
  const double* p = y.data();
  RowLanes sums[kLagBlock] = {};
  const std::size_t last = first + kLagBlock - 1;
  // rows where every lag of the block has a partner
  const std::size_t full = n > last ? n - last : 0;
  std::size_t i = 0;
  for (; i + kLagBlock <= full; i += kLagBlock) {
    RowLanes rows;
    std::memcpy(&rows, p + i, sizeof rows);
    for (std::size_t k = 0; k < kLagBlock; ++k) {
      RowLanes partners;
      std::memcpy(&partners, p + i + first + k, sizeof partners);
      sums[k] += rows * partners;
    }
  }
  for (std::size_t k = 0; k < kLagBlock; ++k) {
    const RowLanes& s = sums[k];
    double sum = ((s[0] + s[1]) + (s[2] + s[3])) + ((s[4] + s[5]) + (s[6] + s[7]));
    const std::size_t lag = first + k;
    for (std::size_t r = i; r + lag < n; ++r) sum += p[r] * p[r + lag];
    out[k] = sum;
  }
}

}  // namespace

std::vector<double> laggedProductsByFft(std::span<const double> centred) {
  const std::size_t n = centred.size();
  if (n == 0) return {};
  const std::size_t m = transformSize(2 * n);
  const std::size_t bins = m / 2 + 1;
  std::unique_ptr<double[], FftwFree> real(fftw_alloc_real(m));
  std::unique_ptr<fftw_complex[], FftwFree> spectrum(fftw_alloc_complex(bins));
  if (!real || !spectrum) throw std::bad_alloc();
  // the plans' arrays and these are both from fftw_malloc, so alike in alignment
  const std::shared_ptr<const Plans> plans = plansFor(m, real.get(), spectrum.get());

  std::copy(centred.begin(), centred.end(), real.get());
  std::fill(real.get() + n, real.get() + m, 0.0);
  fftw_execute_dft_r2c(plans->forward, real.get(), spectrum.get());
  for (std::size_t k = 0; k < bins; ++k) {
    const double re = spectrum[k][0], im = spectrum[k][1];
    spectrum[k][0] = re * re + im * im;
    spectrum[k][1] = 0;
  }
  fftw_execute_dft_c2r(plans->backward, spectrum.get(), real.get());
  // the backward transform is not normalised: every sum comes out m times too large
  std::vector<double> sums(real.get(), real.get() + n);
  for (double& s : sums) s /= static_cast<double>(m);
  return sums;
}

void LaggedProducts::extend(std::size_t lag) {
  const std::size_t n = y_.size();
  if (lag >= kDirectLags) {
    sums_ = laggedProductsByFft(y_);
    return;
  }
  // Blocks of eight lags up to the one asked for. The estimator asks for an even lag and the odd
  // one after it, which blocks that start at multiples of eight never part.
  const std::size_t wanted = std::min({lag + 1, kDirectLags, n});
  std::size_t first = sums_.size();
  const std::size_t blocks = (wanted - first + kLagBlock - 1) / kLagBlock;
  sums_.resize(first + blocks * kLagBlock);
  for (std::size_t b = 0; b < blocks; ++b, first += kLagBlock) directBlock(y_, first, sums_.data() + first);
  sums_.resize(std::min(sums_.size(), n));
}

}  // namespace varno
