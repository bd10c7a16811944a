// A progress for tests: records the fraction each time it moves and may ask for the cancel itself.
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "core/progress.h"

namespace varno {

class RecordedProgress : public Progress {
 public:
  // cancelAtMove: the move at which it asks for the cancel (1: the first); 0: never.
  explicit RecordedProgress(std::size_t cancelAtMove = 0) : cancelAtMove_(cancelAtMove) {}

  // The fraction as read after each move, in the order of the moves however many threads report.
  std::vector<double> moves() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return moves_;
  }

 protected:
  void moved(double) override {
    const std::lock_guard<std::mutex> lock(mutex_);
    moves_.push_back(fraction());
    if (moves_.size() == cancelAtMove_) requestCancel();
  }

 private:
  std::size_t cancelAtMove_;
  mutable std::mutex mutex_;
  std::vector<double> moves_;
};

}  // namespace varno
