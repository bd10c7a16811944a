// Small pieces of the texts the program writes: whole numbers, quoted names, counted nouns, and the
// character classes of the "C" locale, none of them through the C library's locale.
#pragma once

#include <charconv>
#include <string>
#include <string_view>

namespace varno {

// The digits of a whole number ("-12").
inline std::string decimal(long long value) {
  char text[24];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// Pieces joined in one buffer (operator+ chains of literals draw false warnings from GCC 12).
template <class... Pieces>
std::string concat(const Pieces&... pieces) {
  std::string text;
  (text.append(std::string_view(pieces)), ...);
  return text;
}

// A file name or text as the messages show it: between double quotes.
inline std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// "1 row", "3 rows".
inline std::string counted(long long n, const char* one, const char* many) {
  return decimal(n) + " " + (n == 1 ? one : many);
}

// The blanks strtod and streams skip in the "C" locale.
inline bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace varno
