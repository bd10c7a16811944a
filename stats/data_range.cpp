// The burn-in / burn-out window: retained rows and the exchange between the edits and track bars.
#include "stats/data_range.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "stats/number_format.h"
#include "stats/text_numbers.h"

namespace varno {
namespace {

// Burn values in the edits are written in the general format with this many significant digits,
// so whole numbers are plain digits.
constexpr int kEditDigits = 15;

std::optional<std::string> changedText(double value, std::string_view current) {
  std::string text = generalFormat(value, kEditDigits);
  if (text == current) return std::nullopt;
  return text;
}

}  // namespace

RowRange retainedRows(long long burnIn, long long burnOut, int rowCount) {
  const long long rows = std::max(rowCount, 0);
  const long long begin = std::clamp(burnIn, 0LL, rows);
  // rows - burnOut, without overflow for any burnOut.
  const long long end = burnOut <= 0 ? rows : (burnOut >= rows ? 0 : rows - burnOut);
  return RowRange{static_cast<int>(begin), static_cast<int>(std::max(begin, end))};
}

int burnPercentage(double burn, int rowCount) {
  if (rowCount <= 0 || std::isnan(burn)) return 0;
  if (burn <= 0) return 0;
  if (burn >= rowCount) return 100;
  // 0 < burn < rowCount <= INT_MAX here, so the integer path cannot overflow.
  if (burn == std::trunc(burn)) {
    return static_cast<int>(static_cast<long long>(burn) * 100 / rowCount);
  }
  return static_cast<int>(100 * burn / rowCount);
}

BurnEditOutcome burnEditChanged(std::string_view text, std::string_view otherText, int rowCount) {
  const double rows = rowCount;
  double a = decimalReading(text);
  bool corrected = false;
  std::optional<double> first;
  if (!(rows - 1 > a)) {
    a = rows - 1;
    corrected = true;
    first = std::max(a, 0.0);
  }
  const double o = decimalReading(otherText);
  if (rows - 1 <= a + o) {
    a = rows - o - 2;
    corrected = true;
  } else {
    first.reset();  // a single correction: rewriteText alone carries it
  }
  if (a < 0) {  // never write a negative burn value
    a = 0;
    corrected = true;
  }
  BurnEditOutcome outcome;
  outcome.trackBarPosition = burnPercentage(a, rowCount);
  if (corrected) {
    outcome.rewriteText = changedText(a, text);
    if (first && generalFormat(*first, kEditDigits) != generalFormat(a, kEditDigits)) {
      outcome.firstRewriteText = changedText(*first, text);
    }
  }
  return outcome;
}

std::string burnTextForPercentage(int p, int rowCount) {
  const long long product = static_cast<long long>(std::max(rowCount, 0)) * std::clamp(p, 0, 100);
  const long long burn = (product + 99) / 100;  // ceiling of a non-negative quotient
  return generalFormat(static_cast<double>(burn), kEditDigits);
}

std::optional<std::pair<long long, long long>> fitRangeToRows(long long burnIn,
                                                              long long burnOut, int rowCount) {
  const long long room = std::max(rowCount, 2) - 2LL;  // burnIn + burnOut may not exceed it
  long long in = std::max(burnIn, 0LL);
  long long out = std::max(burnOut, 0LL);
  // a range left from a longer file means nothing for this one: every row counts again, rather
  // than the last few rows being taken for the posterior in silence
  if (in > room || out > room - in) in = out = 0;
  if (in == burnIn && out == burnOut) return std::nullopt;
  return std::pair{in, out};
}

RowRange retainedRowsOnOpen(std::optional<long long> burnIn, std::optional<long long> burnOut, int rowCount) {
  if (!burnIn || !burnOut) return RowRange{0, std::max(rowCount, 0)};
  const auto fitted = fitRangeToRows(*burnIn, *burnOut, rowCount);
  return fitted ? retainedRows(fitted->first, fitted->second, rowCount) : retainedRows(*burnIn, *burnOut, rowCount);
}

}  // namespace varno
