// The chains table and the draws export of the headless tool.
#include "report/chain_outputs.h"

#include <thread>

#include "core/text_pieces.h"
#include "report/draws_export.h"
#include "report/output_target.h"
#include "report/summary_table.h"

namespace varno {

ChainsTableResult runChainsTable(const ChainsTableOptions& options, Progress& progress) {
  ChainsTableResult result;
  if (fileKindOf(lowerCasedExtension(options.dataPath)) != FileKind::fst) {
    result.error = RunError{"--chains-table needs an .fst data file, not " + quoted(options.dataPath), true};
    return result;
  }
  OpenedAnalysis data;
  if (auto error = openAnalysis(options, data, result.warnings, progress)) {
    result.error = std::move(*error);
    return result;
  }
  const unsigned cores = std::thread::hardware_concurrency();
  const ChainComparison comparison =
      compareChains(data.chains, data.layout, options.modelFilter, cores == 0 ? 2 : static_cast<int>(cores), progress);
  if (!comparison.error.empty()) {
    result.error = RunError{quoted(options.dataPath) + ": " + comparison.error};
    return result;
  }
  result.text = formatChainsTable(comparison, options.format);
  return result;
}

DrawsExportResult runDrawsExport(const DrawsExportOptions& options, Progress& progress) {
  DrawsExportResult result;
  const std::vector<InputFile> inputs = runInputs(options.dataPath, options.factorsPath, options.chainPaths);
  if (auto why = inputFileTargeted(options.outputPath, inputs)) {
    result.error = RunError{"--export-draws: " + *why, true};
    return result;
  }
  OpenedAnalysis data;
  if (auto error = openAnalysis(options, data, result.warnings, progress)) {
    result.error = std::move(*error);
    return result;
  }
  DrawsExportInput input;
  input.chains = data.chains;
  input.columnNames = summaryColumnNames(*data.chains.front().table, data.layout);
  input.modelColumn = data.layout.modelColumn();
  input.modelFilter = options.modelFilter;
  input.thin = options.thin;
  if (auto error = writeDrawsExport(options.outputPath, input, inputs, &result.draws, progress)) result.error = RunError{*error};
  return result;
}

}  // namespace varno
