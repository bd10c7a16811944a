// Quoting file text for messages, with bytes that cannot be shown escaped.
#include "core/shown_text.h"

namespace varno {

namespace {

// Length of the valid UTF-8 character at text[i] (2 to 4 bytes), or 0 when there is none.
std::size_t utf8Length(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b = byte(i);
  std::size_t n = 0;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    if (b == 0xE0) low = 0xA0;   // no overlong forms
    if (b == 0xED) high = 0x9F;  // no surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (i + n > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < n; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return n;
}

}  // namespace

std::string shownText(std::string_view text, std::size_t maxBytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  std::size_t i = 0;
  while (i < text.size() && i < maxBytes) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b >= 0x20 && b < 0x7F) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    const std::size_t n = b >= 0x80 ? utf8Length(text, i) : 0;
    if (n > 0) {
      if (i + n > maxBytes) break;  // a character is shown whole or not at all
      out.append(text.substr(i, n));
      i += n;
      continue;
    }
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
    ++i;
  }
  if (i < text.size()) out += "...";
  return out + "\"";
}

}  // namespace varno
