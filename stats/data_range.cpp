// The burn-in / burn-out window: retained rows and the exchange between the edits and track bars.
#include "stats/data_range.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "stats/text_numbers.h"

namespace varno {
namespace {

// A finite burn value in the general format with 15 significant digits; whole numbers are plain
// digits. Burn values never leave 0..INT_MAX, but any finite double is written correctly.
std::string editNumberText(double value) {
  constexpr int kDigits = 15;
  if (value == 0) return "0";
  if (value == std::trunc(value) && std::abs(value) < 1e15) {
    std::array<char, 24> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(),
                                   static_cast<long long>(value));
    return std::string(buf.data(), res.ptr);
  }
  // d.dddddddddddddde+XX: the 15 rounded digits and the exponent.
  std::array<char, 40> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::abs(value),
                                 std::chars_format::scientific, kDigits - 1);
  const std::string_view sci(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
  const std::size_t ePos = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, ePos)) {
    if (c != '.') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = 0;
  std::string_view expText = sci.substr(ePos + 1);
  if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
  std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
  const int e = exponent + 1;  // value = 0.d1d2... x 10^e

  std::string out = value < 0 ? "-" : "";
  if (e >= -3 && e <= kDigits) {
    if (e <= 0) {
      out += "0.";
      out.append(static_cast<std::size_t>(-e), '0');
      out += digits;
    } else {
      const auto whole = static_cast<std::size_t>(e);
      if (digits.size() <= whole) {
        out += digits;
        out.append(whole - digits.size(), '0');
      } else {
        out += digits.substr(0, whole);
        out += '.';
        out += digits.substr(whole);
      }
    }
  } else {
    out += digits.front();
    if (digits.size() > 1) {
      out += '.';
      out += digits.substr(1);
    }
    out += 'E';
    std::array<char, 8> ebuf{};
    const auto eres = std::to_chars(ebuf.data(), ebuf.data() + ebuf.size(), e - 1);
    out.append(ebuf.data(), eres.ptr);
  }
  return out;
}

std::optional<std::string> changedText(double value, std::string_view current) {
  std::string text = editNumberText(value);
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
    if (first && editNumberText(*first) != editNumberText(a)) {
      outcome.firstRewriteText = changedText(*first, text);
    }
  }
  return outcome;
}

std::string burnTextForPercentage(int p, int rowCount) {
  const long long product = static_cast<long long>(std::max(rowCount, 0)) * std::clamp(p, 0, 100);
  const long long burn = (product + 99) / 100;  // ceiling of a non-negative quotient
  return editNumberText(static_cast<double>(burn));
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

RowRange retainedRowsOnOpen(std::string_view burnInText, std::string_view burnOutText, int rowCount) {
  const auto burnIn = parseWholeNumber(burnInText);
  const auto burnOut = parseWholeNumber(burnOutText);
  if (!burnIn || !burnOut) return RowRange{0, std::max(rowCount, 0)};
  const auto fitted = fitRangeToRows(*burnIn, *burnOut, rowCount);
  return fitted ? retainedRows(fitted->first, fitted->second, rowCount) : retainedRows(*burnIn, *burnOut, rowCount);
}

}  // namespace varno
