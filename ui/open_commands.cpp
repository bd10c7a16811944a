// The commands that open files once the window runs: Open data file, Open factor file, Reload and
// a file dropped on the window. A file that is refused leaves the open analysis as it was.
#include <QAction>
#include <QComboBox>
#include <QTabWidget>

#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/open_flow_snapshot.h"
#include "ui/plotwin2.h"

namespace varno {

namespace {

// The coefficient arrays hold factorCount + 1 entries; entries already there are kept.
void sizeCoefficientArrays(AnalysisState& state) {
  const std::size_t n = static_cast<std::size_t>(state.factorCount) + 1;
  for (auto* v : {&state.coefficientSummary.mean, &state.coefficientSummary.mode,
                  &state.coefficientSummary.low, &state.coefficientSummary.high})
    v->resize(n, 0.0);
}

}  // namespace

bool TForm3::isBusy() const { return loading_ || summarizing_; }

bool TForm3::refuseWhileBusy() {
  if (!isBusy()) return false;
  setStatus(loading_ ? "Still reading the data file: the command was ignored."
                     : "Still computing the summary: the command was ignored.");
  return true;
}

void TForm3::finishOpenFlow() {
  if (state.factorCount > 0) {
    ReadFactorValues();
    PlotFstAgainstFactors();
  } else {
    clearFactorDisplay();
    // the choosers would otherwise offer the models of the file opened before
    if (state.kind() == FileKind::fst) fillModelChoosers();
  }
}

void TForm3::OpenClick() {
  if (refuseWhileBusy()) return;
  const OpenFlowSnapshot before(*this);
  state.factorMode = -1;
  OpenDialog->filter = "Fst file (*.fst)|*.fst|Frequences file (*.frq)|*.frq|Other(*.*)|*.*";
  const auto chosen = dialogs_.openFile(this, *OpenDialog);
  if (!chosen) return;
  OpenDialog->lastFileName = *chosen;
  setDataFile(*chosen, "Plot: ");
  if (state.dataExtension == ".fst") {
    state.modelFilter = 0;  // the first summary of a new file covers all models
    if (!askQuestion("Did you include environmental factors ?")) {
      state.factorCount = 0;
      state.hasInteraction = false;
      state.coefficientSummary.reset(1);
    } else {
      runFactorsDialog();  // cancelled: the factors file chosen earlier, if any, counts
      DetectFactorCount();
    }
    selectPage(1);
  }
  if (!LoadDataFile()) {
    before.restore(*this);
    return;
  }
  finishOpenFlow();
}

void TForm3::DropFiles(const QStringList& paths) {
  if (paths.isEmpty() || refuseWhileBusy()) return;
  const OpenFlowSnapshot before(*this);
  state.factorMode = -1;
  state.factorCount = 0;
  setDataFile(paths.front(), "Plot: ");  // the first dropped file; the others are ignored
  if (state.dataExtension != ".fst") {
    if (!LoadDataFile()) {
      before.restore(*this);
      return;
    }
    selectPage(0);
    return;
  }
  state.modelFilter = 0;
  selectPage(1);
  bool detected = false;
  if (askQuestion("Did you include environmental factors ?") && runFactorsDialog()) {
    DetectFactorCount();
    detected = true;
  }
  if (!detected) {
    state.factorCount = 0;
    state.hasInteraction = false;
    state.coefficientSummary.reset(1);
  }
  if (!LoadDataFile()) {
    before.restore(*this);
    return;
  }
  finishOpenFlow();
}

void TForm3::OpenfactorfileClick() {
  // the summary in progress sizes its results by the factor count: not changed under it
  if (refuseWhileBusy()) return;
  if (!runFactorsDialog()) return;
  if (Pages->currentIndex() != 1) return;  // remembered for the next flow
  ReadFactorValues();
  if (state.factorCount == 2) {
    state.hasInteraction = askQuestion("Did you include interaction ?");
    state.factorCount = state.hasInteraction ? 3 : 2;
    sizeCoefficientArrays(state);
    // the summary shown was made for the earlier factor count: a report needs a new one
    if (state.hasInteraction) summarizedTable_.reset();
  }
  PlotFstAgainstFactors();
}

void TForm3::Refresh1Click() {
  if (refuseWhileBusy()) return;
  if (state.dataFileName.empty()) {  // nothing open: nothing to read
    PlotFstAgainstFactors();
    return;
  }
  state.reloading = true;
  state.reloadColumnIndex = xi->currentIndex();
  const int populations = state.populationCount;
  const int factors = state.factorCount;
  auto factorValues = state.factorValues;
  const bool loaded = LoadDataFile();
  if (loaded && state.kind() == FileKind::fst) {
    // the catalogue made the factor rows anew: the same file shape keeps its values
    if (state.populationCount == populations && state.factorCount == factors) {
      state.factorValues = std::move(factorValues);
    } else if (!state.factorFileName.empty()) {
      ReadFactorValues();
    }
  }
  PlotFstAgainstFactors();
  state.reloading = false;
}

}  // namespace varno
