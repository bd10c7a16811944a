// The spacing of recomputes by their own cost.
#include "core/refresh_throttle.h"

#include <algorithm>

namespace varno {

void RefreshThrottle::ran(double start, double duration) {
  const double spacing = std::max(minInterval_, std::max(duration, 0.0) / busyShare_);
  next_ = start + spacing;
  ranOnce_ = true;
}

}  // namespace varno
