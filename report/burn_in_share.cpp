// A burn-in of a share of each chain's rows.
#include "report/burn_in_share.h"

#include "report/open_analysis.h"

namespace varno {

std::optional<BurnInShare> parseBurnInShare(std::string_view text) {
  if (text.size() < 2 || text.back() != '%') return std::nullopt;
  const std::string_view number = text.substr(0, text.size() - 1);
  BurnInShare share{std::string(text), 0, 0};
  bool point = false, digits = false;
  for (char c : number) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      digits = true;
      if (point && ++share.decimals > 6) return std::nullopt;
      share.scaled = share.scaled * 10 + (c - '0');
      if (share.scaled >= 100'000'000'000) return std::nullopt;  // far beyond 100
    } else {
      return std::nullopt;
    }
  }
  long long hundred = 100;
  for (int d = 0; d < share.decimals; ++d) hundred *= 10;
  if (!digits || share.scaled >= hundred) return std::nullopt;
  return share;
}

long long burnInShareRows(const BurnInShare& share, long long rowCount) {
  long long denominator = 100;
  for (int d = 0; d < share.decimals; ++d) denominator *= 10;
  // below 100% of at most INT_MAX rows, times at most 10^8: well inside a long long
  return share.scaled * rowCount / denominator;
}

std::optional<RunError> takeBurnInShare(const BurnInShare& share, const std::string& dataPath, long long burnOut,
                                        const std::vector<std::string>& chainFiles, std::vector<ChainRows>& chains) {
  std::vector<long long> burnIns;
  for (const ChainRows& chain : chains) burnIns.push_back(burnInShareRows(share, chain.table->rowCount()));
  return setChainBurnIns(burnIns, burnOut, dataPath, chainFiles, chains);
}

}  // namespace varno
