// Normal scores of ranks: the quantile of the standard normal at (r - 3/8) / (S + 1/4).
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace varno {

// The score of rank r among S values, r given doubled (2r) so that the average rank of a tie,
// a whole or half number, is exact. Blom's offset 3/8 keeps the scores of the lowest and
// highest rank finite.
double normalScore(long long twiceRank, std::size_t count);

// The scores of the whole ranks 1 .. count (entry r - 1 for rank r), computed once per count and
// shared: every column of a table without ties has the same ranks. Safe to call from several
// threads; a few recent counts are kept.
std::shared_ptr<const std::vector<double>> normalScoreTable(std::size_t count);

}  // namespace varno
