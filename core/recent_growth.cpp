// The rows gained in the last minute of following.
#include "core/recent_growth.h"

namespace varno {

void RecentGrowth::record(double now, long long rows) {
  if (!seen_.empty() && rows < seen_.back().second) seen_.clear();
  seen_.emplace_back(now, rows);
  // the newest record at or before a minute ago is the base the count starts from; older ones go
  while (seen_.size() > 1 && seen_[1].first <= now - kWindow) seen_.pop_front();
}

long long RecentGrowth::addedInLastMinute(double now) const {
  if (seen_.empty()) return 0;
  // the base: the newest record at or before a minute ago, or the first one
  std::size_t base = 0;
  while (base + 1 < seen_.size() && seen_[base + 1].first <= now - kWindow) ++base;
  return seen_.back().second - seen_[base].second;
}

}  // namespace varno
