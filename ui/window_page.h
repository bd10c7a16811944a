// The part every page of the window shares: the window around it, seen through PageHost, under
// the names the window's own handlers use for it.
#pragma once

#include <functional>
#include <utility>

#include "ui/page_host.h"

namespace varno {

class WindowPage {
 protected:
  explicit WindowPage(PageHost& host)
      : host_(host), state(host.analysisState()), jobs_(&host.jobRunner()), burnRange_(host.burnRange()) {}
  ~WindowPage() = default;

  // A handler wired to a control: an error it raises ends only that handler.
  std::function<void()> on(std::function<void()> handler) {
    return [this, handler = std::move(handler)] { host_.runGuarded(handler); };
  }

  bool isBusy() const { return host_.isBusy(); }
  bool refuseWhileBusy() { return host_.refuseWhileBusy(); }
  void analysisChanged() { host_.analysisChanged(); }
  void reportError(const QString& text) { host_.reportError(text); }
  void setStatus(const QString& text) { host_.setStatus(text); }
  void setPassingStatus(const QString& text) { host_.setPassingStatus(text); }
  std::optional<RowRange> retainedRowRange(QString* problem = nullptr) { return host_.retainedRowRange(problem); }
  std::vector<ChainRows> retainedChains(long long burnIn, long long burnOut) const {
    return host_.retainedChains(burnIn, burnOut);
  }

  PageHost& host_;
  AnalysisState& state;
  JobRunner* jobs_;
  const BurnRange& burnRange_;
};

}  // namespace varno
