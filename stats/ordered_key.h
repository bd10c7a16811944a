// Unsigned keys that order like doubles, for radix sorts.
#pragma once

#include <bit>
#include <cstdint>

namespace varno {

// Positives get the sign bit set, negatives are inverted whole (so -0 comes just before +0).
inline std::uint64_t orderedKey(double v) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
  return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
}

inline double fromOrderedKey(std::uint64_t key) {
  return std::bit_cast<double>(key >> 63 ? key & ~(std::uint64_t{1} << 63) : ~key);
}

}  // namespace varno
