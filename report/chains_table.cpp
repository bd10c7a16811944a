// The chains table as tsv, csv or json.
#include "report/chains_table.h"

#include "core/text_pieces.h"

namespace varno {

std::vector<std::string> chainsTableHeader(int chainCount) {
  std::vector<std::string> header{"quantity"};
  for (int c = 1; c <= chainCount; ++c) header.push_back(concat("chain", decimal(c)));
  header.push_back("pooled");
  header.push_back("rhat");
  return header;
}

std::string formatChainsTable(const ChainComparison& comparison, SummaryFormat format) {
  const char* undefined = undefinedText(format);
  std::vector<std::vector<std::string>> fields;
  fields.reserve(comparison.rows.size());
  for (const ChainComparisonRow& row : comparison.rows) {
    std::vector<std::string> line{row.name};
    for (const auto& value : row.chains) line.push_back(exactNumber(value, undefined));
    line.push_back(exactNumber(row.pooled, undefined));
    line.push_back(exactNumber(row.rhat, undefined));
    fields.push_back(std::move(line));
  }
  const std::vector<std::string> header = chainsTableHeader(comparison.chainCount);
  std::vector<bool> text(header.size(), false);
  text[0] = true;
  return formatTextTable(header, fields, format, text);
}

}  // namespace varno
