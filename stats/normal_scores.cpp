// Normal scores of ranks, with a shared table per number of values.
#include "stats/normal_scores.h"

#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <mutex>

namespace varno {

namespace {

// Double precision throughout: the long double promotion costs time and no digit that matters.
using Policy = boost::math::policies::policy<boost::math::policies::promote_double<false>>;

// A table and the flags that fill each of its halves once, by whichever thread comes first.
struct TableEntry {
  std::size_t count = 0;
  std::once_flag wholeFilled, halfFilled;
  NormalScoreTable table;
};

constexpr std::size_t kKeptTables = 8;

}  // namespace

double normalScore(long long twiceRank, std::size_t count) {
  const double rank = static_cast<double>(twiceRank) / 2;
  const double p = (rank - 0.375) / (static_cast<double>(count) + 0.25);
  return boost::math::quantile(boost::math::normal_distribution<double, Policy>(), p);
}

std::shared_ptr<const NormalScoreTable> normalScoreTable(std::size_t count, bool withHalfRanks) {
  static std::mutex mutex;
  static std::vector<std::shared_ptr<TableEntry>> recent;  // most recently asked last
  std::shared_ptr<TableEntry> entry;
  {
    const std::lock_guard<std::mutex> lock(mutex);
    auto found = std::find_if(recent.begin(), recent.end(), [&](const auto& e) { return e->count == count; });
    if (found != recent.end()) {
      entry = *found;
      recent.erase(found);
    } else {
      entry = std::make_shared<TableEntry>();
      entry->count = count;
      if (recent.size() == kKeptTables) recent.erase(recent.begin());
    }
    recent.push_back(entry);
  }
  // Filled outside the lock; a thread that finds a half being filled waits for it.
  NormalScoreTable& table = entry->table;
  std::call_once(entry->wholeFilled, [&] {
    table.byTwiceRank_.assign(2 * count + 1, 0.0);
    for (std::size_t r = 1; r <= count; ++r) table.byTwiceRank_[2 * r] = normalScore(2 * static_cast<long long>(r), count);
  });
  if (withHalfRanks) {
    std::call_once(entry->halfFilled, [&] {
      for (std::size_t r = 1; r < count; ++r)
        table.byTwiceRank_[2 * r + 1] = normalScore(2 * static_cast<long long>(r) + 1, count);
    });
  }
  // shares the entry's ownership, so the table outlives its eviction from the recent ones
  return {entry, &entry->table};
}

}  // namespace varno
