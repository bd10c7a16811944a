// The factors file: pieces up to "=", factor lines ending in "]", and the numbers that follow them.
#include "core/factors_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#include "core/input_file.h"
#include "core/shown_text.h"
#include "core/model_numbering.h"
#include "core/number_token.h"
#include "core/text_pieces.h"

namespace varno {

namespace {

// The text as a text-mode read sees it: a CR directly before an LF is dropped.
std::string textModeView(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

bool isFactorLine(std::string_view piece) { return piece.size() >= 4 && piece.back() == ']'; }

// Calls onFactorLine(line, piece, rest) for each factor line, rest being the remainder of its text
// line, and onOtherPiece(line, piece, rest) for every other piece that ends in "=", rest being the
// text after that "=" to the end of its line; line is the 1-based line of that "=". Returns the
// number of lines of the text (1 for an empty text).
template <class F, class G>
long long scanPieces(std::string_view text, F&& onFactorLine, G&& onOtherPiece) {
  const std::string s = textModeView(text);
  const std::string_view all(s);
  std::size_t pos = 0;
  std::size_t counted = 0;  // newlines before `counted` are in `line`
  long long line = 1;
  auto lineAt = [&](std::size_t at) {
    for (; counted < at; ++counted) line += all[counted] == '\n';
    return line;
  };
  while (pos < all.size()) {
    const std::size_t eq = all.find('=', pos);
    if (eq == std::string_view::npos) {
      // The text after the last "=" is a piece too; a factor line there has nothing after it.
      if (isFactorLine(all.substr(pos))) onFactorLine(lineAt(all.size()), all.substr(pos), std::string_view());
      break;
    }
    const std::string_view piece = all.substr(pos, eq - pos);
    pos = eq + 1;
    if (!isFactorLine(piece)) {  // its line goes on into the next piece
      onOtherPiece(lineAt(eq), piece, all.substr(pos, std::min(all.find('\n', pos), all.size()) - pos));
      continue;
    }
    const std::size_t lf = all.find('\n', pos);
    const std::size_t end = lf == std::string_view::npos ? all.size() : lf;
    onFactorLine(lineAt(eq), piece, all.substr(pos, end - pos));
    pos = lf == std::string_view::npos ? all.size() : lf + 1;
  }
  // a last line without its line feed is a line too
  const long long lines = lineAt(all.size());
  return all.empty() || all.back() == '\n' ? std::max(1LL, lines - 1) : lines;
}

template <class F>
void scanFactorLines(std::string_view text, F&& onFactorLine) {
  scanPieces(
      text, [&](long long, std::string_view, std::string_view rest) { onFactorLine(rest); },
      [](long long, std::string_view, std::string_view) {});
}

// Extracts one float the way a "C"-locale stream does: blanks skipped, then the longest prefix
// that forms a decimal number. Fails on anything else and on values beyond the float range.
bool extractFloat(std::string_view& text, float& value) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  const char* end = readFloat(text.data() + i, text.data() + text.size(), value);
  if (!end) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

}  // namespace

int countFactorLines(std::string_view text) {
  int count = 0;
  scanFactorLines(text, [&count](std::string_view) {
    if (count < std::numeric_limits<int>::max()) ++count;
  });
  return count;
}

std::vector<std::vector<float>> readFactorLineValues(std::string_view text, int populationCount) {
  std::vector<std::vector<float>> lines;
  scanFactorLines(text, [&](std::string_view rest) {
    std::vector<float> values;
    float v = 0;
    for (int p = 0; p < populationCount && extractFloat(rest, v); ++p) values.push_back(v);
    lines.push_back(std::move(values));
  });
  return lines;
}

namespace {

bool isLineBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The last line of a piece: what a reader sees before the "=".
std::string_view lastLine(std::string_view piece) {
  const std::size_t lf = piece.rfind('\n');
  return lf == std::string_view::npos ? piece : piece.substr(lf + 1);
}

// A piece that only blanks keep from being a factor line ("g[1] =").
bool looksLikeFactorLine(std::string_view piece) {
  std::string_view text = piece;
  while (!text.empty() && isLineBlank(text.back())) text.remove_suffix(1);
  return text.size() < piece.size() && isFactorLine(text);
}

// Why the token at the start of text (blanks skipped) cannot be a factor value.
std::string badValue(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  std::size_t n = 0;
  while (n < text.size() && !isBlank(text[n])) ++n;
  const std::string_view token = text.substr(0, n);
  return notAFloatReason(token, "");
}

// The number in the brackets that end a factor line's name ("g[2]" gives 2); nothing when its
// name has none.
std::optional<long long> bracketedNumber(std::string_view piece) {
  const std::string_view name = trimmed(lastLine(piece));
  const std::size_t open = name.rfind('[');
  if (open == std::string_view::npos || name.size() < open + 3) return std::nullopt;
  const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
  if (!isDigit(digits.front())) return std::nullopt;  // no sign
  return wholeNumberToken(digits);
}

// "population 4 has no G2 value", "populations 2 to 4 have no G2 value".
std::string populationsWithout(int first, int populationCount, const std::string& factor) {
  if (first == populationCount) return "population " + decimal(first) + " has no " + factor + " value";
  return "populations " + decimal(first) + " to " + decimal(populationCount) + " have no " + factor + " value";
}

// "G" + k: appended, not "G" + decimal(k), which GCC 12 wrongly warns about (-Wrestrict)
std::string factorName(int k) {
  std::string name = "G";
  name += decimal(k);
  return name;
}

}  // namespace

std::vector<FactorsFileNote> checkFactorsFile(std::string_view text, int populationCount, int linesNeeded) {
  std::vector<FactorsFileNote> notes;
  int factor = 0;
  const long long lines = scanPieces(
      text,
      [&](long long line, std::string_view piece, std::string_view rest) {
        ++factor;
        const std::string name = factorName(factor);
        if (const std::optional<long long> bracketed = bracketedNumber(piece); bracketed && *bracketed != factor) {
          notes.push_back({line, shownText(trimmed(lastLine(piece))) + " gives " + name + ", not G" +
                                     decimal(*bracketed) + ": factor lines are taken in file order",
                           false});
        }
        std::string_view left = rest;
        float value = 0;
        int read = 0;
        while (read < populationCount && extractFloat(left, value)) ++read;
        if (read == populationCount) return;
        const std::string populations =
            decimal(populationCount) + (populationCount == 1 ? " population" : " populations");
        if (trimmed(left).empty()) {
          notes.push_back({line,
                           "the factor line of " + name + " has " + decimal(read) +
                               (read == 1 ? " value" : " values") + " for the " + populations +
                               " of the data file: " + populationsWithout(read + 1, populationCount, name),
                           true, read + 1});
        } else {
          notes.push_back({line, name + " of population " + decimal(read + 1) + ": " + badValue(left), true, read + 1});
        }
      },
      [&](long long line, std::string_view piece, std::string_view rest) {
        if (looksLikeFactorLine(piece)) {
          const std::string name(trimmed(lastLine(piece)));
          notes.push_back({line, shownText(name + " =") + " looks like a factor line but was not counted: a factor "
                                     "line has no blank before \"=\" (write " + shownText(name + "=") + ")",
                           false, 0, true});
          return;
        }
        // the last word before the "=" names the setting
        std::string_view word = trimmed(piece);
        const std::size_t blank = word.find_last_of(" \t\n\r\v\f");
        if (blank != std::string_view::npos) word.remove_prefix(blank + 1);
        std::string name(word);
        for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (name != "npop") return;
        std::string_view value = trimmed(rest);
        value = value.substr(0, std::min(value.find_first_of(" \t\r\v\f"), value.size()));
        const std::optional<long long> npop = wholeNumberToken(value);
        if (!npop) {
          notes.push_back({line, "npop= is followed by " + shownText(value) + ", not a number of populations", true});
        } else if (*npop != populationCount) {
          notes.push_back({line, "npop=" + decimal(*npop) + ", but the data file has " + decimal(populationCount) +
                                     (populationCount == 1 ? " population" : " populations"),
                           true});
        }
      });
  // factors the analysis has but no line gives: their values would be made up
  if (populationCount > 0) {
    for (int missing = factor + 1; missing <= linesNeeded; ++missing) {
      const std::string name = factorName(missing);
      notes.push_back({lines,
                       "no factor line gives " + name + ": the file has " +
                           counted(factor, "factor line", "factor lines") + " and the factors of the analysis need " +
                           decimal(linesNeeded) + "; " + populationsWithout(1, populationCount, name),
                       true, 1});
    }
  }
  return notes;
}

std::string factorsFileNoteText(const std::string& path, const FactorsFileNote& note) {
  return quoted(path) + " line " + decimal(note.line) + ": " + note.reason;
}

std::string factorsFileHint(const std::string& path, std::string_view text) {
  const int lines = countFactorLines(text);
  std::string hint = "the factors file \"" + path + "\" has " + decimal(lines) +
                     (lines == 1 ? " factor line" : " factor lines");
  for (const FactorsFileNote& note : checkFactorsFile(text, 0)) {
    if (note.uncounted) hint += " (line " + decimal(note.line) + " looks like one but has a blank before \"=\")";
  }
  return hint + "; does it belong to this data file?";
}

int factorLinesNeeded(const FactorDecision& decision) {
  return decision.hasInteraction ? 2 : decision.factorCount;
}

std::vector<std::vector<float>> factorValueRows(const std::vector<std::vector<float>>& lines, int populationCount,
                                                const FactorDecision& decision) {
  const int needed = factorLinesNeeded(decision);
  std::vector<float> empty(static_cast<std::size_t>(std::max(0, decision.factorCount)) + 1, 0.0f);
  for (int f = 0; f < needed && f < static_cast<int>(empty.size()); ++f)
    empty[static_cast<std::size_t>(f)] = std::numeric_limits<float>::quiet_NaN();
  std::vector<std::vector<float>> rows(static_cast<std::size_t>(std::max(0, populationCount)), empty);
  storeFactorValues(rows, lines, decision.hasInteraction);
  return rows;
}

void storeFactorValues(std::vector<std::vector<float>>& factorValues, const std::vector<std::vector<float>>& lines,
                       bool hasInteraction) {
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::size_t populations = std::min(lines[n].size(), factorValues.size());
    for (std::size_t p = 0; p < populations; ++p) {
      if (n < factorValues[p].size()) factorValues[p][n] = lines[n][p];
    }
  }
  if (!hasInteraction) return;
  for (auto& row : factorValues) {
    if (row.size() >= 3) row[2] = row[0] * row[1];
  }
}

FactorDecision decideFactorCount(int factorMode, const std::function<int()>& countLines,
                                 const std::function<bool()>& askInteraction) {
  switch (factorMode) {
    case -1: {
      const int count = countLines ? countLines() : 0;
      if (count == 2 && (!askInteraction || askInteraction())) return {3, true};
      return {count, false};
    }
    case 0:
      return {2, false};
    case 1:
      return {3, true};
    default:
      return {0, false};
  }
}

int parseFactorModeArgument(std::string_view arg) {
  std::size_t i = 0;
  while (i < arg.size() && isBlank(arg[i])) ++i;
  bool negative = false;
  if (i < arg.size() && (arg[i] == '+' || arg[i] == '-')) negative = arg[i++] == '-';
  // Accumulated as a magnitude one past the int range, then clamped.
  constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
  long long magnitude = 0;
  for (; i < arg.size() && isDigit(arg[i]); ++i) magnitude = std::min(magnitude * 10 + (arg[i] - '0'), kLimit);
  const long long value = negative ? -magnitude : magnitude;
  return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::optional<std::string> readTextFile(const std::string& path, std::string* error, std::size_t maxBytes) {
  auto fail = [&](const std::string& reason) -> std::optional<std::string> {
    if (error) *error = quoted(path) + " cannot be read: " + reason;
    return std::nullopt;
  };
  if (path.empty()) return fail("no file name");
  // a FIFO or a device is refused, never waited on
  OpenedInput opened = openInputFile(path, "text file");
  if (opened.fd < 0) {
    if (error) *error = std::move(opened.refusal);
    return std::nullopt;
  }
  std::FILE* file = ::fdopen(opened.fd, "rb");
  if (!file) {
    const int fdopenErrno = errno;
    ::close(opened.fd);
    return fail(std::strerror(fdopenErrno));
  }
  std::string text;
  // a large file is read into its room at once, not into a string grown and copied as it goes
  const auto size = static_cast<std::uintmax_t>(opened.size);
  if (size <= maxBytes) text.reserve(static_cast<std::size_t>(size));
  char block[65536];
  bool tooLarge = false;
  for (;;) {
    const std::size_t got = std::fread(block, 1, sizeof block, file);
    if (got == 0) break;
    if (text.size() + got > maxBytes) {
      tooLarge = true;
      break;
    }
    text.append(block, got);
  }
  const bool readError = std::ferror(file) != 0;
  const int readErrno = errno;
  std::fclose(file);
  if (tooLarge) {
    char limit[24];
    const auto end = std::to_chars(limit, limit + sizeof limit, maxBytes).ptr;
    return fail("larger than " + std::string(limit, end) + " bytes");
  }
  if (readError) return fail(std::strerror(readErrno));
  return text;
}

std::vector<std::string> modelChooserEntries(int factorCount, bool hasInteraction) {
  // Model numbers beyond the counted slots could never be chosen with any rows.
  const int models = std::min(modelCount(factorCount, hasInteraction), kModelSlots);
  std::vector<std::string> entries;
  entries.reserve(static_cast<std::size_t>(models) + 1);
  entries.emplace_back("All");
  for (int m = 1; m <= models; ++m) {
    char digits[12];
    entries.emplace_back(digits, std::to_chars(digits, digits + sizeof digits, m).ptr);
  }
  return entries;
}

}  // namespace varno
