// The texts of following: its status line and the rows of a result.
#include "report/following_texts.h"

#include "core/read_notes.h"

namespace varno {

std::string followingStatus(int chains, long long rows, long long addedInLastMinute) {
  return "following " + groupedCount(chains, "chain", "chains") + ": " + groupedCount(rows, "row", "rows") + ", +" +
         grouped(addedInLastMinute) + " in the last minute";
}

namespace {

std::string span(const RowRange& rows) {
  if (rows.count() == 0) return "none";
  return grouped(static_cast<long long>(rows.begin) + 1) + "\u2013" + grouped(rows.end);
}

}  // namespace

std::string rowsDescribed(const std::vector<ChainRows>& chains) {
  if (chains.empty()) return {};
  if (chains.size() == 1) return chains.front().rows.count() == 0 ? "no rows" : "rows " + span(chains.front().rows);
  bool alike = true;
  for (const ChainRows& chain : chains) alike = alike && chain.rows == chains.front().rows;
  const std::string count = std::to_string(chains.size());
  if (alike) return "rows " + span(chains.front().rows) + " of each of the " + count + " chains";
  std::string text = "rows ";
  for (std::size_t c = 0; c < chains.size(); ++c) text += (c ? ", " : "") + span(chains[c].rows);
  return text + " of the " + count + " chains";
}

}  // namespace varno
