// Options > "Convergence target...": the target the Diagnostics page judges its results by.
#include <QSettings>
#include <algorithm>

#include "report/target_columns.h"
#include "ui/convergence_target_dialog.h"
#include "ui/details_page.h"
#include "ui/diagnostics_page.h"
#include "ui/dialogs.h"
#include "ui/plotwin2.h"
#include "ui/window_settings.h"

namespace varno {

void TForm3::convergenceTargetClick() {
  TargetOffer offer;
  offer.target = diagnostics_->convergenceTarget();
  if (state.open()) {
    offer.chains = std::max(1, state.chainCount());
    // the retained rows tell the counter of a file that does not place it
    const auto& table = *state.firstTable();
    RowRange rows{0, table.rowCount()};
    if (burnRange_.valid()) {
      const auto chains = retainedChains(*burnRange_.burnIn, *burnRange_.burnOut);
      if (!chains.empty()) rows = chains.front().rows;
    }
    offer.columns = targetColumns(table, {state.kind(), state.populationCount, state.factorCount, state.hasInteraction}, rows);
  }
  const auto chosen = dialogs_.chooseConvergenceTarget(this, offer);
  if (!chosen) return;
  diagnostics_->setConvergenceTarget(*chosen);
  details_->convergenceTargetChanged();
  if (settings_) rememberConvergenceTarget(*settings_, *chosen);
}

}  // namespace varno
