// The tool's figures: the Summary page's four charts and the main chart of one column, drawn by
// the window's own chart code on the offscreen platform.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/figure_options.h"
#include "report/unattended_run.h"

namespace varno {

struct FiguresResult {
  std::vector<std::string> paths;  // the files written, in order
  std::optional<RunError> error;
};

// Writes the figures of a run into options.folder (made when missing), each whole or not at all,
// never onto the data or factors file. Needs no display.
FiguresResult writeFigures(const UnattendedCharts& charts, const UnattendedOptions& run,
                           const FigureOptions& options);

}  // namespace varno
