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

  // The chains of the analysis, chain 1 first, each read from its own file of the same kind and
  // column count; one chain is a list of one, and no file open none. Tables are shared read-only
  // so that a computation can keep using the tables it started with while a new load replaces them.
  struct Chain {
    std::string fileName;
    std::shared_ptr<const SampleTable> table;
  };
  std::vector<Chain> chains;
  int columnCount = 0;  // of every chain

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

  bool open() const { return !chains.empty(); }
  // Chain 1's table: the one the column catalogue and the column names are read from.
  const std::shared_ptr<const SampleTable>& firstTable() const { return chains.front().table; }
  // Every chain's table, chain 1 first.
  std::vector<std::shared_ptr<const SampleTable>> chainTables() const {
    std::vector<std::shared_ptr<const SampleTable>> tables;
    for (const auto& chain : chains) tables.push_back(chain.table);
    return tables;
  }
  int chainCount() const { return static_cast<int>(chains.size()); }
  // The file each chain was read from, chain 1 first.
  std::vector<std::string> chainFileNames() const {
    std::vector<std::string> files;
    for (const auto& chain : chains) files.push_back(chain.fileName);
    return files;
  }
  // Whether the data file is an index whose reading reads every chain: chain 1 is then a file it names.
  bool chainsFromIndex() const { return open() && chains.front().fileName != dataFileName; }
};

}  // namespace varno
