// How many threads the window's jobs spread their columns over: every core, as the headless tool
// does; the window's own thread waits for none of them.
#pragma once

#include <thread>

namespace varno {

inline int workerThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 2 : static_cast<int>(cores);
}

}  // namespace varno
