// Where a chain of an analysis was read from and what following that file needs: for a file of
// rows, the point its reading left off; for a chain of a CODA set, written name by name rather
// than row by row, how its files stood, since any change means reading the set anew.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/data_file_reader.h"
#include "core/file_kind.h"
#include "core/file_stamp.h"

namespace varno {

struct ChainSource {
  std::string file;  // the chain's file (a CODA chain: its chain file)
  FileKind kind = FileKind::other;
  // a file of rows: where reading goes on (DataFileReadResult::readOn)
  std::optional<ReadOnPoint> readOn;
  // a CODA chain: its index and its chain file, each with its stamp as it was before reading
  // (nothing: it could not be stamped, and any stamp later differs)
  std::vector<std::pair<std::string, std::optional<FileStamp>>> stamps;
  // fst files: what the refusal of a model column that does not fit the factors adds (what to
  // check), as opening words it for this chain
  std::string modelHint;

  bool coda() const { return !readOn.has_value(); }
};

}  // namespace varno
