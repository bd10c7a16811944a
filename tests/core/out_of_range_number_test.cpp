// Out-of-range numbers: written correctly, and too large or too small as their first significant
// digit and exponent say.
#include "core/out_of_range_number.h"

#include <gtest/gtest.h>

#include "core/number_token.h"

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

TEST(OutOfRangeNumber, TellsAWrittenNumberFromOtherWords) {
  struct Case {
    const char* token;
    bool number;
  };
  const Case cases[] = {
      {"1e39", true},   {"-1e-50", true}, {"+.5", true},   {"7.", true},    {"3e+2", true},
      {"", false},      {"-", false},     {"+", false},    {"+-5", false},  {"-+5", false},
      {"inf", false},   {"-inf", false},  {"nan", false},  {".", false},    {"1e", false},
      {"1e+", false},   {"1.2.3", false}, {"12abc", false}, {"0x1p3", false}, {"e5", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isDecimalNumber(c.token), c.number) << '"' << c.token << '"';
}

}  // namespace
}  // namespace varno
