// The commands that open files once the window runs: Open data file, Open factor file, Reload and
// a file dropped on the window. A file that is refused leaves the open analysis as it was.
#include <QAction>
#include <QComboBox>
#include <QTabWidget>

#include <algorithm>

#include "core/coda_reader.h"
#include "ui/details_page.h"
#include "ui/diagnostics_page.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"
#include "ui/summary_page.h"

namespace varno {

bool TForm3::isBusy() const { return jobs_->busy(JobRunner::Lane::analysis); }

bool TForm3::refuseWhileBusy() {
  if (!isBusy()) return false;
  setPassingStatus(jobs_->analysisTitle() + " ... : the command was ignored (Esc cancels).");
  return true;
}

void TForm3::cancelJob() {
  summary_->dropWaiting();
  diagnostics_->dropWaiting();
  jobs_->cancel(JobRunner::Lane::analysis);
}

void TForm3::finishOpenFlow() {
  if (state.factorCount > 0) {
    ReadFactorValues();
    summary_->PlotFstAgainstFactors();
  } else {
    summary_->clearFactorDisplay();
    // the choosers would otherwise offer the models of the file opened before
    if (state.kind() == FileKind::fst) fillModelChoosers();
  }
}

void TForm3::OpenClick() {
  if (refuseWhileBusy()) return;
  OpenDialog->filter =
      "Fst file (*.fst)|*.fst|Frequences file (*.frq)|*.frq|CODA index (*index*.txt)|*index*.txt|Other(*.*)|*.*";
  dialogFolders_.prepare(*OpenDialog, DialogPurpose::openData, QString::fromStdString(state.dataFileName));
  const auto chosen = dialogs_.openFile(this, *OpenDialog);
  if (!chosen) {
    // the factor mode of the command line belonged to the file it named: an Open leaves it behind,
    // even a cancelled one
    state.factorMode = -1;
    return;
  }
  OpenDialog->lastFileName = *chosen;
  dialogFolders_.remember(DialogPurpose::openData, *chosen);
  const bool fst = lowerCasedExtension(chosen->toStdString()) == ".fst";
  LoadPlan plan{*chosen, "Plot: ", fst ? 1 : -1, true, [this] { finishOpenFlow(); }};
  plan.factors = currentFactors();
  plan.factors.mode = -1;
  if (fst) {
    if (!askQuestion("Did you include environmental factors ?")) {
      plan.factors.decision = {};
    } else {
      // cancelled: the factors file chosen earlier, if any, counts
      if (auto file = runFactorsDialog(*chosen)) plan.factors.file = *file;
      plan.factors.decision = DetectFactorCount(plan.factors.mode, plan.factors.file);
    }
  }
  LoadDataFile(std::move(plan));
}

void TForm3::DropFiles(const QStringList& paths) {
  if (paths.isEmpty() || refuseWhileBusy()) return;
  const QString path = paths.front();
  // several files: the others may be further chains of the first, when the user says so
  QStringList chains;
  if (paths.size() > 1 && askQuestion(QString("Open the %1 files as chains of one analysis?").arg(paths.size())))
    chains = paths.mid(1);
  const auto addChains = [this, chains](std::function<void()> then) {
    return [this, chains, then] {
      if (then) then();
      if (!chains.isEmpty()) addChainFiles(chains);
    };
  };
  LoadPlan::Factors factors = currentFactors();
  factors.mode = -1;
  if (lowerCasedExtension(path.toStdString()) != ".fst") {
    factors.decision.factorCount = 0;
    LoadPlan plan{path, "Plot: ", 0, true, addChains({})};
    plan.factors = std::move(factors);
    LoadDataFile(std::move(plan));
    return;
  }
  factors.decision = {};
  if (askQuestion("Did you include environmental factors ?")) {
    if (auto file = runFactorsDialog(path)) {
      factors.file = *file;
      factors.decision = DetectFactorCount(factors.mode, factors.file);
    }
  }
  LoadPlan plan{path, "Plot: ", 1, true, addChains([this] { finishOpenFlow(); })};
  plan.factors = std::move(factors);
  LoadDataFile(std::move(plan));
}

void TForm3::OpenfactorfileClick() {
  // the summary in progress sizes its results by the factor count: not changed under it
  if (refuseWhileBusy()) return;
  const auto file = runFactorsDialog();
  if (!file) return;
  state.factorFileName = *file;
  if (Pages->currentIndex() != 1) {  // remembered for the next flow
    analysisChanged();
    return;
  }
  ReadFactorValues();
  if (state.factorCount == 2) {
    state.hasInteraction = askQuestion("Did you include interaction ?");
    state.factorCount = state.hasInteraction ? 3 : 2;
    state.coefficientSummary.resize(static_cast<std::size_t>(state.factorCount) + 1);
  }
  summary_->PlotFstAgainstFactors();
  analysisChanged();  // a summary of the earlier factor decision no longer stands
}

void TForm3::Refresh1Click() {
  if (refuseWhileBusy()) return;
  stopFollowing();  // the user reads the files as they are now; following is checked again by hand
  reloadAnalysis({});
}

void TForm3::reloadAnalysis(std::function<void()> then) {
  if (state.dataFileName.empty()) {  // nothing open: nothing to read
    summary_->PlotFstAgainstFactors();
    return;
  }
  const int populations = state.populationCount;
  // the factors of the analysis reloaded, exactly: a factors file the user declined plays no part
  const int factors = state.factorCount;
  const bool interaction = state.hasInteraction;
  const std::string factorFile = state.factorFileName;
  auto factorValues = std::make_shared<std::vector<std::vector<float>>>(state.factorValues);
  const int column = details_->xi->currentIndex();
  const QString path = QString::fromStdString(state.dataFileName);
  // the chains beside an index are read again with it; the others are added again after it
  const std::vector<std::string> beside =
      state.chainsFromIndex() ? codaChainFiles(state.dataFileName) : std::vector<std::string>{};
  QStringList chains;
  for (std::size_t c = 1; c < state.chains.size(); ++c)
    if (const auto& chain = state.chains[c]; std::find(beside.begin(), beside.end(), chain.fileName) == beside.end())
      chains << QString::fromStdString(chain.fileName);
  LoadPlan plan{path, {}, -1, false, [this, populations, factors, interaction, factorFile, factorValues, chains, then] {
                  state.factorCount = factors;
                  state.hasInteraction = interaction;
                  state.factorFileName = factorFile;
                  if (state.kind() == FileKind::fst && factors > 0) {
                    // the catalogue made the factor rows anew: the same file shape keeps its values
                    if (state.populationCount == populations) {
                      state.factorValues = *factorValues;
                    } else if (!factorFile.empty()) {
                      ReadFactorValues();
                    }
                  }
                  if (factors > 0) {
                    summary_->PlotFstAgainstFactors();
                  } else {
                    summary_->clearFactorDisplay();
                  }
                  // every chain is read again, in its order
                  if (!chains.isEmpty()) {
                    addChainFiles(chains, then);
                  } else if (then) {
                    then();
                  }
                }, column};
  plan.factors = currentFactors();
  LoadDataFile(std::move(plan));
}

}  // namespace varno
