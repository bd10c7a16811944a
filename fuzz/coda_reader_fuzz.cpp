// Fuzzes the CODA reader: the input is an index and a chain file, split at the first NUL byte; any
// bytes give one table per chain, named and sized as the index says, or a refusal naming a file.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/coda_reader.h"
#include "fuzz_files.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = bytes.find('\0');
  const std::string_view indexBytes = bytes.substr(0, cut);
  const std::string_view chainBytes = cut == std::string_view::npos ? std::string_view() : bytes.substr(cut + 1);
  const std::string index = varno::fuzz::writeScratch("CODAindex.txt", indexBytes);
  const std::string chain = varno::fuzz::writeScratch("CODAchain1.txt", chainBytes);
  (void)varno::isCodaIndex(index);
  varno::Progress progress;
  const varno::CodaReadResult r = varno::readCoda(index, {chain, chain}, progress);
  if (r.chains.empty()) {
    check(!r.error.empty());
    check(r.error.find(index) != std::string::npos || r.error.find(chain) != std::string::npos);
    return 0;
  }
  check(r.error.empty() && r.chains.size() == 2);
  check(progress.fraction() == 1);
  const long long lines = static_cast<long long>(std::count(chainBytes.begin(), chainBytes.end(), '\n')) + 1;
  for (const varno::CodaChain& c : r.chains) {
    const varno::SampleTable& t = *c.table;
    check(t.columnCount() >= 2 && static_cast<int>(t.columnNames().size()) == t.columnCount());
    check(t.columnNames().front() == "Iteration");
    check(t.rowCount() >= 1 && t.rowCount() <= lines);
    for (int k = 0; k < t.columnCount(); ++k)
      for (float v : t.column(k)) check(std::isfinite(v));
  }
  return 0;
}
