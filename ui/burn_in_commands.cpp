// Options > "Use suggested burn-in", "Suggest burn-in from" and "Round to the Monte Carlo error".
#include <QAction>
#include <QLineEdit>

#include "ui/details_page.h"
#include "ui/diagnostics_page.h"
#include "ui/plotwin2.h"
#include "ui/suggested_burn_in.h"

namespace varno {

std::optional<SuggestionInputs> TForm3::suggestionInputs() const {
  if (!state.open()) return std::nullopt;
  SuggestionInputs inputs;
  inputs.tables = state.chainTables();
  inputs.layout = state.layout();
  if (suggestFromColumn_->isChecked()) {
    const auto column = details_->wantedColumn();
    if (!column) return std::nullopt;  // no column shown: nothing to decide
    inputs.source.column = *column - 1;
  }
  return inputs;
}

void TForm3::followSuggestion() {
  if (state.dataFileName != suggestionAnalysis_) {
    suggestionAnalysis_ = state.dataFileName;
    suggestFromAll_->setChecked(true);
  }
  suggestion_->update();
}

void TForm3::suggestFromClick() { suggestion_->update(); }

void TForm3::suggestionChanged() {
  const SuggestionResult* result = suggestion_->current();
  useSuggestedBurnIn_->setEnabled(result != nullptr);
  const bool suggested = result && result->suggestion.analysis.suggested;
  useSuggestedBurnIn_->setToolTip(!result ? QString() : suggested ? result->toolTip : result->whyNone);
  details_->showSuggestedBurnIn(suggested ? std::optional<long long>(result->suggestion.analysis.rows) : std::nullopt,
                                suggested ? result->toolTip : QString());
}

void TForm3::useSuggestedBurnInClick() {
  const SuggestionResult* result = suggestion_->current();
  if (!result) return;  // the entry is disabled meanwhile
  if (!result->suggestion.analysis.suggested) {
    setPassingStatus(result->whyNone);
    return;
  }
  // as if typed: the edit's own handler checks it against the rows and recomputes every page
  details_->Cutin->setText(QString::number(result->suggestion.analysis.rows));
}

void TForm3::roundToMcseClick() { diagnostics_->setRoundedToMcse(roundToMcse_->isChecked()); }

}  // namespace varno
