// Notes on an accepted read: a partial read and rows with extra numbers.
#include "core/read_notes.h"

#include <charconv>

namespace varno {

std::string grouped(long long n) {
  char digits[24];
  const std::string text(digits, std::to_chars(digits, digits + sizeof digits, n < 0 ? -n : n).ptr);
  std::string out = n < 0 ? "-" : "";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i > 0 && (text.size() - i) % 3 == 0) out += ',';
    out += text[i];
  }
  return out;
}

std::string groupedCount(long long n, const char* one, const char* many) {
  return grouped(n) + " " + (n == 1 ? one : many);
}

std::vector<std::string> readNotes(const DataFileReadResult& read) {
  std::vector<std::string> notes;
  if (read.stoppedEarly) {
    const long long kept = read.table ? read.table->rowCount() : 0;
    notes.push_back("reading stopped at line " + grouped(read.stoppedEarly->line) + ": " +
                    read.stoppedEarly->reason + "; only the " + groupedCount(kept, "row", "rows") +
                    " before it " + (kept == 1 ? "is" : "are") + " used");
  }
  if (read.extraNumbers) {
    const long long rows = read.extraNumbers->rows;
    notes.push_back(rows == 1 ? "1 row holds more numbers than the first row, at line " +
                                    grouped(read.extraNumbers->firstLine) + "; its extra numbers are not read"
                              : groupedCount(rows, "row", "rows") +
                                    " hold more numbers than the first row, the first at line " +
                                    grouped(read.extraNumbers->firstLine) + "; their extra numbers are not read");
  }
  return notes;
}

}  // namespace varno
