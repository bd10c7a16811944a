// One way to spread independent pieces of work over threads.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

namespace varno {

// What the calling thread does while it waits for the other threads: `call` every `every`. An
// exception from it ends the run: no further piece starts, and it reaches the caller once the
// threads have finished the pieces they hold.
struct WhileWaiting {
  std::function<void()> call;
  std::chrono::milliseconds every{8};
};

// Runs work(i) for every i in [0, n) on up to `threads` threads, the calling thread one of them.
// Piece 0 always runs, on the calling thread. After a piece throws no further piece starts, and
// the exception of the lowest piece that threw reaches the caller. Every thread started is joined
// before this returns or throws. Called from within a piece of another run, it runs every piece
// on the calling thread: runs inside runs would start more threads than there are cores.
void parallelFor(std::size_t n, int threads, const std::function<void(std::size_t)>& work,
                 const WhileWaiting& whileWaiting = {});

}  // namespace varno
