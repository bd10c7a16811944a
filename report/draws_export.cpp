// Writing the retained draws of every chain as one tab-separated table.
#include "report/draws_export.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/text_pieces.h"
#include "report/atomic_write.h"

namespace varno {

namespace {

void appendCell(std::string& out, float value) {
  if (std::isnan(value)) {
    out += "NaN";
  } else if (std::isinf(value)) {
    out += value > 0 ? "Inf" : "-Inf";
  } else {
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
  }
}

void appendInteger(std::string& out, long long value) {
  char text[24];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string inputError(const DrawsExportInput& in) {
  if (in.thin < 1) return concat("the thinning step ", decimal(in.thin), " is not a positive whole number");
  const long long columns = static_cast<long long>(in.columnNames.size());
  for (std::size_t c = 0; c < in.chains.size(); ++c) {
    const long long have = in.chains[c].table ? in.chains[c].table->columnCount() : 0;
    if (have < columns || in.modelColumn >= have)
      return concat("chain ", decimal(static_cast<long long>(c) + 1), " has ", decimal(have), " columns, ",
                    decimal(columns), " expected");
  }
  return {};
}

}  // namespace

DrawsExport exportDraws(const DrawsExportInput& in, const std::atomic<bool>* cancel) {
  DrawsExport result;
  result.error = inputError(in);
  if (!result.error.empty()) return result;
  std::string& out = result.text;
  out += ".chain\t.iteration\t.draw";
  for (const std::string& name : in.columnNames) out += '\t' + name;
  out += '\n';
  const int columns = static_cast<int>(in.columnNames.size());
  const bool filtered = in.modelColumn >= 0 && in.modelFilter != 0;
  for (std::size_t c = 0; c < in.chains.size(); ++c) {
    const SampleTable& table = *in.chains[c].table;
    const int begin = std::max(in.chains[c].rows.begin, 0);
    const int end = std::min(in.chains[c].rows.end, table.rowCount());
    long long passed = 0, iteration = 0;
    for (int r = begin; r < end; ++r) {
      // the model filter compares the stored number exactly, as the figures do
      if (filtered && static_cast<double>(table.cell(in.modelColumn, r)) != in.modelFilter) continue;
      if (passed++ % in.thin != 0) continue;
      if (cancel && (r & 1023) == 0 && cancel->load(std::memory_order_relaxed)) {
        result.cancelled = true;
        return result;
      }
      appendInteger(out, static_cast<long long>(c) + 1);
      out += '\t';
      appendInteger(out, ++iteration);
      out += '\t';
      appendInteger(out, ++result.draws);
      for (int col = 0; col < columns; ++col) {
        out += '\t';
        appendCell(out, table.cell(col, r));
      }
      out += '\n';
    }
  }
  return result;
}

std::optional<std::string> writeDrawsExport(const std::string& path, const DrawsExportInput& input,
                                            const std::vector<InputFile>& inputs, long long* draws,
                                            const std::atomic<bool>* cancel) {
  if (auto targeted = inputFileTargeted(path, inputs)) return targeted;
  DrawsExport exported = exportDraws(input, cancel);
  if (!exported.error.empty()) return exported.error;
  if (exported.cancelled) return std::string("the export was cancelled");
  if (draws) *draws = exported.draws;
  return writeFileAtomically(path, exported.text);
}

}  // namespace varno
