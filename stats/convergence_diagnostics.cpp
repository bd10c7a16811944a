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

// Normal scores of the ranks of the split draws, laid out by slot. The draws come `size` of
// them in ascending order of the values compared for ties: `ascending()` gives the next from the
// lowest on, `descending()` the next from the highest down (a tie's members may come in any
// order). Draws left out of the split take no rank; equal values share the average of their
// ranks.
template <class Ascending, class Descending>
std::vector<double> normalScoresBySlot(const SplitDraws& split, std::size_t size, Ascending ascending,
                                       Descending descending) {
  const std::size_t count = split.kept();
  std::vector<double> scores(count);
  // Passes without a branch on whether a draw has equals: in a column read from text about
  // every other draw has one, which no branch predictor guesses.
  // Upwards: the ranks given before each draw's tie (a draw without equals is a tie of one).
  std::vector<std::uint32_t> before(size);
  std::size_t groups = 0;
  long long ranked = 0, base = 0;
  double previous = 0;
  for (std::size_t k = 0; k < size; ++k) {
    const OrderedDraw d = ascending();
    const bool starts = k == 0 || d.value != previous;
    previous = d.value;
    groups += starts;
    base = starts ? ranked : base;
    before[k] = static_cast<std::uint32_t>(base);
    ranked += split.slotOf(d.index) >= 0;
  }
  // With few distinct values a score per tie is cheaper than a table of every rank.
  std::shared_ptr<const NormalScoreTable> table;
  if (groups > count / 8) table = normalScoreTable(count, groups < size);

  // Downwards: the last rank of each draw's tie, and the score of the average rank. A tie holds
  // the same places both ways, so before[k] is its own whichever member comes k-th.
  long long through = ranked;  // ranks given up to and including the k-th draw
  long long last = 0;
  double score = 0;
  for (std::size_t k = size; k-- > 0;) {
    const OrderedDraw d = descending();
    const bool ends = k + 1 == size || d.value != previous;
    previous = d.value;
    last = ends ? through : last;
    const long long twiceRank = before[k] + 1 + last;  // first + last rank of the tie
    if (!table && ends) score = normalScore(twiceRank, count);
    const long long slot = split.slotOf(d.index);
    if (slot >= 0) scores[slot] = table ? table->at(twiceRank) : score;
    through -= slot >= 0;
  }
  return scores;
}

std::vector<double> normalScoresBySlot(const SplitDraws& split, const std::vector<OrderedDraw>& order) {
  std::size_t up = 0, down = order.size();
  return normalScoresBySlot(
      split, order.size(), [&] { return order[up++]; }, [&] { return order[--down]; });
}

// The median of sorted values, averaged as the reference averages two values.
double sortedMedian(const std::vector<OrderedDraw>& order) {
  const std::size_t n = order.size();
  if (n % 2 == 1) return order[n / 2].value;
  const double pair[] = {order[n / 2 - 1].value, order[n / 2].value};
  return referenceMean(pair);
}

// Normal scores of the ranks of |x - median|, by slot. The folded draws come from the draws
// ascending: both sides of the median merged outward for the lowest first, inward from both ends
// for the highest first, without a branch on the side that comes next.
std::vector<double> foldedScoresBySlot(const SplitDraws& split, const std::vector<OrderedDraw>& order, double median) {
  const std::ptrdiff_t size = static_cast<std::ptrdiff_t>(order.size());
  // draws below the median are 0 .. middle - 1, the others middle .. size - 1
  const std::ptrdiff_t middle = std::lower_bound(order.begin(), order.end(), median,
                                                 [](const OrderedDraw& d, double m) { return d.value < m; }) -
                                order.begin();
  auto folded = [&](std::ptrdiff_t i) { return std::abs(order[std::clamp<std::ptrdiff_t>(i, 0, size - 1)].value - median); };
  auto take = [&](std::ptrdiff_t i, double value) { return OrderedDraw{value, order[i].index}; };
  constexpr double kNone = -1;  // below every folded value
  std::ptrdiff_t innerLeft = middle - 1, innerRight = middle;
  auto outward = [&] {
    const double l = innerLeft >= 0 ? folded(innerLeft) : std::numeric_limits<double>::infinity();
    const double r = innerRight < size ? folded(innerRight) : std::numeric_limits<double>::infinity();
    const bool right = innerRight < size && (innerLeft < 0 || r <= l);
    const OrderedDraw d = right ? take(innerRight, r) : take(innerLeft, l);
    innerRight += right;
    innerLeft -= !right;
    return d;
  };
  std::ptrdiff_t outerLeft = 0, outerRight = size - 1;
  auto inward = [&] {
    const double l = outerLeft < middle ? folded(outerLeft) : kNone;
    const double r = outerRight >= middle ? folded(outerRight) : kNone;
    const bool left = l > r;
    const OrderedDraw d = left ? take(outerLeft, l) : take(outerRight, r);
    outerLeft += left;
    outerRight -= !left;
    return d;
  };
  return normalScoresBySlot(split, order.size(), outward, inward);
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
    const std::vector<double> foldedScores = foldedScoresBySlot(split_, order, median);
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

  std::optional<double> mcseMean() {
    if (!split_.valid()) return std::nullopt;
    const auto ess = effectiveSampleSize(split_.splitChains()).ess;
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

std::optional<double> essBulk(ChainDraws chains) { return Diagnostician(chains).essBulk(); }
std::optional<double> essTail(ChainDraws chains) { return Diagnostician(chains).essTail(); }
std::optional<double> rhat(ChainDraws chains) { return Diagnostician(chains).rhat(); }
std::optional<double> mcseMean(ChainDraws chains) { return Diagnostician(chains).mcseMean(); }

}  // namespace varno
