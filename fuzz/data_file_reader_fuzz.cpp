// Fuzzes the data file reader: any bytes give a consistent table or a refusal naming the file, and
// the threaded reading of small blocks gives the same result as the default reading.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/data_file_reader.h"
#include "fuzz_files.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void checkResult(const varno::DataFileReadResult& r, const std::string& path, std::string_view bytes) {
  if (!r.table) {
    check(!r.error.empty());
    check(r.error.find(path) != std::string::npos);
    check(!r.stoppedEarly);
    return;
  }
  check(r.error.empty());
  const varno::SampleTable& t = *r.table;
  check(t.rowCount() >= 1 && t.columnCount() >= 1);
  // every cell takes at least one character and one separator
  check(t.cellCount() <= (bytes.size() + 1) / 2);
  check(t.stride() >= static_cast<std::size_t>(t.rowCount()));
  const long long lines = std::count(bytes.begin(), bytes.end(), '\n') + 1;
  check(t.rowCount() <= lines);
  for (int c = 0; c < t.columnCount(); ++c)
    for (float v : t.column(c)) check(std::isfinite(v));
  if (r.stoppedEarly) {
    check(r.stoppedEarly->line > t.rowCount() && r.stoppedEarly->line <= lines);
    check(!r.stoppedEarly->reason.empty());
  }
}

bool sameResult(const varno::DataFileReadResult& a, const varno::DataFileReadResult& b) {
  if (a.error != b.error || bool(a.table) != bool(b.table) || bool(a.stoppedEarly) != bool(b.stoppedEarly))
    return false;
  if (a.stoppedEarly && (a.stoppedEarly->line != b.stoppedEarly->line || a.stoppedEarly->reason != b.stoppedEarly->reason))
    return false;
  if (!a.table) return true;
  const varno::SampleTable &x = *a.table, &y = *b.table;
  if (x.rowCount() != y.rowCount() || x.columnCount() != y.columnCount()) return false;
  for (int c = 0; c < x.columnCount(); ++c)
    if (std::memcmp(x.columnData(c), y.columnData(c), sizeof(float) * x.rowCount()) != 0) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = varno::fuzz::writeScratch("input.ml", bytes);
  varno::Progress progress;  // watched: the reader takes its reporting path
  const varno::DataFileReadResult plain = varno::readDataFile(path, progress);
  checkResult(plain, path, bytes);
  check(progress.fraction() == 1);
  // blocks of 3 bytes over 3 threads put block and share seams inside every line
  const varno::DataFileReadResult seams = varno::readDataFile(path, varno::ReadTuning{3, 1, 3});
  check(sameResult(plain, seams));
  return 0;
}
