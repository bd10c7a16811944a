// Pieces of work handed out one at a time to a few threads, which are joined on every path.
#include "core/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace varno {

namespace {

thread_local bool tInsideRun = false;

// Marks the thread as working for a run while it lives.
class InsideRun {
 public:
  InsideRun() : before_(tInsideRun) { tInsideRun = true; }
  ~InsideRun() { tInsideRun = before_; }
  InsideRun(const InsideRun&) = delete;
  InsideRun& operator=(const InsideRun&) = delete;

 private:
  bool before_;
};

struct Run {
  Run(const std::function<void(std::size_t)>& w, std::size_t count) : work(w), n(count) {}

  const std::function<void(std::size_t)>& work;
  std::size_t n;
  std::atomic<std::size_t> next{1};  // piece 0 is the calling thread's
  std::atomic<bool> stopped{false};
  std::mutex mutex;
  std::condition_variable finished;
  std::size_t helpersRunning = 0;
  std::size_t failedPiece = 0;
  std::exception_ptr failure;

  void piece(std::size_t i) {
    try {
      work(i);
    } catch (...) {
      stopped.store(true);
      std::lock_guard lock(mutex);
      if (!failure || i < failedPiece) {
        failure = std::current_exception();
        failedPiece = i;
      }
    }
  }

  void takePieces() {
    while (!stopped.load(std::memory_order_relaxed)) {
      const std::size_t i = next.fetch_add(1);
      if (i >= n) return;
      piece(i);
    }
  }
};

// Sets the stop flag on the way out, before the threads declared ahead of it are joined.
struct StopOnExit {
  std::atomic<bool>& stopped;
  ~StopOnExit() { stopped.store(true); }
};

}  // namespace

void parallelFor(std::size_t n, int threads, const std::function<void(std::size_t)>& work,
                 const WhileWaiting& whileWaiting) {
  if (n == 0) return;
  const std::size_t wanted = tInsideRun ? 1 : std::min(static_cast<std::size_t>(std::max(threads, 1)), n);
  InsideRun inside;
  Run run(work, n);
  {
    std::vector<std::jthread> helpers;
    StopOnExit stopOnExit{run.stopped};
    for (std::size_t t = 1; t < wanted; ++t) {
      {
        std::lock_guard lock(run.mutex);
        ++run.helpersRunning;
      }
      try {
        helpers.emplace_back([&run] {
          InsideRun helperInside;
          run.takePieces();
          std::lock_guard lock(run.mutex);
          --run.helpersRunning;
          run.finished.notify_one();
        });
      } catch (const std::system_error&) {  // fewer threads only make the run slower
        std::lock_guard lock(run.mutex);
        --run.helpersRunning;
        break;
      }
    }
    run.piece(0);
    run.takePieces();
    std::unique_lock lock(run.mutex);
    const auto allDone = [&run] { return run.helpersRunning == 0; };
    while (!allDone()) {
      if (!whileWaiting.call) {
        run.finished.wait(lock, allDone);
      } else if (!run.finished.wait_for(lock, whileWaiting.every, allDone)) {
        lock.unlock();
        whileWaiting.call();
        lock.lock();
      }
    }
  }
  if (run.failure) std::rethrow_exception(run.failure);
}

}  // namespace varno
