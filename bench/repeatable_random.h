// Random numbers that are the same on every machine (splitmix64), for benchmark files that must
// be the same wherever they are measured.
#pragma once

#include <cstdint>

namespace varno::bench {

struct RepeatableRandom {
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }  // in [0, 1)
};

}  // namespace varno::bench
