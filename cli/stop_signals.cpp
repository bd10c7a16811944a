// A stop asked for by a signal: a self-pipe that the handler writes to and poll() watches.
#include "cli/stop_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>

namespace varno {

namespace {

volatile sig_atomic_t stopped = 0;
int wakeRead = -1, wakeWrite = -1;

extern "C" void noteStop(int) {
  const int saved = errno;
  stopped = 1;
  if (wakeWrite >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wakeWrite, &byte, 1);  // a full pipe wakes already
  }
  errno = saved;
}

struct sigaction previous[2];
constexpr int kSignals[2] = {SIGINT, SIGTERM};

}  // namespace

StopSignals::StopSignals() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead = ends[0];
    wakeWrite = ends[1];
  }
  struct sigaction action {};
  action.sa_handler = noteStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 2; ++i) ::sigaction(kSignals[i], &action, &previous[i]);
}

StopSignals::~StopSignals() {
  for (int i = 0; i < 2; ++i) ::sigaction(kSignals[i], &previous[i], nullptr);
  ::close(wakeRead);
  ::close(wakeWrite);
  wakeRead = wakeWrite = -1;
}

bool StopSignals::stopAsked() const { return stopped != 0; }

bool StopSignals::waitFor(double seconds) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  while (!stopped) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) break;
    pollfd wake{wakeRead, POLLIN, 0};
    // without the pipe (no descriptor left) the wait still ends on time, and on EINTR
    ::poll(&wake, wakeRead >= 0 ? 1 : 0, static_cast<int>(std::min<long long>(left, 1'000'000)));
  }
  return stopped != 0;
}

}  // namespace varno
