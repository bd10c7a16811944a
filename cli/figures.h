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

// The files the figures of a run go to, checked before anything of the run is written: the folder
// must be one or be possible to make, and no figure may land on an input of the run or on one of
// `otherOutputs` (the report, the record). Without columnCount (the data file not read yet) the
// main chart's figure is checked only when options.column names its column.
std::optional<RunError> figureTargets(const UnattendedOptions& run, const FigureOptions& options,
                                      std::optional<int> columnCount, const std::vector<std::string>& otherOutputs,
                                      std::vector<std::string>& paths);

// Writes the figures of a run into options.folder (made when missing), each whole or not at all,
// never onto the data or factors file. Needs no display.
FiguresResult writeFigures(const UnattendedCharts& charts, const UnattendedOptions& run,
                           const FigureOptions& options);

}  // namespace varno
