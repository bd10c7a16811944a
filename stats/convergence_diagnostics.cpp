// Convergence diagnostics from one ordering of the draws: normal scores of the ranks, of the
// ranks of the folded draws, quantile indicators and the split chains themselves.
#include "stats/convergence_diagnostics.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "stats/ascending_order.h"
#include "stats/effective_sample_size.h"
#include "stats/normal_scores.h"

namespace varno {

namespace {

std::optional<double> finite(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

// The draws of m chains of n, and the split chains made of them: each chain's first and last
// floor(n / 2) draws (the middle draw of an odd chain belongs to neither half; a chain of one
// draw stays whole). Split chains are laid out one after the other in the arrays built here.
class SplitDraws {
 public:
  explicit SplitDraws(ChainDraws chains) : chains_(chains) {
    if (chains.empty()) return;
    n_ = chains[0].size();
    for (auto c : chains)
      if (c.size() != n_) return;
    if (n_ == 0) return;
    valid_ = true;
    m_ = chains.size();
    half_ = n_ == 1 ? 1 : n_ / 2;
    splitCount_ = n_ == 1 ? m_ : 2 * m_;
    chainSlots_ = n_ == 1 ? 1 : 2 * half_;
    gap_ = n_ == 1 ? 0 : n_ - 2 * half_;
    // one chain is its own concatenation: no copy
    if (m_ == 1) {
      all_ = chains[0];
    } else {
      joined_.reserve(m_ * n_);
      for (auto c : chains) joined_.insert(joined_.end(), c.begin(), c.end());
      all_ = joined_;
    }
    for (double v : all_) hasNaN_ = hasNaN_ || std::isnan(v);
  }

  SplitDraws(const SplitDraws&) = delete;  // all_ may point into joined_
  SplitDraws& operator=(const SplitDraws&) = delete;

  bool valid() const { return valid_; }
  std::size_t kept() const { return splitCount_ * half_; }

  // Where draw i (chain-major) goes among the split draws, or -1 when it is left out: each
  // chain's two halves in turn. Worked out without branches rather than looked up, since the
  // ranks ask for draws in random order.
  long long slotOf(std::size_t i) const {
    const std::size_t chain = m_ == 1 ? 0 : i / n_;
    const std::size_t position = i - chain * n_;
    // the middle draw of an odd chain is left out and the second half closes up over it
    const bool second = position >= half_;
    const long long slot = static_cast<long long>(chain * chainSlots_ + position - (second ? gap_ : 0));
    return !second || position >= n_ - half_ ? slot : -1;
  }

  // The split chains of an array laid out by slot.
  std::vector<std::span<const double>> chainsOf(const std::vector<double>& bySlot) const {
    std::vector<std::span<const double>> split;
    for (std::size_t s = 0; s < splitCount_; ++s) split.emplace_back(bySlot.data() + s * half_, half_);
    return split;
  }

  // The split chains of the draws themselves, without copying them.
  std::vector<std::span<const double>> splitChains() const {
    if (n_ == 1) return {chains_.begin(), chains_.end()};
    std::vector<std::span<const double>> split;
    for (auto c : chains_) {
      split.push_back(c.first(half_));
      split.push_back(c.last(half_));
    }
    return split;
  }

  bool anyNaN() const { return hasNaN_; }
  bool keptNaN() const {
    for (std::size_t i = 0; i < all_.size(); ++i)
      if (std::isnan(all_[i]) && slotOf(i) >= 0) return true;
    return false;
  }
  std::span<const double> all() const { return all_; }
  ChainDraws chains() const { return chains_; }

  // All draws ascending (NaNs left out), computed once or given.
  void setOrdered(std::vector<OrderedDraw> order) {
    ordered_ = std::make_unique<std::vector<OrderedDraw>>(std::move(order));
  }
  const std::vector<OrderedDraw>& ordered() {
    if (!ordered_) ordered_ = std::make_unique<std::vector<OrderedDraw>>(ascendingOrder(all_));
    return *ordered_;
  }

 private:
  ChainDraws chains_;
  std::span<const double> all_;  // every draw, chain after chain
  std::vector<double> joined_;    // their copy when there are several chains
  std::unique_ptr<std::vector<OrderedDraw>> ordered_;
  std::size_t n_ = 0, m_ = 0, half_ = 0, splitCount_ = 0;
  std::size_t chainSlots_ = 0, gap_ = 0;  // slots of a chain; draws left out of it (0 or 1)
  bool valid_ = false, hasNaN_ = false;
};

// Normal scores of the ranks of the split draws, laid out by slot. `order` holds draws (and
// values compared for ties) in ascending order; draws left out of the split take no rank.
// Equal values share the average of their ranks.
std::vector<double> normalScoresBySlot(const SplitDraws& split, const std::vector<OrderedDraw>& order) {
  const std::size_t count = split.kept();
  const std::size_t size = order.size();
  std::vector<double> scores(count);
  // Passes without a branch on whether a draw has equals: in a column read from text about
  // every other draw has one, which no branch predictor guesses.
  // Forward: the ranks given before each draw's tie (a draw without equals is a tie of one).
  const auto before = std::make_unique_for_overwrite<std::uint32_t[]>(size);  // every entry is written
  std::size_t groups = 0;
  long long ranked = 0, base = 0;
  for (std::size_t k = 0; k < size; ++k) {
    const bool starts = k == 0 || order[k].value != order[k - 1].value;
    groups += starts;
    base = starts ? ranked : base;
    before[k] = static_cast<std::uint32_t>(base);
    ranked += split.slotOf(order[k].index) >= 0;
  }
  // With few distinct values a score per tie is cheaper than a table of every rank.
  std::shared_ptr<const NormalScoreTable> table;
  if (groups > count / 8) table = normalScoreTable(count, groups < size);

  // Backward: the last rank of each draw's tie, and the score of the average rank.
  long long through = ranked;  // ranks given up to and including draw k
  long long last = 0;
  double score = 0;
  for (std::size_t k = size; k-- > 0;) {
    const bool ends = k + 1 == size || order[k].value != order[k + 1].value;
    last = ends ? through : last;
    const long long twiceRank = before[k] + 1 + last;  // first + last rank of the tie
    if (!table && ends) score = normalScore(twiceRank, count);
    const long long slot = split.slotOf(order[k].index);
    if (slot >= 0) scores[slot] = table ? table->at(twiceRank) : score;
    through -= slot >= 0;
  }
  return scores;
}

// The median of sorted values, averaged as the reference averages two values.
double sortedMedian(const std::vector<OrderedDraw>& order) {
  const std::size_t n = order.size();
  if (n % 2 == 1) return order[n / 2].value;
  const double pair[] = {order[n / 2 - 1].value, order[n / 2].value};
  return referenceMean(pair);
}

// |x - median| of every draw, ascending: the two sides of the median merged outward.
std::vector<OrderedDraw> foldedOrder(const std::vector<OrderedDraw>& order, double median) {
  std::vector<OrderedDraw> folded;
  folded.reserve(order.size());
  const auto split = std::lower_bound(order.begin(), order.end(), median,
                                      [](const OrderedDraw& d, double m) { return d.value < m; });
  std::ptrdiff_t left = split - order.begin() - 1;
  std::size_t right = static_cast<std::size_t>(split - order.begin());
  // both sides at once, without a branch on the side that comes next
  while (left >= 0 && right < order.size()) {
    const double l = std::abs(order[left].value - median), r = std::abs(order[right].value - median);
    const bool takeRight = r <= l;
    folded.push_back(takeRight ? OrderedDraw{r, order[right].index} : OrderedDraw{l, order[left].index});
    right += takeRight;
    left -= !takeRight;
  }
  for (; right < order.size(); ++right) folded.push_back({std::abs(order[right].value - median), order[right].index});
  for (; left >= 0; --left) folded.push_back({std::abs(order[left].value - median), order[left].index});
  return folded;
}

// The type 7 quantile of sorted values: 1 + (n - 1) p, interpolated as the reference does.
double sortedQuantile(const std::vector<OrderedDraw>& order, double p) {
  const double index = 1 + static_cast<double>(order.size() - 1) * p;
  const double lo = std::floor(index), hi = std::ceil(index);
  const double low = order[static_cast<std::size_t>(lo) - 1].value;
  const double high = order[static_cast<std::size_t>(hi) - 1].value;
  if (!(index > lo && high != low)) return low;
  const double h = index - lo;
  return (1 - h) * low + h * high;
}

class Diagnostician {
 public:
  explicit Diagnostician(ChainDraws chains) : split_(chains) {}
  Diagnostician(ChainDraws chains, std::vector<OrderedDraw> order) : split_(chains) {
    split_.setOrdered(std::move(order));
  }

  std::optional<double> essBulk() {
    if (!split_.valid() || split_.keptNaN()) return std::nullopt;
    const auto chains = split_.chainsOf(bulkScores());
    return effectiveSampleSize(chains).ess;
  }

  std::optional<double> rhat() {
    if (!split_.valid() || split_.anyNaN()) return std::nullopt;
    const auto bulk = potentialScaleReduction(split_.chainsOf(bulkScores()));
    if (!bulk) return std::nullopt;
    const std::vector<OrderedDraw>& order = split_.ordered();
    const double median = sortedMedian(order);
    if (!std::isfinite(median)) return std::nullopt;  // folding would meet inf - inf
    const std::vector<double> foldedScores = normalScoresBySlot(split_, foldedOrder(order, median));
    const auto tail = potentialScaleReduction(split_.chainsOf(foldedScores));
    if (!tail) return std::nullopt;
    return std::max(*bulk, *tail);
  }

  std::optional<double> essTail() {
    const std::span<const double> all[] = {split_.all()};
    if (!split_.valid() || degenerateDraws(all)) return std::nullopt;
    const std::vector<OrderedDraw>& order = split_.ordered();
    std::vector<double> indicator(split_.kept());
    std::optional<double> smallest;
    for (double p : {0.05, 0.95}) {
      const double q = sortedQuantile(order, p);
      for (std::size_t i = 0; i < split_.all().size(); ++i) {
        const long long slot = split_.slotOf(i);
        if (slot >= 0) indicator[slot] = split_.all()[i] <= q ? 1 : 0;
      }
      const auto ess = effectiveSampleSize(split_.chainsOf(indicator)).ess;
      if (!ess) return std::nullopt;
      smallest = smallest ? std::min(*smallest, *ess) : *ess;
    }
    return smallest;
  }

  std::optional<double> essSplit() {
    if (!split_.valid()) return std::nullopt;
    return effectiveSampleSize(split_.splitChains()).ess;
  }

  std::optional<double> mcseMean() {
    const auto ess = essSplit();
    if (!ess) return std::nullopt;
    const std::span<const double> all = split_.all();
    return finite(std::sqrt(referenceVariance(all, referenceMean(all))) / std::sqrt(*ess));
  }

 private:
  const std::vector<double>& bulkScores() {
    if (!bulk_) bulk_ = std::make_unique<std::vector<double>>(normalScoresBySlot(split_, split_.ordered()));
    return *bulk_;
  }

  SplitDraws split_;
  std::unique_ptr<std::vector<double>> bulk_;
};

}  // namespace

namespace {

ConvergenceDiagnostics allFour(Diagnostician& d) {
  ConvergenceDiagnostics result;
  result.essBulk = d.essBulk();
  result.essTail = d.essTail();
  result.rhat = d.rhat();
  result.mcseMean = d.mcseMean();
  return result;
}

}  // namespace

ConvergenceDiagnostics convergenceDiagnostics(ChainDraws chains) {
  Diagnostician d(chains);
  return allFour(d);
}

ConvergenceDiagnostics convergenceDiagnostics(std::span<const double> oneChain, std::vector<OrderedDraw> order) {
  const std::span<const double> chains[] = {oneChain};
  Diagnostician d(chains, std::move(order));
  return allFour(d);
}

ConvergenceDiagnostics convergenceDiagnostics(std::span<const double> oneChain) {
  const std::span<const double> chains[] = {oneChain};
  return convergenceDiagnostics(chains);
}

BulkTailEss essBulkAndTail(ChainDraws chains, std::vector<OrderedDraw> order) {
  Diagnostician d(chains, std::move(order));
  return {d.essBulk(), d.essTail()};
}

std::optional<double> essBulk(ChainDraws chains) { return Diagnostician(chains).essBulk(); }
std::optional<double> essTail(ChainDraws chains) { return Diagnostician(chains).essTail(); }
std::optional<double> rhat(ChainDraws chains) { return Diagnostician(chains).rhat(); }
std::optional<double> essSplit(ChainDraws chains) { return Diagnostician(chains).essSplit(); }
std::optional<double> mcseMean(ChainDraws chains) { return Diagnostician(chains).mcseMean(); }

}  // namespace varno
