// A model summary computed off the window's thread.
#include "ui/model_summary_run.h"

namespace varno {

ModelSummaryRun::ModelSummaryRun(ModelSummaryInput input, std::function<void()> finished)
    : input_(std::move(input)) {
  worker_ = std::thread([this, finished = std::move(finished)] {
    result_ = computeModelSummary(input_, [this](int p) { percent_ = p; }, &cancelled_);
    done_ = true;
    if (finished) finished();
  });
}

ModelSummaryRun::~ModelSummaryRun() {
  cancel();
  if (worker_.joinable()) worker_.join();
}

}  // namespace varno
