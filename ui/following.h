// What the window keeps while it follows the files of its analysis: the follower of the files as
// far as the tables hold them, the round timer, and each page's spacing of its recomputes.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/recent_growth.h"
#include "core/refresh_throttle.h"
#include "report/analysis_follower.h"

namespace varno {

struct Following {
  // the files of the analysis as far as its tables hold them: a round polls a copy, kept only
  // when its rows are taken in
  std::optional<AnalysisFollower> follower;
  QTimer timer;  // a round once a second while following
  QElapsedTimer clock;
  bool active = false;
  // a round started before following stopped or the analysis changed is dropped
  std::uint64_t generation = 0;
  // set while the files are read anew for following, which goes on once they are read
  bool readingAnew = false;
  std::vector<std::string> stopped;  // the message of each chain no longer followed
  std::vector<std::string> gone;     // files that could not be read at the last round
  RecentGrowth growth;
  // the pages in the order of their tabs: rows to take in, and when their last recompute began
  struct Page {
    RefreshThrottle throttle;
    bool pending = false;
    std::optional<double> started;
  };
  std::array<Page, 3> pages;

  double seconds() const { return static_cast<double>(clock.elapsed()) / 1000.0; }
};

}  // namespace varno
