// Number tokens: the float at the start of a text, whole tokens, and why a token is no number.
#include "core/number_token.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace varno {
namespace {

TEST(NumberToken, ReadsTheLongestFloatAtTheStart) {
  const struct {
    const char* text;
    int length;  // characters read; -1: no number there
    float value;
  } cases[] = {
      {"1.5 2", 3, 1.5f},       {"+2.5", 4, 2.5f},        {"-.25,", 4, -0.25f},     {"5.e1x", 4, 50.0f},
      {"1e+", 1, 1.0f},         {"0x10", 1, 0.0f},        {"7e2e3", 3, 700.0f},     {"1e-60", 5, 0.0f},
      {"-", -1, 0},             {"+-5", -1, 0},           {"--5", -1, 0},           {"nan", -1, 0},
      {"inf", -1, 0},           {"-infinity", -1, 0},     {"e5", -1, 0},            {".", -1, 0},
      {"1e39", -1, 0},          {"-4e38", -1, 0},         {"", -1, 0},              {" 1", -1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string text = c.text;
    float value = 123;
    const char* end = readFloat(text.data(), text.data() + text.size(), value);
    if (c.length < 0) {
      EXPECT_EQ(end, nullptr);
      continue;
    }
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end - text.data(), c.length);
    EXPECT_EQ(value, c.value);
  }
  // a number too small for a float keeps its sign
  float value = 0;
  const std::string negative = "-1e-60";
  ASSERT_NE(readFloat(negative.data(), negative.data() + negative.size(), value), nullptr);
  EXPECT_TRUE(value == 0 && std::signbit(value));
}

TEST(NumberToken, WholeTokensOnly) {
  const struct {
    const char* token;
    bool isFloat;
    std::optional<long long> whole;
  } cases[] = {
      {"12", true, 12},
      {"-3", true, -3},
      {"+3", true, std::nullopt},  // a whole number has no "+"
      {"1.5", true, std::nullopt},
      {"12x", false, std::nullopt},
      {"", false, std::nullopt},
      {"9223372036854775807", true, 9223372036854775807LL},
      {"9223372036854775808", true, std::nullopt},
      {"1e40", false, std::nullopt},
      {" 4", false, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    float value = 0;
    EXPECT_EQ(floatToken(c.token, value), c.isFloat);
    EXPECT_EQ(wholeNumberToken(c.token), c.whole);
  }
}

TEST(NumberToken, SaysWhetherATokenIsOutOfRangeOrNoNumber) {
  EXPECT_EQ(notAFloatReason("1e39"), "\"1e39\" is out of range (a number must lie between -3.4e38 and 3.4e38)");
  EXPECT_EQ(notAFloatReason("-2e50", ""), "\"-2e50\" is out of range");
  EXPECT_EQ(notAFloatReason("abc"), "\"abc\" is not a number");
  EXPECT_EQ(notAFloatReason("1.2.3", ""), "\"1.2.3\" is not a number");
}

}  // namespace
}  // namespace varno
