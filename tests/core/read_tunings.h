// The reader's tunings a small case is read under: whole, then with the block and thread seams
// falling inside its tokens.
#pragma once

#include "core/data_file_reader.h"

namespace varno::testing {

struct Tuning {
  const char* name;
  ReadTuning tuning;
};

inline const Tuning kTunings[] = {
    {"default", ReadTuning{}},
    {"blocks of 1 byte", ReadTuning{1, 1LL << 40, 1}},
    {"blocks of 3 bytes, 4 threads", ReadTuning{3, 1, 4}},
    {"blocks of 7 bytes, 3 threads", ReadTuning{7, 1, 3}},
};

}  // namespace varno::testing
