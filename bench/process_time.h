// Processor time of the whole process, all threads: on a machine shared with other work the wall
// time of the reading threads varies with the load, their processor time much less.
#pragma once

#include <sys/resource.h>

namespace varno::bench {

inline double cpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

}  // namespace varno::bench
