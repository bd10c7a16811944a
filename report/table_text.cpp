// Tables written as text: tsv, csv and json.
#include "report/table_text.h"

#include <charconv>

#include "report/json_text.h"

namespace varno {

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string exactNumber(const std::optional<double>& value, const char* undefined) {
  if (!value) return undefined;
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, *value).ptr);
}

const char* undefinedText(SummaryFormat format) { return format == SummaryFormat::json ? "null" : "NA"; }

std::string formatTextTable(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows,
                            SummaryFormat format, const std::vector<bool>& textColumns) {
  std::string out;
  if (format == SummaryFormat::json) {
    out += "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const std::vector<std::string>& fields = rows[i];
      out += i == 0 ? "\n  {" : ",\n  {";
      for (std::size_t f = 0; f < fields.size(); ++f) {
        if (f > 0) out += ", ";
        const bool text = f < textColumns.size() && textColumns[f];
        out += jsonString(header[f]) + ": " + (text ? jsonString(fields[f]) : fields[f]);
      }
      out += "}";
    }
    out += rows.empty() ? "]\n" : "\n]\n";
    return out;
  }
  const bool csv = format == SummaryFormat::csv;
  const char* separator = csv ? "," : "\t";
  const char* end = csv ? "\r\n" : "\n";
  auto line = [&](const std::vector<std::string>& fields) {
    for (std::size_t f = 0; f < fields.size(); ++f) {
      if (f > 0) out += separator;
      out += csv ? csvField(fields[f]) : fields[f];
    }
    out += end;
  };
  line(header);
  for (const auto& fields : rows) line(fields);
  return out;
}

}  // namespace varno
