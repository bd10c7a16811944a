// What an open flow may change before its file is read; put back when the file is refused, so the
// analysis that was open stays exactly as it was.
#pragma once

#include <QString>
#include <string>

#include "core/summary_arrays.h"

namespace varno {

class TForm3;

class OpenFlowSnapshot {
 public:
  explicit OpenFlowSnapshot(const TForm3& form);
  void restore(TForm3& form) const;

 private:
  std::string dataFileName_, dataExtension_, factorFileName_;
  int factorCount_, factorMode_, modelFilter_, page_;
  bool hasInteraction_;
  SummaryArrays coefficientSummary_;
  QString caption_;
};

}  // namespace varno
