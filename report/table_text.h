// Tables written as text for other programs: tab- or comma-separated with a header, or JSON.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varno {

enum class SummaryFormat { tsv, csv, json };

// The shortest text that reads back as the same double, or `undefined` for nothing.
std::string exactNumber(const std::optional<double>& value, const char* undefined);

// One field of a csv row, quoted where RFC 4180 needs it.
std::string csvField(const std::string& text);

// The text NA stands for in a format: "NA", or null in json.
const char* undefinedText(SummaryFormat format);

// tsv: tab-separated with a header line; csv: RFC 4180 (CRLF, quoted where needed) with a header
// row; json: an array of objects with the header's keys, the fields of the columns marked in
// `textColumns` as strings and the others as they are (numbers, null).
std::string formatTextTable(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows,
                            SummaryFormat format, const std::vector<bool>& textColumns);

}  // namespace varno
