// The one record of the analysis open in the window.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/file_kind.h"
#include "core/model_numbering.h"
#include "core/sample_table.h"
#include "core/summary_arrays.h"
#include "core/table_layout.h"

namespace varno {

struct AnalysisState {
  // file identity
  std::string dataFileName;
  std::string dataExtension;
  std::string factorFileName;

  // sample table; shared read-only so that a computation can keep using the table it started
  // with while a new load replaces it
  std::shared_ptr<const SampleTable> table;
  int rowCount = 0;
  int columnCount = 0;

  // further chains of the same analysis (chain 1 is `table` above), each read from its own file
  // of the same kind and column count
  struct AddedChain {
    std::string fileName;
    std::shared_ptr<const SampleTable> table;
  };
  std::vector<AddedChain> addedChains;
  // the file chain 1 was read from when the data file only names its chains (a CODA index);
  // empty when chain 1 is the data file itself
  std::string firstChainFileName;

  // regression model of an fst file
  int factorCount = 0;
  bool hasInteraction = false;
  int factorMode = -1;
  int populationCount = 0;
  std::vector<std::vector<float>> factorValues;  // populationCount rows of factorCount + 1

  // summary results
  SummaryArrays fstSummary;          // populationCount entries
  SummaryArrays coefficientSummary;  // factorCount + 1 entries
  std::array<double, kModelSlots> modelProbabilities{};
  int bestModel = 0;
  std::array<double, 4> sigmaSummary{};  // mean, mode, HPDI low, HPDI high

  // shared working values
  int modelFilter = 0;
  double sampleSumSquares = 0;
  int sampleCount = 0;
  std::vector<int> alleleCounts;
  bool reloading = false;
  int reloadColumnIndex = 0;
  bool batchMode = false;

  FileKind kind() const { return fileKindOf(dataExtension); }
  TableLayout layout() const { return {kind(), populationCount, factorCount, hasInteraction}; }

  // Every chain's table, chain 1 first.
  std::vector<std::shared_ptr<const SampleTable>> chainTables() const {
    std::vector<std::shared_ptr<const SampleTable>> tables{table};
    for (const auto& chain : addedChains) tables.push_back(chain.table);
    return tables;
  }
  int chainCount() const { return 1 + static_cast<int>(addedChains.size()); }
  // The file each chain was read from, chain 1 first.
  std::vector<std::string> chainFileNames() const {
    std::vector<std::string> files{firstChainFileName.empty() ? dataFileName : firstChainFileName};
    for (const auto& chain : addedChains) files.push_back(chain.fileName);
    return files;
  }
  // Whether the data file is an index whose reading reads every chain.
  bool chainsFromIndex() const { return !firstChainFileName.empty(); }
};

}  // namespace varno
