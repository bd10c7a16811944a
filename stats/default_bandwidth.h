// The rule-of-thumb kernel bandwidth as a position of the bandwidth track bar.
#pragma once

#include <optional>

namespace varno {

// The bandwidth position the window is designed with, before any file sets its default.
inline constexpr int kDesignedBandwidthPosition = -500;

// With n = sampleCount >= 2 and s2 = sampleSumSquares / (n - 1) > 0: trunc(100 ln(1.06 sqrt(s2)
// n^-0.2)) limited to the track bar's -1000..300. Otherwise (or for a NaN sum) nullopt: the track
// bar keeps its position.
std::optional<int> defaultBandwidthPosition(int sampleCount, double sampleSumSquares);

// The bandwidth of a track bar position: e^(p / 100).
double bandwidthOfPosition(int p);

}  // namespace varno
