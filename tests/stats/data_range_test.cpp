// Tests of the burn-in / burn-out window: retained rows, edit corrections and the track bar exchange.
#include "stats/data_range.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "stats/text_numbers.h"

namespace varno {
namespace {

TEST(RetainedRows, StayInsideTheTable) {
  struct Case {
    long long burnIn, burnOut;
    int rows;
    int begin, end;
  };
  const Case cases[] = {
      {0, 0, 1000, 0, 1000},       {250, 0, 1000, 250, 1000},   {100, 50, 1000, 100, 950},
      {998, 0, 1000, 998, 1000},   {500, 998, 100, 100, 100},   {0, 998, 100, 0, 0},
      {-5, -7, 10, 0, 10},         {LLONG_MAX, LLONG_MAX, 10, 10, 10},
      {LLONG_MIN, LLONG_MIN, 10, 0, 10},                         {0, 0, 0, 0, 0},
      {3, 0, -4, 0, 0},
  };
  for (const Case& c : cases) {
    const RowRange r = retainedRows(c.burnIn, c.burnOut, c.rows);
    EXPECT_EQ(r.begin, c.begin) << c.burnIn << ' ' << c.burnOut << ' ' << c.rows;
    EXPECT_EQ(r.end, c.end) << c.burnIn << ' ' << c.burnOut << ' ' << c.rows;
  }
}

TEST(BurnPercentage, IsTheExactFloorForEveryWholeBurn) {
  for (int rows : {1, 2, 3, 7, 99, 100, 101, 997, 1000, 4099}) {
    for (int a = 0; a < rows; ++a) {
      ASSERT_EQ(burnPercentage(a, rows), static_cast<int>(100LL * a / rows)) << a << '/' << rows;
    }
  }
}

TEST(BurnPercentage, IsExactAtEveryStepOfHugeTables) {
  // Every burn where the percentage steps up, and its neighbours, for tables up to INT_MAX rows.
  for (long long rows : {2'000'000'000LL, static_cast<long long>(INT_MAX), 1'999'999'999LL}) {
    for (long long k = 0; k < 100; ++k) {
      const long long step = (k * rows + 99) / 100;  // smallest a with 100 a >= k rows
      for (long long a = std::max(step - 2, 0LL); a <= std::min(step + 2, rows - 1); ++a) {
        ASSERT_EQ(burnPercentage(static_cast<double>(a), static_cast<int>(rows)), 100 * a / rows)
            << a << '/' << rows;
      }
    }
  }
}

TEST(BurnPercentage, LimitsOddInputs) {
  EXPECT_EQ(burnPercentage(12.5, 1000), 1);
  EXPECT_EQ(burnPercentage(-3, 1000), 0);
  EXPECT_EQ(burnPercentage(5000, 1000), 100);
  EXPECT_EQ(burnPercentage(1e308 * 10, 1000), 100);
  EXPECT_EQ(burnPercentage(0, 0), 0);
}

TEST(BurnEditChanged, CorrectsTheEditAndPlacesItsTrackBar) {
  struct Case {
    const char* text;
    const char* other;
    int rows;
    std::optional<std::string> rewrite;
    int position;
    std::optional<std::string> first;
  };
  const std::optional<std::string> none;
  const Case cases[] = {
      {"250", "0", 1000, none, 25, none},
      {"600", "500", 1000, "498", 49, none},       // burn-out typed over a burn-in
      {"1000", "0", 1000, "998", 99, "999"},       // both limits: 999, then 998
      {"999", "0", 1000, "998", 99, none},         // the first write would not change the text
      {"50", "0", 10000, none, 0, none},
      {"1", "0", 2, "0", 0, none},                 // 1 + 0 >= 1 gives 2 - 0 - 2
      {"998", "0", 1000, none, 99, none},
      {"997", "1", 1000, none, 99, none},
      {"998", "1", 1000, "997", 99, none},
      {"5", "998", 100, "0", 0, none},             // other edit left from a longer file
      {"0", "998", 100, none, 0, none},
      {"150", "998", 100, "0", 0, "99"},
      {"12.5", "0", 1000, none, 1, none},          // the decimal reading counts 12.5
      {"8", "12.5", 20, "5.5", 27, none},          // a fractional correction is written exactly
      {"", "0", 1000, none, 0, none},              // an emptied edit stays empty
      {"abc", "0", 1000, none, 0, none},
      {"-5", "0", 1000, "0", 0, none},             // a pasted negative value becomes 0
      {"1e999", "0", 1000, "998", 99, "999"},
      {"3", "1e999", 1000, "0", 0, none},
      {"-1e999", "1e999", 1000, "0", 0, none},   // -inf + inf: no NaN reaches the result
      {"0", "0", 1, none, 0, none},
      {"1", "0", 1, "0", 0, none},
      {"0", "0", 0, none, 0, none},
      {"2000000000", "0", 2'000'000'000, "1999999998", 99, "1999999999"},
      {"1999999998", "0", INT_MAX, none, 93, none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.other + " / " + std::to_string(c.rows));
    const BurnEditOutcome out = burnEditChanged(c.text, c.other, c.rows);
    EXPECT_EQ(out.rewriteText, c.rewrite);
    EXPECT_EQ(out.trackBarPosition, c.position);
    EXPECT_EQ(out.firstRewriteText, c.first);
  }
}

TEST(BurnEditChanged, WritesFractionsInTheGeneralFormatWith15Digits) {
  struct Case {
    const char* other;
    int rows;
    const char* rewrite;
  };
  const Case cases[] = {
      {"0.1", 1000, "997.9"},
      {"997.5", 1000, "0.5"},
      {"0.123456789012345678", 1000, "997.876543210988"},  // rounded to 15 digits
      {"997.999", 1000, "0.000999999999976353"},           // the smallest fixed exponent
      {"997.99999", 1000, "9.99999997475243E-6"},          // 1000 - 997.99999 - 2 in doubles
      {"997.9999999", 1000, "9.9999965641473E-8"},
  };
  for (const Case& c : cases) {
    const BurnEditOutcome out = burnEditChanged("999", c.other, c.rows);
    EXPECT_EQ(out.rewriteText, std::optional<std::string>(c.rewrite)) << c.other;
  }
}

TEST(BurnTextForPercentage, RoundsUpExactly) {
  struct Case {
    int p, rows;
    const char* text;
  };
  const Case cases[] = {
      {25, 1000, "250"},  {5, 1000, "50"},   {100, 1000, "1000"}, {0, 1000, "0"},
      {1, 150, "2"},      {99, 7, "7"},      {33, 300, "99"},     {100, INT_MAX, "2147483647"},
      {99, INT_MAX, "2126008811"},           {-5, 1000, "0"},     {150, 1000, "1000"},
      {50, 0, "0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(burnTextForPercentage(c.p, c.rows), c.text) << c.p << " of " << c.rows;
  }
}

TEST(FitRangeToRows, ARangeThatDoesNotFitTheNewTableStartsOverAtZero) {
  using Fit = std::optional<std::pair<long long, long long>>;
  struct Case {
    long long burnIn, burnOut;
    int rows;
    Fit expected;
  };
  const Case cases[] = {
      {100, 50, 1000, std::nullopt},        {998, 0, 1000, std::nullopt},
      {0, 998, 1000, std::nullopt},         {0, 0, 1, std::nullopt},
      {0, 0, 0, std::nullopt},              {500, 998, 1000, Fit({0, 0})},
      {0, 998, 100, Fit({0, 0})},           {50000, 0, 3000, Fit({0, 0})},
      {1, 0, 1, Fit({0, 0})},               {3, 4, 0, Fit({0, 0})},
      {-5, 10, 100, Fit({0, 10})},          {LLONG_MAX, LLONG_MAX, 10, Fit({0, 0})},
      {0, 0, 2, std::nullopt},              {1, 0, 2, Fit({0, 0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.burnIn) + " " + std::to_string(c.burnOut) + " " +
                 std::to_string(c.rows));
    const Fit fit = fitRangeToRows(c.burnIn, c.burnOut, c.rows);
    EXPECT_EQ(fit, c.expected);
    const long long in = fit ? fit->first : c.burnIn;
    const long long out = fit ? fit->second : c.burnOut;
    EXPECT_EQ(retainedRows(in, out, c.rows).count(), std::max(c.rows, 0) - in - out);
    if (c.rows >= 2) {
      EXPECT_GE(c.rows - in - out, 2);
    }
  }
}

// The edits and track bars as the toolkit runs them: a setter runs the change handler at once,
// and only when the value really changes.
class BurnControls {
 public:
  explicit BurnControls(int rows) : rows_(rows) {}

  std::string cutin = "0", cutout = "0";
  int tburnin = 0, tburnout = 0;
  bool tburninFocused = false, tburnoutFocused = false;
  std::vector<RowRange> recomputations;

  void setCutin(const std::string& text) { setEdit(cutin, text, true); }
  void setCutout(const std::string& text) { setEdit(cutout, text, false); }
  void moveTburnin(int p) { setTrackBar(tburnin, p, true); }
  void moveTburnout(int p) { setTrackBar(tburnout, p, false); }

 private:
  void setEdit(std::string& edit, const std::string& text, bool in) {
    if (edit == text) return;
    edit = text;
    editChanged(in);
  }
  void setTrackBar(int& bar, int p, bool in) {
    p = std::clamp(p, 0, 100);
    if (bar == p) return;
    bar = p;
    trackBarChanged(p, in);
  }
  void editChanged(bool in) {
    const BurnEditOutcome out = burnEditChanged(in ? cutin : cutout, in ? cutout : cutin, rows_);
    if (out.firstRewriteText) in ? setCutin(*out.firstRewriteText) : setCutout(*out.firstRewriteText);
    if (out.rewriteText) in ? setCutin(*out.rewriteText) : setCutout(*out.rewriteText);
    in ? moveTburnin(out.trackBarPosition) : moveTburnout(out.trackBarPosition);
  }
  void trackBarChanged(int p, bool in) {
    if (in ? tburninFocused : tburnoutFocused) {
      const std::string text = burnTextForPercentage(p, rows_);
      in ? setCutin(text) : setCutout(text);
    }
    recomputations.push_back(retainedRows(parseWholeNumber(cutin).value_or(-1),
                                          parseWholeNumber(cutout).value_or(-1), rows_));
  }
  int rows_;
};

TEST(BurnExchange, EndsWhereTheHandlersLeaveIt) {
  struct Case {
    const char* name;
    int rows;
    const char* cutin;
    const char* cutout;
    bool dragBurnIn;  // else the burn-out track bar is dragged
    int position;
    const char* endCutin;
    const char* endCutout;
    int endTburnin, endTburnout;
    int lastBegin, lastEnd;
  };
  const Case cases[] = {
      {"drag in to 25", 1000, "0", "0", true, 25, "250", "0", 25, 0, 250, 1000},
      {"drag in to 100", 1000, "0", "0", true, 100, "998", "0", 99, 0, 998, 1000},
      {"drag out to 60", 1000, "500", "0", false, 60, "500", "490", 50, 49, 500, 510},
      {"drag out to 100", 1000, "0", "0", false, 100, "0", "998", 0, 99, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BurnControls controls(c.rows);
    controls.setCutin(c.cutin);
    controls.setCutout(c.cutout);
    controls.tburninFocused = c.dragBurnIn;
    controls.tburnoutFocused = !c.dragBurnIn;
    controls.recomputations.clear();
    c.dragBurnIn ? controls.moveTburnin(c.position) : controls.moveTburnout(c.position);
    EXPECT_EQ(controls.cutin, c.endCutin);
    EXPECT_EQ(controls.cutout, c.endCutout);
    EXPECT_EQ(controls.tburnin, c.endTburnin);
    EXPECT_EQ(controls.tburnout, c.endTburnout);
    ASSERT_FALSE(controls.recomputations.empty());
    EXPECT_EQ(controls.recomputations.back().begin, c.lastBegin);
    EXPECT_EQ(controls.recomputations.back().end, c.lastEnd);
  }
}

TEST(BurnExchange, TypingMovesTheTrackBarOnlyWhenThePercentageChanges) {
  BurnControls controls(10000);
  controls.setCutout("50");
  EXPECT_EQ(controls.tburnout, 0);
  EXPECT_TRUE(controls.recomputations.empty());
  controls.setCutout("500");
  EXPECT_EQ(controls.tburnout, 5);
  EXPECT_EQ(controls.cutout, "500");
  ASSERT_EQ(controls.recomputations.size(), 1u);
  EXPECT_EQ(controls.recomputations.back().end, 9500);
}

}  // namespace
}  // namespace varno
