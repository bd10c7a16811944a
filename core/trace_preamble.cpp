// Comment lines, bracketed lines and header fields of another sampler's trace.
#include "core/trace_preamble.h"

#include "core/text_pieces.h"

namespace varno {

namespace {

std::string_view trimmed(std::string_view line) {
  while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
  return line;
}

// Whether `wanted` occurs in the line outside double quotes.
bool outsideQuotes(std::string_view line, char wanted) {
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    else if (c == wanted && !quoted) return true;
  }
  return false;
}

}  // namespace

bool isCommentLine(std::string_view line) {
  const std::string_view t = trimmed(line);
  return !t.empty() && t.front() == '#';
}

bool isBracketedLine(std::string_view line) {
  const std::string_view t = trimmed(line);
  return t.size() >= 2 && t.front() == '[' && t.back() == ']';
}

bool isBlankLine(std::string_view line) { return trimmed(line).empty(); }

bool hasDelimitingComma(std::string_view line) { return outsideQuotes(line, ','); }

bool hasTabOutsideQuotes(std::string_view line) { return outsideQuotes(line, '\t'); }

std::vector<std::string> headerFields(std::string_view line, bool csv) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  const std::size_t n = line.size();
  const auto skipBlanks = [&] {
    while (i < n && isBlank(line[i])) ++i;
  };
  skipBlanks();
  if (!csv && i == n) return fields;
  for (;;) {
    std::string field;
    if (i < n && line[i] == '"') {
      for (++i; i < n; ++i) {
        if (line[i] != '"') {
          field += line[i];
        } else if (i + 1 < n && line[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
      // text after the closing quote belongs to the field as written
      while (i < n && (csv ? line[i] != ',' : !isBlank(line[i]))) field += line[i++];
    } else {
      const std::size_t from = i;
      while (i < n && (csv ? line[i] != ',' : !isBlank(line[i]))) ++i;
      field = std::string(trimmed(line.substr(from, i - from)));
    }
    if (csv) {
      while (!field.empty() && isBlank(field.back())) field.pop_back();
    }
    fields.push_back(std::move(field));
    skipBlanks();
    if (i == n) break;
    if (csv) {
      ++i;  // the comma
      skipBlanks();
    }
  }
  return fields;
}

}  // namespace varno
