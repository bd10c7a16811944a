// The record of how a result was made: the program, the bytes of every input, the rows, model and
// factors used, and the varno-report command line that makes the same result again.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/factors_file.h"
#include "report/file_digest.h"

namespace varno {

struct RecordedInput {
  std::string role;  // "data", "factors" or "chain" (a further chain, in order)
  std::string path;  // absolute
  FileDigest digest;
};

struct ProvenanceRecord {
  std::string program;  // the program that made the result
  std::string version;
  std::vector<RecordedInput> inputs;
  int chains = 1;
  long long rowCount = 0, burnIn = 0, burnOut = 0;  // rows of every chain together; burn-in and out of each
  int modelFilter = 0;  // 0: all models
  int factorMode = -1;
  FactorDecision decision;
  // Where a rule set the burn-in: its name and the 1-based column (with its name) and chain that
  // set it; none of them when the rule gave no burn-in (burnIn is then 0).
  struct BurnInRule {
    std::string rule;
    std::optional<int> column, chain;
    std::string columnName;
  };
  std::optional<BurnInRule> burnInRule;
  // Where each chain has a burn-in of its own (a share of its rows): every chain's, chain 1 first;
  // burnIn is then chain 1's. Empty: every chain's is burnIn.
  std::vector<long long> chainBurnIns;
  std::optional<int> levelPercent;        // where a level applies
  std::optional<int> bandwidthPosition;   // where a bandwidth applies
  std::vector<std::string> outputs;       // absolute paths of what was written
  std::vector<std::string> command;       // the equivalent varno-report command, word by word; none: empty
};

// The record as JSON, with a trailing newline.
std::string provenanceJson(const ProvenanceRecord& record);

// The words as one POSIX shell command line: a word with anything but safe characters is quoted.
std::string shellCommandLine(const std::vector<std::string>& words);

// The absolute, normalised form of a path, for a record that holds wherever it is read.
std::string absolutePath(const std::string& path);

// The record's path beside a report: its extension (if any) replaced by ".json".
std::string recordPathBeside(const std::string& reportPath);

// The inputs' entries: each file's size and checksum, or nothing and `why`.
std::optional<RecordedInput> recordedInput(const std::string& role, const std::string& path, std::string* why);

}  // namespace varno
