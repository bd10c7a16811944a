// The summary of one posterior sample.
#pragma once

namespace varno {

struct PosteriorSummary {
  double mean = 0;
  double variance = 0;
  double mode = 0;
  double hpdiLow = 0;
  double hpdiHigh = 0;
};

}  // namespace varno
