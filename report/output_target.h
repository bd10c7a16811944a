// Whether a file about to be written is one of the files the analysis was read from.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/analysis_state.h"

namespace varno {

struct InputFile {
  std::string role;  // what the file is to the analysis: "data file", "factors file"
  std::string path;  // empty: no such file
};

// The data file, the factors file and the data files of the further chains of the open analysis.
std::vector<InputFile> analysisInputs(const AnalysisState& state);

// The inputs of a run of the tool: its data file, factors file and the data files of its chains
// (for an index, the chain files it reads).
std::vector<InputFile> runInputs(const std::string& dataPath, const std::string& factorsPath,
                                 const std::vector<std::string>& chainPaths);

// A message naming the input when writing `target` would replace it: the same file under any
// name (another path, a hard link, a symbolic link), told by its device and inode. Nothing when
// the target is none of them or does not exist yet.
std::optional<std::string> inputFileTargeted(const std::string& target, const std::vector<InputFile>& inputs);

}  // namespace varno
