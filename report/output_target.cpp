// Telling whether an output would land on an input file, by device and inode.
#include "report/output_target.h"

#include <sys/stat.h>

#include "core/coda_reader.h"
#include "core/text_pieces.h"

namespace varno {

std::vector<InputFile> analysisInputs(const AnalysisState& state) {
  std::vector<InputFile> inputs{{"data file", state.dataFileName}, {"factors file", state.factorFileName}};
  // chain 1 is the data file itself unless an index named it
  for (std::size_t c = state.chainsFromIndex() ? 0 : 1; c < state.chains.size(); ++c)
    inputs.push_back({"data file of chain " + decimal(static_cast<long long>(c) + 1), state.chains[c].fileName});
  return inputs;
}

std::vector<InputFile> runInputs(const std::string& dataPath, const std::string& factorsPath,
                                 const std::vector<std::string>& chainPaths) {
  std::vector<InputFile> inputs{{"data file", dataPath}, {"factors file", factorsPath}};
  const bool index = isCodaIndex(dataPath);
  const std::vector<std::string> chains = index ? codaChainFiles(dataPath, chainPaths) : chainPaths;
  for (std::size_t c = 0; c < chains.size(); ++c)
    inputs.push_back({"data file of chain " + decimal(static_cast<long long>(c) + (index ? 1 : 2)), chains[c]});
  return inputs;
}

std::optional<std::string> inputFileTargeted(const std::string& target, const std::vector<InputFile>& inputs) {
  struct stat out {};
  // stat follows links, as the writing does
  if (target.empty() || stat(target.c_str(), &out) != 0) return std::nullopt;
  for (const InputFile& input : inputs) {
    struct stat in {};
    if (input.path.empty() || stat(input.path.c_str(), &in) != 0) continue;
    if (in.st_dev != out.st_dev || in.st_ino != out.st_ino) continue;
    std::string message = quoted(target) + " is the " + input.role + " of the analysis";
    if (input.path != target) message += " (\"" + input.path + "\" under another name)";
    return message + ": writing there would destroy it; choose another name";
  }
  return std::nullopt;
}

}  // namespace varno
