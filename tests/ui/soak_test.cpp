// One window opening and refusing files of every kind many times over; the sanitizer build checks
// that nothing leaks.
#include <gtest/gtest.h>

#include "soak_cycle.h"

namespace varno {
namespace {

TEST(Soak, OneWindowOpensEveryKindOfFileInTurn) {
  testing::SoakRun run;
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(run.cycle(i)) << "cycle " << i;
}

}  // namespace
}  // namespace varno
