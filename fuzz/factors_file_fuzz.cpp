// Fuzzes the factors file: the first byte is the population count, the rest the file's text.
// Factor lines are counted and read alike, values fit the population count, and storing them
// never grows the rows they go into nor writes outside the slots that exist.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/factors_file.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

// The text with every CR LF made a LF, as a text-mode read sees it.
std::string withLineFeeds(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out.push_back(text[i]);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int populations = data[0];
  const bool interaction = data[0] & 1;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  const int count = varno::countFactorLines(text);
  check(count >= 0);
  // Line ends CR LF count as LF (when one conversion leaves no CR LF, as in "\r\r\n", it is final).
  const std::string lf = withLineFeeds(text);
  if (lf.find("\r\n") == std::string::npos) check(count == varno::countFactorLines(lf));
  const auto lines = varno::readFactorLineValues(text, populations);
  check(static_cast<long long>(lines.size()) == count);
  for (const auto& line : lines) {
    check(static_cast<int>(line.size()) <= populations);
    for (float v : line) check(std::isfinite(v));
  }

  // Rows as the catalogue makes them: factorCount + 1 slots, for the decided factor count.
  const varno::FactorDecision decision =
      varno::decideFactorCount(-1, [count] { return count; }, [interaction] { return interaction; });
  check(decision.factorCount == (count == 2 && interaction ? 3 : count));
  const std::size_t slots = static_cast<std::size_t>(decision.factorCount) + 1;
  constexpr float kUntouched = -12345.0f;
  std::vector<std::vector<float>> rows(static_cast<std::size_t>(populations), std::vector<float>(slots, kUntouched));
  varno::storeFactorValues(rows, lines, decision.hasInteraction);
  check(rows.size() == static_cast<std::size_t>(populations));
  for (std::size_t p = 0; p < rows.size(); ++p) {
    check(rows[p].size() == slots);
    for (std::size_t n = 0; n < slots; ++n) {
      if (decision.hasInteraction && n == 2) {
        check(rows[p][2] == rows[p][0] * rows[p][1] || (std::isnan(rows[p][2])));
        continue;
      }
      const bool read = n < lines.size() && p < lines[n].size();
      check(rows[p][n] == (read ? lines[n][p] : kUntouched));
    }
  }

  // A file with more factor lines than slots stores nothing beyond the last slot.
  std::vector<std::vector<float>> narrow(rows.size(), std::vector<float>(1, kUntouched));
  varno::storeFactorValues(narrow, lines, false);
  for (const auto& row : narrow) check(row.size() == 1);

  check(varno::modelChooserEntries(decision.factorCount, decision.hasInteraction).size() >= 2);
  return 0;
}
