// SIGINT and SIGTERM taken as a request to stop, and a wait that such a signal ends at once.
#pragma once

namespace varno {

// From install on, SIGINT and SIGTERM no longer end the process: they are noted, and wake
// waitFor. The handler only writes to a pipe; every output stays with the caller.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Waits up to `seconds` (0 or less: not at all). True when a stop was asked for, now or before.
  bool waitFor(double seconds);
  bool stopAsked() const;
};

}  // namespace varno
