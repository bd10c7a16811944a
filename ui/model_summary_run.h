// A model summary computed off the window's thread on a snapshot of the table.
#pragma once

#include <atomic>
#include <thread>

namespace varno {

struct ModelSummaryRun {
  std::thread worker;
  std::atomic<bool> cancelled{false};
  std::atomic<bool> finished{false};
  std::atomic<int> percent{0};

  void cancel() { cancelled = true; }
  ~ModelSummaryRun() {
    cancel();
    if (worker.joinable()) worker.join();
  }
};

}  // namespace varno
