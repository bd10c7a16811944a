// Out-of-range numbers: too large or too small, read from where their first significant digit stands.
#include "core/out_of_range_number.h"

#include <gtest/gtest.h>

namespace varno {
namespace {

TEST(OutOfRangeNumber, TellsOverflowFromUnderflow) {
  struct Case {
    const char* number;
    bool tooLarge;
  };
  const Case cases[] = {
      {"1e39", true},
      {"-1e39", true},
      {"+340282366920938463463374607431768211456000", true},  // digits only
      {"0.000001e400", true},       // the exponent outweighs the leading zeros
      {"1e-50", false},
      {"-0.00000000000000000000000000000000000000000000000001", false},
      {"12345e-60", false},
      {"0.0e999", false},           // no significant digit
      {"1e99999999999999999999999999", true},   // the exponent saturates, it does not wrap
      {"1e-99999999999999999999999999", false},
      {"1E+39", true},
  };
  for (const Case& c : cases) EXPECT_EQ(isTooLarge(c.number), c.tooLarge) << c.number;
}

}  // namespace
}  // namespace varno
