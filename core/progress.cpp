// How far a long piece of work has come, and whether whoever waits for it wants it stopped.
#include "core/progress.h"

#include <algorithm>

namespace varno {

Progress& Progress::unwatched() {
  static Progress none{Unwatched{}};
  return none;
}

void Progress::report(double fraction) {
  if (!watched_) return;
  fraction = std::clamp(fraction, 0.0, 1.0);
  double seen = fraction_.load(std::memory_order_relaxed);
  do {
    if (!(fraction > seen)) return;
  } while (!fraction_.compare_exchange_weak(seen, fraction, std::memory_order_relaxed));
  moved(fraction);
}

void Progress::requestCancel() {
  if (watched_) cancel_.store(true, std::memory_order_relaxed);
}

}  // namespace varno
