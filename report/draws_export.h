// The export of the retained draws: the draws the figures use, one line per draw, in the layout
// that R's and Python's analysis libraries read as draws of several chains.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/progress.h"
#include "report/output_target.h"
#include "stats/chain_rows.h"

namespace varno {

struct DrawsExportInput {
  std::vector<ChainRows> chains;
  std::vector<std::string> columnNames;  // the column chooser's names, one per column
  int modelColumn = -1;  // fst files: the 0-based model column; -1: no model filter applies
  int modelFilter = 0;   // 0: all rows; m: only the rows whose model number is m
  int thin = 1;          // every thin-th draw of each chain, from its first
};

struct DrawsExport {
  std::string text;
  long long draws = 0;
  std::string error;       // set when a chain lacks columns the names name, or thin < 1
};

// Tab-separated: the header ".chain", ".iteration", ".draw" and the column names, then one line
// per draw: chain number (1 ..), position among the chain's exported draws (1 ..), position among
// all (1 ..), and the cells as the shortest texts that read back as the same floats ("NaN",
// "Inf", "-Inf" for those). Chain 1's draws come first, then chain 2's, and so on. `progress` goes
// by the rows passed; a cancel ends the work with WorkCancelled.
DrawsExport exportDraws(const DrawsExportInput& input, Progress& progress = Progress::unwatched());

// exportDraws written whole (or not at all) to `path`; refused, before anything is computed, when
// `path` is one of `inputs`. Returns a message saying what went wrong, or nothing; a cancel ends it
// with WorkCancelled and no file written.
std::optional<std::string> writeDrawsExport(const std::string& path, const DrawsExportInput& input,
                                            const std::vector<InputFile>& inputs, long long* draws = nullptr,
                                            Progress& progress = Progress::unwatched());

}  // namespace varno
