// Whether a data file can be a further chain of an analysis: same kind, same columns.
#pragma once

#include <optional>
#include <string>

namespace varno {

// Nothing when `chainPath` with `chainColumns` columns can be added to the analysis whose first
// chain is `firstPath` with `firstColumns` columns; otherwise why not, naming both files and both
// kinds or both column counts.
std::optional<std::string> chainMismatch(const std::string& firstPath, int firstColumns, const std::string& chainPath,
                                         int chainColumns);

// The same check on the kinds alone, before the chain is read.
std::optional<std::string> chainKindMismatch(const std::string& firstPath, const std::string& chainPath);

}  // namespace varno
