// How often R-hat misses a bound by chance alone, when the chains have converged.
#pragma once

namespace varno {

// The probability that `rhat` (the larger of the rank-normalised split R-hat and its folded twin)
// of `chains` chains of `length` independent draws each exceeds `bound`; 0 where it is undefined
// (fewer than 4 draws per chain, a bound below 1).
double rhatChanceMiss(int chains, int length, double bound);

}  // namespace varno
