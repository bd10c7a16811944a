// Tests of the edit text readings: decimal reading, whole-number conversion, leading whole part.
#include "stats/text_numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

namespace varno {
namespace {

TEST(DecimalReading, ReadsTheLongestLeadingNumber) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {"12.5", 12.5},     {"3abc", 3},       {"-", 0},          {"", 0},
      {"1e", 1},          {"1e+", 1},        {"1e5", 100000},   {"1E-2", 0.01},
      {"2.5e3x", 2500},   {"  \t42", 42},    {"+7", 7},         {"-0.25", -0.25},
      {".5", 0.5},        {"5.", 5},         {"5.e2", 500},     {".", 0},
      {"-.e3", 0},        {"abc", 0},        {"1 2", 1},        {"007", 7},
      {"12.5.3", 12.5},   {"0x10", 0},       {"inf", 0},        {"nan", 0},
      {"1,5", 1},         {"998", 998},      {"1e-400", 0},     {"0e999999999999", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(decimalReading(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(DecimalReading, MatchesTheNearestDouble) {
  // A correctly rounded reading, not an accumulation of digits.
  EXPECT_EQ(decimalReading("0.1"), 0.1);
  EXPECT_EQ(decimalReading("2.2250738585072014e-308"), 2.2250738585072014e-308);
  EXPECT_EQ(decimalReading("1.7976931348623157e308"), 1.7976931348623157e308);
}

TEST(DecimalReading, HugeValuesAreInfiniteAndNeverNaN) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(decimalReading("1e400"), inf);
  EXPECT_EQ(decimalReading("-1e400"), -inf);
  EXPECT_EQ(decimalReading("1e99999999999999999999"), inf);
  EXPECT_EQ(decimalReading(std::string(400, '9')), inf);
  EXPECT_EQ(decimalReading("0.0000001e316"), inf);
  EXPECT_EQ(decimalReading("0.0001e-310"), 1e-314);  // subnormal, kept as strtod keeps it
  EXPECT_FALSE(std::isnan(decimalReading("1e-99999999999999999999")));
}

TEST(WholeNumber, AcceptsOnlySignAndDigits) {
  struct Case {
    const char* text;
    std::optional<long long> expected;
  };
  const Case cases[] = {
      {"0", 0},
      {"250", 250},
      {"  12", 12},
      {"+5", 5},
      {"-5", -5},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"00000000000000000000012", 12},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"-", std::nullopt},
      {"12.5", std::nullopt},
      {"1 2", std::nullopt},
      {"12 ", std::nullopt},
      {"1e3", std::nullopt},
      {"abc", std::nullopt},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999999", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseWholeNumber(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(LeadingWholePart, ReadsLeadingDigitsAndSaturates) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"0.5", 0},           {"95.5", 95},          {"30.7", 30},
      {"", 0},              {"x", 0},              {" 12abc", 12},
      {"-7", -7},           {"1e5", 1},            {"99999999999999999999", INT_MAX},
      {"-99999999999999999999", INT_MIN},          {"2147483647", INT_MAX},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(leadingWholePart(c.text), c.expected) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace varno
