// Traces in the CODA format: an index file whose lines are "name first last", and one chain file
// per chain whose lines are "iteration value"; lines first..last of every chain file are the
// draws of that name.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/progress.h"
#include "core/sample_table.h"

namespace varno {

struct CodaChain {
  std::string fileName;
  // column 1 "Iteration", then one column per name of the index, in its order; rows aligned by
  // iteration number
  std::shared_ptr<SampleTable> table;
};

struct CodaReadResult {
  std::vector<CodaChain> chains;  // empty when refused
  std::string error;              // names the file, the line and the fault
};

// Whether a data file is a CODA index rather than a trace: its name holds "index" and ends in
// ".txt" (in any case), and its first line that is not blank is a name and two whole numbers. A
// trace that happens to be named so is read as a trace.
bool isCodaIndex(const std::string& path);

// The chain files beside an index: its file name with the last "index" replaced by "chain1",
// "chain2", ... ("CODAindex.txt" -> "CODAchain1.txt"), as long as they exist.
std::vector<std::string> codaChainFiles(const std::string& indexPath);

// The chain files of an index for a run that names some: those beside it, then the named ones
// (a named one that is already beside it is left for repeatedChainFile to refuse).
std::vector<std::string> codaChainFiles(const std::string& indexPath, const std::vector<std::string>& named);

// Reads the index and each chain file into one table per chain. Refused, naming the file, the line
// and the fault: a chain file named twice (under any name), an index line that is not a name and
// two whole line numbers (1 <= first <= last), a range beyond the lines of a chain file, a line of a range that is not an iteration number and
// a value, and a name whose iteration numbers differ from those of the first name in a chain (a
// name monitored from a later iteration or thinned differently is not filled in). A cancel asked of
// `progress` ends the reading with WorkCancelled.
CodaReadResult readCoda(const std::string& indexPath, const std::vector<std::string>& chainPaths,
                        Progress& progress = Progress::unwatched());

// The index and the chain files beside it; refused when there is none.
CodaReadResult readCoda(const std::string& indexPath, Progress& progress = Progress::unwatched());

}  // namespace varno
