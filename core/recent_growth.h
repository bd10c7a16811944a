// How many rows the followed files gained in the last minute: the total rows seen at each round,
// kept for as long as the minute needs them. Times are seconds on any clock the caller keeps.
#pragma once

#include <deque>
#include <utility>

namespace varno {

class RecentGrowth {
 public:
  static constexpr double kWindow = 60.0;

  // The files held `rows` rows in all at `now` (times never go back). Fewer rows than before
  // (a file read anew shorter) start the count again from there.
  void record(double now, long long rows);
  // Rows gained from the minute before `now` (from the first record, when following began less
  // than a minute ago) to the last record.
  long long addedInLastMinute(double now) const;
  void reset() { seen_.clear(); }

 private:
  std::deque<std::pair<double, long long>> seen_;  // (time, rows), oldest first
};

}  // namespace varno
