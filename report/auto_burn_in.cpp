// Taking the suggested burn-in for the tool.
#include "report/auto_burn_in.h"

#include <thread>

#include "core/number_token.h"
#include "core/text_pieces.h"
#include "report/burn_in_texts.h"
#include "report/named_column.h"
#include "report/open_analysis.h"
#include "report/summary_table.h"
#include "stats/burn_in_suggestion.h"

namespace varno {

std::string autoBurnInText(const AutoBurnIn& request) {
  return request.column.empty() ? std::string("auto") : std::string("auto:").append(request.column);
}

std::optional<RunError> takeSuggestedBurnIn(const AutoBurnIn& request, const std::string& dataPath, long long burnOut,
                                            const TableLayout& layout, const std::vector<std::string>& chainFiles,
                                            std::vector<ChainRows>& chains, std::vector<std::string>& warnings) {
  const SampleTable& first = *chains.front().table;
  BurnInSource source;
  if (!request.column.empty()) {
    int column = 0;
    if (const std::optional<long long> number = wholeNumberToken(request.column)) {
      if (*number < 1 || *number > first.columnCount())
        return RunError{"--burn-in " + autoBurnInText(request) + ": column " + request.column + " does not exist: " +
                            quoted(dataPath) + " has " + counted(first.columnCount(), "column", "columns"),
                        true};
      column = static_cast<int>(*number);
    } else if (auto error = namedColumn("--burn-in auto:", dataPath, first, layout, request.column, column)) {
      return error;
    }
    source.column = column - 1;
  }
  const unsigned cores = std::thread::hardware_concurrency();
  const BurnInSuggestion suggestion = suggestBurnIn(chains, layout, source, cores == 0 ? 2 : static_cast<int>(cores));
  const int chainCount = static_cast<int>(chains.size());
  TakenBurnIn taken;
  taken.suggestion = suggestion.analysis;
  if (taken.suggestion.suggested) {
    const std::vector<std::string> names = summaryColumnNames(first, layout);
    taken.setBy = names.at(static_cast<std::size_t>(taken.suggestion.column));
    taken.line = suggestedBurnInLine(taken.suggestion, names, chainCount);
  } else {
    warnings.push_back(noBurnInSuggestedWarning(taken.suggestion, chainCount));
  }
  if (request.taken) request.taken(taken);
  return setChainBurnIns(std::vector<long long>(chains.size(), taken.suggestion.rows), burnOut, dataPath, chainFiles,
                         chains);
}

}  // namespace varno
