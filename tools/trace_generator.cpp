// Synthetic sampler traces: seeded chains formatted with to_chars into large blocks.
#include "tools/trace_generator.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string_view>

#include "core/model_numbering.h"
#include "core/text_pieces.h"

namespace varno {

namespace {

constexpr long long kMaxRows = 1'000'000'000'000LL;
constexpr int kMaxPopulations = 100'000;
constexpr int kMaxLoci = 100'000;
constexpr int kMaxAlleles = 1'000;
constexpr int kMaxColumns = 100'000;
constexpr int kIterationStep = 10;

// Own distributions over the standard engine: the library's distributions differ between
// implementations, and the files must be the same bytes everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}

  // Uniform in [0, 1), 53 random bits.
  double uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

  int below(int n) { return std::min(n - 1, static_cast<int>(uniform() * n)); }

  // Standard normal by the polar method.
  double normal() {
    if (hasSpare_) {
      hasSpare_ = false;
      return spare_;
    }
    double u, v, s;
    do {
      u = 2 * uniform() - 1;
      v = 2 * uniform() - 1;
      s = u * u + v * v;
    } while (s >= 1 || s == 0);
    const double scale = std::sqrt(-2 * std::log(s) / s);
    spare_ = v * scale;
    hasSpare_ = true;
    return u * scale;
  }

 private:
  std::mt19937_64 engine_;
  bool hasSpare_ = false;
  double spare_ = 0;
};

// Mixes a stream number into the seed so that independent parts draw from unrelated sequences.
std::uint64_t streamSeed(std::uint64_t seed, std::uint64_t stream) {
  std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL * (stream + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// Step of a stationary AR(1) chain around mean with the given marginal spread.
double arStep(double value, double mean, double rho, double spread, Random& rng) {
  return mean + rho * (value - mean) + std::sqrt(1 - rho * rho) * spread * rng.normal();
}

double logistic(double x) { return 1 / (1 + std::exp(-x)); }

// Collects text in a large buffer and hands it on in blocks.
class BlockWriter {
 public:
  using Sink = std::function<void(std::string_view)>;
  BlockWriter(Sink sink, std::size_t maxLine)
      : sink_(std::move(sink)), capacity_(kBlock + maxLine), buffer_(new char[capacity_]) {}

  // Room for one line of at most maxLine characters.
  char* lineStart() {
    if (used_ >= kBlock) flush();
    return buffer_.get() + used_;
  }
  void lineEnd(char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }
  char* limit() { return buffer_.get() + capacity_; }

  void flush() {
    if (used_) sink_(std::string_view(buffer_.get(), used_));
    used_ = 0;
  }

 private:
  static constexpr std::size_t kBlock = std::size_t{8} << 20;
  Sink sink_;
  std::size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

// Longest text of one number written by the helpers below, separator included.
constexpr std::size_t kNumberWidth = 32;

char* putInteger(char* p, char* limit, long long value) { return std::to_chars(p, limit, value).ptr; }

// Six significant digits, as a sampler would print a float.
char* putReal(char* p, char* limit, double value) {
  return std::to_chars(p, limit, value, std::chars_format::general, 6).ptr;
}

char* putSeparator(char* p) {
  *p = ' ';
  return p + 1;
}

// A fraction given in millionths, written exactly ("0.25", "1").
char* putMillionths(char* p, int units) {
  if (units >= 1'000'000) {
    *p++ = '1';
    return p;
  }
  *p++ = '0';
  *p++ = '.';
  char digits[6];
  for (int i = 5; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + units % 10);
    units /= 10;
  }
  int last = 5;
  while (last > 0 && digits[last] == '0') --last;
  std::memcpy(p, digits, static_cast<std::size_t>(last) + 1);
  return p + last + 1;
}

// Rows of a regression-model trace.
class FstChain {
 public:
  explicit FstChain(const FstSpec& spec)
      : spec_(spec), rng_(streamSeed(spec.seed, 1)), models_(modelCount(spec.factors, spec.interaction)) {
    const auto values = factorFileValues(spec);
    // Standardised factors enter the regression, so the coefficients share one scale.
    z_.assign(spec.factors, std::vector<double>(spec.populations, 0.0));
    for (std::size_t f = 0; f < values.size(); ++f) {
      double mean = 0, squares = 0;
      for (double v : values[f]) mean += v;
      mean /= std::max<std::size_t>(values[f].size(), 1);
      for (double v : values[f]) squares += (v - mean) * (v - mean);
      const double sd = values[f].size() > 1 ? std::sqrt(squares / (values[f].size() - 1)) : 0;
      for (int p = 0; p < spec.populations; ++p) z_[f][p] = sd > 0 ? (values[f][p] - mean) / sd : 0;
    }
    if (spec.interaction) {
      for (int p = 0; p < spec.populations; ++p) z_[2][p] = z_[0][p] * z_[1][p];
    }
    Random setup(streamSeed(spec.seed, 2));
    populationEffect_.resize(spec.populations);
    for (double& e : populationEffect_) e = 0.35 * setup.normal();

    // Model weights favour G1 strongly, G2 mildly and the third factor not at all.
    static constexpr double kStrength[] = {4.0, 1.5, 0.4};
    weights_.resize(models_);
    for (int m = 1; m <= models_; ++m) {
      double w = 1;
      for (int f : factorsInModel(m, spec.factors, spec.interaction)) w *= kStrength[f - 1];
      weights_[m - 1] = w;
    }
    model_ = models_;  // starting from the full model, as samplers often do
    inModel_ = membership(model_);
    coefficients_.resize(spec.factors + 1);
    for (int f = 0; f <= spec.factors; ++f) coefficients_[f] = inModel_[f] ? kBeta[f] + 0.3 * setup.normal() : 0;
    logit_.resize(spec.populations);
    for (int p = 0; p < spec.populations; ++p) logit_[p] = target(p) + 0.3 * setup.normal();
    logSigma_ = std::log(0.12) + 0.3 * setup.normal();
    likelihoodNoise_ = 0;
    burnRows_ = std::clamp(spec.rows / 10, 1LL, 200LL);
  }

  std::size_t maxLine() const { return (spec_.populations + spec_.factors + 5) * kNumberWidth + 1; }

  char* writeRow(long long row, char* p, char* limit) {
    step(row);
    const double drift = std::exp(-static_cast<double>(row) / burnRows_);
    p = putInteger(p, limit, row * kIterationStep);
    p = putReal(putSeparator(p), limit, std::exp(logSigma_) * (1 + 3 * drift));
    const double likelihood =
        -(400.0 + 45.0 * spec_.populations) + 6 * likelihoodNoise_ - 250.0 * (1 + spec_.populations / 8.0) * drift;
    p = putReal(putSeparator(p), limit, std::min(likelihood, -1.0));
    for (int pop = 0; pop < spec_.populations; ++pop) {
      // Early rows overestimate differentiation and drift down to the stationary level.
      const double x = std::clamp(logit_[pop] + 1.5 * drift, -9.0, 9.0);
      p = putReal(putSeparator(p), limit, logistic(x));
    }
    p = putInteger(putSeparator(p), limit, model_);
    for (int f = 0; f <= spec_.factors; ++f) {
      p = putSeparator(p);
      if (inModel_[f]) {
        const double a = coefficients_[f] == 0 ? 1e-9 : coefficients_[f];
        p = putReal(p, limit, a);
      } else {
        *p++ = '0';
      }
    }
    *p++ = '\n';
    return p;
  }

 private:
  static constexpr double kBeta[] = {-2.4, 0.55, -0.35, 0.15};

  std::vector<bool> membership(int model) const {
    std::vector<bool> in(spec_.factors + 1, false);
    in[0] = true;
    for (int f : factorsInModel(model, spec_.factors, spec_.interaction)) in[f] = true;
    return in;
  }

  double target(int p) const {
    double t = coefficients_[0] + populationEffect_[p];
    for (int f = 1; f <= spec_.factors; ++f) {
      if (inModel_[f]) t += coefficients_[f] * z_[f - 1][p];
    }
    return t;
  }

  void step(long long row) {
    if (row > 0) moveModel();
    for (int f = 0; f <= spec_.factors; ++f) {
      if (!inModel_[f]) {
        coefficients_[f] = 0;
      } else if (coefficients_[f] == 0) {
        coefficients_[f] = kBeta[f] + 0.15 * rng_.normal();
      } else {
        coefficients_[f] = arStep(coefficients_[f], kBeta[f], 0.9, 0.15, rng_);
      }
    }
    for (int p = 0; p < spec_.populations; ++p) logit_[p] = arStep(logit_[p], target(p), 0.8, 0.25, rng_);
    logSigma_ = arStep(logSigma_, std::log(0.12), 0.85, 0.3, rng_);
    likelihoodNoise_ = arStep(likelihoodNoise_, 0, 0.7, 1, rng_);
  }

  // Metropolis move between models, so that visits follow the model weights.
  void moveModel() {
    if (models_ < 2 || rng_.uniform() >= 0.3) return;
    int proposal = 1 + rng_.below(models_ - 1);
    if (proposal >= model_) ++proposal;
    if (rng_.uniform() * weights_[model_ - 1] < weights_[proposal - 1]) {
      model_ = proposal;
      inModel_ = membership(model_);
    }
  }

  FstSpec spec_;
  Random rng_;
  int models_;
  std::vector<std::vector<double>> z_;
  std::vector<double> populationEffect_;
  std::vector<double> weights_;
  int model_ = 1;
  std::vector<bool> inModel_;
  std::vector<double> coefficients_;
  std::vector<double> logit_;
  double logSigma_ = 0;
  double likelihoodNoise_ = 0;
  long long burnRows_ = 1;
};

// Rows of an allele-frequency trace.
class FrqChain {
 public:
  explicit FrqChain(const FrqSpec& spec) : rng_(streamSeed(spec.seed, 3)) {
    Random setup(streamSeed(spec.seed, 4));
    const int extra = std::max(spec.maxAlleles - 1, 1);
    for (int l = 0; l < spec.loci; ++l) {
      Locus locus;
      const int alleles = spec.maxAlleles <= 1 ? 1 : 2 + setup.below(extra);
      for (int a = 0; a < alleles; ++a) {
        locus.mean.push_back(1.2 * setup.normal());
        locus.logit.push_back(2.0 * setup.normal());  // far from the mean: a visible burn-in
      }
      locus.units.resize(alleles);
      loci_.push_back(std::move(locus));
      width_ += alleles + 1;
    }
  }

  std::size_t maxLine() const { return (width_ + 1) * kNumberWidth + 1; }

  char* writeRow(long long row, char* p, char* limit) {
    p = putInteger(p, limit, row * kIterationStep);
    for (Locus& locus : loci_) {
      quantise(locus);
      p = putInteger(putSeparator(p), limit, static_cast<long long>(locus.units.size()));
      for (int u : locus.units) p = putMillionths(putSeparator(p), u);
    }
    *p++ = '\n';
    return p;
  }

 private:
  struct Locus {
    std::vector<double> mean;
    std::vector<double> logit;
    std::vector<int> units;  // frequencies in millionths, summing to one million
  };

  // Moves the chain and rounds the frequencies to millionths that still sum to exactly 1.
  void quantise(Locus& locus) {
    const std::size_t n = locus.logit.size();
    double top = -1e300;
    for (std::size_t a = 0; a < n; ++a) {
      locus.logit[a] = std::clamp(arStep(locus.logit[a], locus.mean[a], 0.95, 0.5, rng_), -8.0, 8.0);
      top = std::max(top, locus.logit[a]);
    }
    double total = 0;
    std::vector<double> weight(n);
    for (std::size_t a = 0; a < n; ++a) total += weight[a] = std::exp(locus.logit[a] - top);
    int sum = 0;
    std::size_t largest = 0;
    for (std::size_t a = 0; a < n; ++a) {
      locus.units[a] = std::max(1, static_cast<int>(weight[a] / total * 1e6));
      sum += locus.units[a];
      if (locus.units[a] > locus.units[largest]) largest = a;
    }
    locus.units[largest] += 1'000'000 - sum;
  }

  Random rng_;
  std::vector<Locus> loci_;
  std::size_t width_ = 1;
};

// Rows of plain numbered columns: the iteration, then autocorrelated chains with a burn-in.
class MlChain {
 public:
  explicit MlChain(const MlSpec& spec) : rng_(streamSeed(spec.seed, 5)), burnRows_(std::clamp(spec.rows / 10, 1LL, 200LL)) {
    Random setup(streamSeed(spec.seed, 6));
    for (int c = 1; c < spec.columns; ++c) {
      mean_.push_back(5 * setup.normal());
      spread_.push_back(std::exp(setup.normal()));
      offset_.push_back(3 * spread_.back() * (setup.uniform() < 0.5 ? -1 : 1));
      value_.push_back(mean_.back());
    }
  }

  std::size_t maxLine() const { return (value_.size() + 1) * kNumberWidth + 1; }

  char* writeRow(long long row, char* p, char* limit) {
    const double drift = std::exp(-static_cast<double>(row) / burnRows_);
    p = putInteger(p, limit, row * kIterationStep);
    for (std::size_t c = 0; c < value_.size(); ++c) {
      value_[c] = arStep(value_[c], mean_[c], 0.9, spread_[c], rng_);
      p = putReal(putSeparator(p), limit, value_[c] + offset_[c] * drift);
    }
    *p++ = '\n';
    return p;
  }

 private:
  Random rng_;
  long long burnRows_;
  std::vector<double> mean_, spread_, offset_, value_;
};

template <class Chain>
void generate(Chain& chain, long long rows, BlockWriter::Sink sink) {
  BlockWriter writer(std::move(sink), chain.maxLine());
  for (long long r = 0; r < rows; ++r) writer.lineEnd(chain.writeRow(r, writer.lineStart(), writer.limit()));
  writer.flush();
}

template <class Spec>
void requireValid(const Spec& spec) {
  if (auto error = specError(spec)) throw std::invalid_argument(*error);
}

// Writes a file in blocks; the file is closed (and its errors reported) before returning.
class OutputFile {
 public:
  explicit OutputFile(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {
    if (!file_) fail();
  }
  ~OutputFile() {
    if (file_) std::fclose(file_);
  }
  void write(std::string_view block) {
    if (std::fwrite(block.data(), 1, block.size(), file_) != block.size()) fail();
  }
  void close() {
    std::FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0) fail();
  }

 private:
  [[noreturn]] void fail() {
    throw std::runtime_error("cannot write \"" + path_ + "\": " + std::strerror(errno));
  }
  std::string path_;
  std::FILE* file_;
};

template <class Chain, class Spec>
std::string textOf(const Spec& spec) {
  requireValid(spec);
  Chain chain(spec);
  std::string text;
  generate(chain, spec.rows, [&text](std::string_view block) { text.append(block); });
  return text;
}

template <class Chain, class Spec>
void fileOf(const Spec& spec, const std::string& path) {
  requireValid(spec);
  Chain chain(spec);
  OutputFile file(path);
  generate(chain, spec.rows, [&file](std::string_view block) { file.write(block); });
  file.close();
}

std::optional<std::string> rowsError(long long rows) {
  if (rows < 2 || rows > kMaxRows) return "rows must be between 2 and " + decimal(kMaxRows);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> specError(const FstSpec& spec) {
  if (auto e = rowsError(spec.rows)) return e;
  if (spec.populations < 0 || spec.populations > kMaxPopulations)
    return "populations must be between 0 and " + decimal(kMaxPopulations);
  if (spec.factors < 0 || spec.factors > 3) return std::string("factors must be between 0 and 3");
  if (spec.interaction && spec.factors != 3) return std::string("the interaction needs 3 factors");
  return std::nullopt;
}

std::optional<std::string> specError(const FrqSpec& spec) {
  if (auto e = rowsError(spec.rows)) return e;
  if (spec.loci < 1 || spec.loci > kMaxLoci) return "loci must be between 1 and " + decimal(kMaxLoci);
  if (spec.maxAlleles < 1 || spec.maxAlleles > kMaxAlleles)
    return "the maximum allele count must be between 1 and " + decimal(kMaxAlleles);
  return std::nullopt;
}

std::optional<std::string> specError(const MlSpec& spec) {
  if (auto e = rowsError(spec.rows)) return e;
  if (spec.columns < 1 || spec.columns > kMaxColumns)
    return "columns must be between 1 and " + decimal(kMaxColumns);
  return std::nullopt;
}

std::vector<std::vector<double>> factorFileValues(const FstSpec& spec) {
  requireValid(spec);
  // Environment-like ranges, rounded as a field sheet would give them: a 0..1 index to two
  // decimals, a temperature to one decimal, an altitude in whole metres.
  struct Range {
    double low, high, step;
  };
  static constexpr Range kRanges[] = {{0, 1, 0.01}, {5, 25, 0.1}, {100, 2000, 1}};
  Random rng(streamSeed(spec.seed, 0));
  const int lines = spec.interaction ? 2 : spec.factors;
  std::vector<std::vector<double>> values(lines, std::vector<double>(spec.populations));
  for (int f = 0; f < lines; ++f) {
    const Range& r = kRanges[f];
    const long long steps = std::llround((r.high - r.low) / r.step);
    for (double& v : values[f]) {
      const long long k = static_cast<long long>(rng.uniform() * (steps + 1));
      // Dividing by the inverse step keeps 0.37 as the double nearest to 0.37.
      v = std::round(r.low / r.step + static_cast<double>(k)) / std::round(1 / r.step);
    }
  }
  return values;
}

std::string fstText(const FstSpec& spec) { return textOf<FstChain>(spec); }
std::string frqText(const FrqSpec& spec) { return textOf<FrqChain>(spec); }
std::string mlText(const MlSpec& spec) { return textOf<MlChain>(spec); }

void writeFstFile(const FstSpec& spec, const std::string& path) { fileOf<FstChain>(spec, path); }
void writeFrqFile(const FrqSpec& spec, const std::string& path) { fileOf<FrqChain>(spec, path); }
void writeMlFile(const MlSpec& spec, const std::string& path) { fileOf<MlChain>(spec, path); }

std::string factorsText(const FstSpec& spec, bool withPopulationLine) {
  const auto values = factorFileValues(spec);
  std::string text;
  if (withPopulationLine) text += "npop=" + decimal(spec.populations) + "\n";
  for (std::size_t f = 0; f < values.size(); ++f) {
    text += "g[" + decimal(static_cast<long long>(f) + 1) + "]=";
    for (std::size_t p = 0; p < values[f].size(); ++p) {
      if (p) text += ' ';
      char number[32];
      text.append(number, std::to_chars(number, number + sizeof number, values[f][p]).ptr);
    }
    text += '\n';
  }
  return text;
}

void writeFactorsFile(const FstSpec& spec, const std::string& path, bool withPopulationLine) {
  const std::string text = factorsText(spec, withPopulationLine);
  OutputFile file(path);
  file.write(text);
  file.close();
}

}  // namespace varno
