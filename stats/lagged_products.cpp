// Lagged products of a centred chain: direct sums for the first lags, FFT for all.
#include "stats/lagged_products.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>

namespace varno {

namespace {

std::mutex& fftwPlanning() {
  static std::mutex mutex;
  return mutex;
}

struct FftwFree {
  void operator()(void* p) const { fftw_free(p); }
};

// The smallest size at least n whose only prime factors are 2, 3 and 5: fast for FFTW.
std::size_t smoothSize(std::size_t n) {
  for (std::size_t m = std::max<std::size_t>(n, 1);; ++m) {
    std::size_t r = m;
    for (std::size_t p : {2, 3, 5})
      while (r % p == 0) r /= p;
    if (r == 1) return m;
  }
}

// A plan made and destroyed under the planning lock; executing it needs none.
class Plan {
 public:
  template <class Make>
  explicit Plan(Make make) {
    const std::lock_guard<std::mutex> lock(fftwPlanning());
    plan_ = make();
  }
  ~Plan() {
    const std::lock_guard<std::mutex> lock(fftwPlanning());
    if (plan_) fftw_destroy_plan(plan_);
  }
  Plan(const Plan&) = delete;
  Plan& operator=(const Plan&) = delete;
  void execute() const { fftw_execute(plan_); }
  explicit operator bool() const { return plan_ != nullptr; }

 private:
  fftw_plan plan_ = nullptr;
};

constexpr std::size_t kLagBlock = 8;

// Lags first .. first + 7 (all below n) in one pass, eight sums side by side.
void directBlock(std::span<const double> y, std::size_t first, double* out) {
  const std::size_t n = y.size();
  const double* p = y.data();
  std::array<double, kLagBlock> s{};
  const std::size_t last = first + kLagBlock - 1;
  // rows where every lag of the block has a partner
  const std::size_t full = n > last ? n - last : 0;
  for (std::size_t i = 0; i < full; ++i) {
    const double v = p[i];
    const double* q = p + i + first;
    s[0] += v * q[0];
    s[1] += v * q[1];
    s[2] += v * q[2];
    s[3] += v * q[3];
    s[4] += v * q[4];
    s[5] += v * q[5];
    s[6] += v * q[6];
    s[7] += v * q[7];
  }
  for (std::size_t k = 0; k < kLagBlock; ++k) {
    const std::size_t lag = first + k;
    for (std::size_t i = full; i + lag < n; ++i) s[k] += p[i] * p[i + lag];
    out[k] = s[k];
  }
}

}  // namespace

std::vector<double> laggedProductsByFft(std::span<const double> centred) {
  const std::size_t n = centred.size();
  if (n == 0) return {};
  const std::size_t m = smoothSize(2 * n);
  const std::size_t bins = m / 2 + 1;
  std::unique_ptr<double[], FftwFree> real(fftw_alloc_real(m));
  std::unique_ptr<fftw_complex[], FftwFree> spectrum(fftw_alloc_complex(bins));
  if (!real || !spectrum) throw std::bad_alloc();
  const int size = static_cast<int>(m);
  // Estimated plans: measuring would cost more than the transforms of one column.
  const Plan forward([&] { return fftw_plan_dft_r2c_1d(size, real.get(), spectrum.get(), FFTW_ESTIMATE); });
  const Plan backward([&] { return fftw_plan_dft_c2r_1d(size, spectrum.get(), real.get(), FFTW_ESTIMATE); });
  if (!forward || !backward) throw std::bad_alloc();

  std::copy(centred.begin(), centred.end(), real.get());
  std::fill(real.get() + n, real.get() + m, 0.0);
  forward.execute();
  for (std::size_t k = 0; k < bins; ++k) {
    const double re = spectrum[k][0], im = spectrum[k][1];
    spectrum[k][0] = re * re + im * im;
    spectrum[k][1] = 0;
  }
  backward.execute();
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
  // Blocks of eight lags up to the one asked for, doubling what is known so an estimator that
  // goes on asks rarely.
  const std::size_t wanted = std::min({std::max(lag + 1, 2 * sums_.size()), kDirectLags, n});
  std::size_t first = sums_.size();
  const std::size_t blocks = (wanted - first + kLagBlock - 1) / kLagBlock;
  sums_.resize(first + blocks * kLagBlock);
  for (std::size_t b = 0; b < blocks; ++b, first += kLagBlock) directBlock(y_, first, sums_.data() + first);
  sums_.resize(std::min(sums_.size(), n));
}

}  // namespace varno
