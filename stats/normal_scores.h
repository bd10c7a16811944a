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

// The scores of every rank among `count` values, computed once per count and shared: every
// column of a table has the same ranks. The half ranks (the average rank of a tie of an even
// number of values) are computed only for a table that asked for them.
class NormalScoreTable {
 public:
  // 2r for a rank r from 1 to count, or for a half rank from 1.5 to count - 0.5 when the table
  // was asked for with half ranks.
  double at(long long twiceRank) const { return byTwiceRank_[static_cast<std::size_t>(twiceRank)]; }

 private:
  friend std::shared_ptr<const NormalScoreTable> normalScoreTable(std::size_t count, bool withHalfRanks);
  // Indexed by twice the rank, whole and half ranks interleaved: a tie of an even number of
  // values comes in no order a branch predictor could learn, so the two kinds share one array.
  std::vector<double> byTwiceRank_;
};

// Safe to call from several threads; the tables of a few recent counts are kept.
std::shared_ptr<const NormalScoreTable> normalScoreTable(std::size_t count, bool withHalfRanks);

}  // namespace varno
