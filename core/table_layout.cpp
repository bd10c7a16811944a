// The fst layout of a table as its column count and factor decision place it.
#include "core/table_layout.h"

namespace varno {

TableLayout TableLayout::fst(int columnCount, const FactorDecision& decision) {
  return TableLayout{FileKind::fst, static_cast<int>(populationsIn(columnCount, decision.factorCount)),
                     decision.factorCount, decision.hasInteraction};
}

}  // namespace varno
