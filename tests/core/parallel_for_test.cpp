// The parallel-for helper: every piece once, piece 0 on the caller, failures, runs inside runs.
#include "core/parallel_for.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace varno {
namespace {

TEST(ParallelFor, RunsEveryPieceOnceWithPieceZeroOnTheCaller) {
  struct Case {
    std::size_t pieces;
    int threads;
  };
  for (const Case& c : {Case{0, 4}, Case{1, 4}, Case{7, 1}, Case{7, 3}, Case{100, 2}, Case{3, 0}, Case{2, 8}}) {
    SCOPED_TRACE(std::to_string(c.pieces) + " pieces, " + std::to_string(c.threads) + " threads");
    std::vector<std::atomic<int>> runs(c.pieces);
    std::thread::id pieceZero;
    parallelFor(c.pieces, c.threads, [&](std::size_t i) {
      ++runs[i];
      if (i == 0) pieceZero = std::this_thread::get_id();
    });
    for (std::size_t i = 0; i < c.pieces; ++i) EXPECT_EQ(runs[i].load(), 1) << "piece " << i;
    if (c.pieces > 0) {
      EXPECT_EQ(pieceZero, std::this_thread::get_id());
    }
  }
}

TEST(ParallelFor, TheLowestFailingPieceIsThrownAndNoLaterPieceStarts) {
  // one thread takes the pieces in order, so what follows a failure is known
  std::vector<int> ran;
  try {
    parallelFor(6, 1, [&](std::size_t i) {
      ran.push_back(static_cast<int>(i));
      if (i >= 2) throw std::runtime_error("piece " + std::to_string(i));
    });
    FAIL() << "nothing thrown";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "piece 2");
  }
  EXPECT_EQ(ran, (std::vector<int>{0, 1, 2}));

  // with many threads every piece fails; the lowest one's failure is the one reported
  try {
    parallelFor(50, 4, [](std::size_t i) { throw std::runtime_error("piece " + std::to_string(i)); });
    FAIL() << "nothing thrown";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "piece 0");
  }
}

TEST(ParallelFor, ARunInsideARunStartsNoThreads) {
  std::mutex m;
  std::set<std::thread::id> outerThreads;
  bool innerOnItsPieceThread = true;
  parallelFor(4, 4, [&](std::size_t) {
    const auto self = std::this_thread::get_id();
    {
      std::lock_guard lock(m);
      outerThreads.insert(self);
    }
    parallelFor(8, 4, [&](std::size_t) {
      if (std::this_thread::get_id() != self) {
        std::lock_guard lock(m);
        innerOnItsPieceThread = false;
      }
    });
  });
  EXPECT_TRUE(innerOnItsPieceThread);
  // once the run is over, the calling thread may start threads again
  std::atomic<bool> secondStarted{false};
  parallelFor(2, 2, [&](std::size_t i) {
    if (i == 0) {
      secondStarted.wait(false);  // piece 1 can only have been taken by another thread
    } else {
      secondStarted = true;
      secondStarted.notify_all();
    }
  });
  EXPECT_TRUE(secondStarted);
}

TEST(ParallelFor, AFailureWhileWaitingReachesTheCallerAfterTheThreadsFinish) {
  std::atomic<bool> helperStarted{false}, released{false}, helperFinished{false};
  WhileWaiting wait;
  wait.every = std::chrono::milliseconds(1);
  wait.call = [&] {
    released = true;
    released.notify_all();
    throw std::runtime_error("cancelled");
  };
  EXPECT_THROW(parallelFor(2, 2,
                           [&](std::size_t i) {
                             if (i == 0) {
                               helperStarted.wait(false);  // piece 1 runs on the other thread
                             } else {
                               helperStarted = true;
                               helperStarted.notify_all();
                               released.wait(false);
                               helperFinished = true;
                             }
                           },
                           wait),
               std::runtime_error);
  EXPECT_TRUE(helperFinished) << "the thread was not joined before the failure was thrown";
}

}  // namespace
}  // namespace varno
