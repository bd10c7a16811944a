// The confirmation of a target met while following a run.
#include "report/follow_stop.h"

namespace varno {

long long FollowStop::confirmingRows() const {
  if (!firstMet_) return 0;
  // 10% of the rows, rounded up, so that the tables are at least a tenth apart
  const long long apart = rule_.confirmRows ? *rule_.confirmRows : (*firstMet_ + 9) / 10;
  return *firstMet_ + apart;
}

bool FollowStop::confirms(long long rows, bool met) {
  if (!met || rows < rule_.minRows || (firstMet_ && rows < *firstMet_)) {
    firstMet_.reset();
    if (met && rows >= rule_.minRows) firstMet_ = rows;
    return false;
  }
  if (!firstMet_) {
    firstMet_ = rows;
    return false;
  }
  return rows >= confirmingRows();
}

}  // namespace varno
