// The lines of another sampler's trace that are not rows of numbers: comment lines, a bracketed
// first line and a header of column names, and the delimiter the file uses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varno {

// A line whose first non-blank character is "#": sampler settings, adaptation or timing notes.
bool isCommentLine(std::string_view line);

// A line that, blanks aside, starts with "[" and ends with "]" ("[ID: 9409050143]").
bool isBracketedLine(std::string_view line);

// A line of blanks only.
bool isBlankLine(std::string_view line);

// Whether the line holds a comma outside double quotes: then the file is comma-separated.
bool hasDelimitingComma(std::string_view line);

// Whether the line holds a tab outside double quotes (a second delimiter in a comma-separated line).
bool hasTabOutsideQuotes(std::string_view line);

// The fields of a header line: between commas (csv) or runs of blanks and tabs, blanks around a
// field dropped, and a field in double quotes taken without them ("" inside stands for one ").
std::vector<std::string> headerFields(std::string_view line, bool csv);

}  // namespace varno
