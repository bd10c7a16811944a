// What the tool's --follow asks for: how often to look, when to stop, and when to give up.
#pragma once

#include <optional>
#include <string>

#include "report/convergence_target.h"
#include "report/follow_stop.h"

namespace varno {

struct FollowOptions {
  std::optional<ConvergenceTarget> until;  // --until: stop once it holds and is confirmed
  FollowStopRule stop;                     // --confirm and --min-rows
  double interval = 10;                    // seconds between tables at most once
  std::string intervalText = "10";         // as given, for the messages
  std::optional<double> idle;              // --idle: seconds without growth before giving up
  std::string idleText;
};

}  // namespace varno
