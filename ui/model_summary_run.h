// A model summary computed off the window's thread on a snapshot of the table, so the window
// stays responsive and nothing the computation uses can change under it.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "stats/model_summary.h"

namespace varno {

class ModelSummaryRun {
 public:
  // Starts at once; `finished` is called on the worker thread when the result is ready.
  ModelSummaryRun(ModelSummaryInput input, std::function<void()> finished);
  ~ModelSummaryRun();

  void cancel() { cancelled_ = true; }
  bool done() const { return done_; }
  int percent() const { return percent_; }
  // Valid once done().
  const ModelSummaryResult& result() const { return result_; }

 private:
  ModelSummaryInput input_;
  ModelSummaryResult result_;
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> done_{false};
  std::atomic<int> percent_{0};
  std::thread worker_;
};

}  // namespace varno
