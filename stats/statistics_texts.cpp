// The texts of the Statistics box.
#include "stats/statistics_texts.h"

#include "stats/number_format.h"

namespace varno {

StatisticsTexts statisticsTexts(const ColumnStatistics& s) {
  StatisticsTexts t;
  t.mean = generalFormat(s.mean, 6);
  t.variance = generalFormat(s.variance, 6);
  t.min = generalFormat(s.min, 6);
  t.max = generalFormat(s.max, 6);
  t.mode = generalFormat(s.mode, 6);
  // appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a chain of + here
  t.hpdi.append("[").append(generalFormat(s.hpdiLow, 4)).append(" ; ");
  t.hpdi.append(generalFormat(s.hpdiHigh, 4)).append("]");
  t.width = generalFormat(s.width, 6);
  t.accuracy = generalFormat(s.accuracy, 4);
  t.lambda = generalFormat(s.bandwidth, 6);
  return t;
}

namespace {

std::string plusMinus(std::optional<double> mcse) {
  if (!mcse) return "NA";
  return std::string("\u00b1 ").append(formatG3(*mcse));
}

}  // namespace

std::string mcseLine(const McseFigures& mcse) {
  std::string line = "MCSE: mean ";
  line.append(plusMinus(mcse.mean)).append(", HPDI limits ");
  if (!mcse.hpdiLow && !mcse.hpdiHigh) return line.append("NA");
  return line.append("\u2265 ").append(plusMinus(mcse.hpdiLow)).append(" and ").append(plusMinus(mcse.hpdiHigh));
}

}  // namespace varno
