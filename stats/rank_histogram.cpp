// Ranks of draws across chains and their counts in bins, from one ascending order of the draws.
#include "stats/rank_histogram.h"

#include <algorithm>
#include <limits>

namespace varno {

namespace {

std::vector<double> joined(ChainDraws chains) {
  std::vector<double> all;
  std::size_t total = 0;
  for (auto c : chains) total += c.size();
  all.reserve(total);
  for (auto c : chains) all.insert(all.end(), c.begin(), c.end());
  return all;
}

// Calls visit(index, twiceRank) for every draw of `order`: 2r, so that the average rank of a tie
// of an even number of draws stays a whole number.
template <class Visit>
void forEachTwiceRank(std::span<const OrderedDraw> order, Visit visit) {
  std::size_t first = 0;
  while (first < order.size()) {
    std::size_t end = first + 1;
    while (end < order.size() && order[end].value == order[first].value) ++end;
    const auto twiceRank = static_cast<std::int64_t>(first + 1 + end);  // first + last rank
    for (std::size_t k = first; k < end; ++k) visit(order[k].index, twiceRank);
    first = end;
  }
}

}  // namespace

std::vector<double> averageRanks(ChainDraws chains) {
  const std::vector<double> all = joined(chains);
  std::vector<double> ranks(all.size(), std::numeric_limits<double>::quiet_NaN());
  forEachTwiceRank(ascendingOrder(all), [&](std::uint32_t i, std::int64_t twice) {
    ranks[i] = static_cast<double>(twice) / 2;
  });
  return ranks;
}

RankHistogram rankHistogram(ChainDraws chains, int bins) {
  return rankHistogram(chains, bins, ascendingOrder(joined(chains)));
}

RankHistogram rankHistogram(ChainDraws chains, int bins, std::span<const OrderedDraw> order) {
  RankHistogram h;
  if (bins < 1 || chains.empty()) return h;
  h.bins = bins;
  h.draws = static_cast<std::int64_t>(order.size());
  h.expected = static_cast<double>(h.draws) / (static_cast<double>(bins) * static_cast<double>(chains.size()));
  h.counts.assign(chains.size(), std::vector<std::int64_t>(static_cast<std::size_t>(bins), 0));
  if (order.empty()) return h;
  // the first draw of each chain in the joined draws, and one past the last
  std::vector<std::size_t> starts{0};
  for (auto c : chains) starts.push_back(starts.back() + c.size());
  const std::size_t n = chains[0].size();
  const bool equal = std::all_of(chains.begin(), chains.end(), [n](auto c) { return c.size() == n; });
  const auto chainOf = [&](std::size_t i) -> std::size_t {
    if (equal) return i / n;
    return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), i) - starts.begin()) - 1;
  };
  // bin k holds (k - 1) N / B < r <= k N / B: k = ceil(r B / N), in whole numbers as 2r B / 2N
  const std::int64_t twiceN = 2 * h.draws;
  forEachTwiceRank(order, [&](std::uint32_t i, std::int64_t twice) {
    const std::int64_t bin = (twice * bins + twiceN - 1) / twiceN;
    ++h.counts[chainOf(i)][static_cast<std::size_t>(bin - 1)];
  });
  return h;
}

}  // namespace varno
