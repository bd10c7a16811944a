// The factors file in the window: how many factors, their values, the factor and model choosers.
#include <QComboBox>
#include <QStatusBar>
#include <cstdio>
#include <qcustomplot.h>

#include "core/factors_file.h"
#include "ui/details_page.h"
#include "ui/dialogs.h"
#include "ui/plotwin2.h"
#include "ui/summary_page.h"

namespace varno {

namespace {

// The factors file's text; a file that cannot be read reads as empty, and the user is told when
// a file was named.
std::string factorsText(const std::string& path, const std::function<void(const QString&)>& tell) {
  if (path.empty()) return {};
  std::string error;
  if (auto text = readTextFile(path, &error)) return *text;
  tell(QString::fromStdString(error));
  return {};
}

}  // namespace

FactorDecision TForm3::DetectFactorCount(int factorMode, const std::string& factorFile) {
  return decideFactorCount(
      factorMode,
      [this, &factorFile] {
        return countFactorLines(factorsText(factorFile, [this](const QString& e) { reportError(e); }));
      },
      [this] { return askQuestion("Did you include interaction ?"); });
}

void TForm3::ReadFactorValues() {
  summary_->G1_serie->data()->clear();
  summary_->G2_serie->data()->clear();
  summary_->Combo_G1->clear();
  summary_->Combo_G2->clear();
  bool readable = true;
  const std::string text = factorsText(state.factorFileName, [this, &readable](const QString& e) {
    readable = false;
    reportError(e);
  });
  std::vector<std::vector<float>> lines = readFactorLineValues(text, state.populationCount);
  // a row holds factorCount + 1 values; factor lines beyond that are ignored
  const std::size_t slotCount = static_cast<std::size_t>(state.factorCount) + 1;
  if (lines.size() > slotCount) lines.resize(slotCount);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const QString entry = "G" + QString::number(n + 1);
    summary_->Combo_G1->addItem(entry);
    summary_->Combo_G2->addItem(entry);
  }
  const FactorDecision decision{state.factorCount, state.hasInteraction};
  // every value comes from this file: one it does not give is no value, left out of the plots
  state.factorValues = factorValueRows(lines, state.populationCount, decision);
  // the file is used as it is, but what does not fit the data file is said: in a box and, after
  // what the load said, on the status line
  const std::vector<FactorsFileNote> notes =
      checkFactorsFile(text, state.populationCount, factorLinesNeeded(decision));
  factorsFault_.clear();
  for (const FactorsFileNote& note : notes) {
    if (note.fault && factorsFault_.isEmpty())
      factorsFault_ = QString::fromStdString(factorsFileNoteText(state.factorFileName, note));
  }
  // the unattended run refuses a file that does not fit and says why itself; a file that cannot
  // be read was said already
  if (readable && !notes.empty() && !(unattendedRun_ && !factorsFault_.isEmpty())) {
    const QString file = QString::fromStdString(state.factorFileName);
    QString box = QString("The factors file \"%1\" was read as it is, but:").arg(file);
    QString status = QString("factors file \"%1\"").arg(file);
    for (const FactorsFileNote& note : notes) {
      const QString line = QString("line %1: %2").arg(note.line).arg(QString::fromStdString(note.reason));
      box += "\n" + line;
      status += "; " + line;
    }
    const QString before = statusBar()->currentMessage();
    setStatus(before.isEmpty() ? status : before + "; " + status);
    if (state.batchMode || unattendedRun_)
      std::fprintf(stderr, "varno-plot: warning: %s\n", box.toLocal8Bit().constData());
    dialogs_.inform(this, box);
  }
  if (state.hasInteraction) {
    summary_->Combo_G1->addItem("G1*G2");
    summary_->Combo_G2->addItem("G1*G2");
  }
  summary_->Combo_G1->setCurrentIndex(summary_->Combo_G1->count() > 0 ? 0 : -1);
  summary_->Combo_G2->setCurrentIndex(state.factorCount > 1 && summary_->Combo_G2->count() > 1 ? 1 : -1);

  fillModelChoosers();
}

void TForm3::fillModelChoosers() {
  summary_->Model_only->clear();
  details_->Model_only2->clear();
  for (const std::string& entry : modelChooserEntries(state.factorCount, state.hasInteraction)) {
    summary_->Model_only->addItem(QString::fromStdString(entry));
    details_->Model_only2->addItem(QString::fromStdString(entry));
  }
  summary_->Model_only->setCurrentIndex(0);
  details_->Model_only2->setCurrentIndex(0);
  state.modelFilter = 0;
}

void TForm3::modelChosen(QComboBox* chooser, QComboBox* twin) {
  // the summary running, or the file being read, was asked for with the filter as it was
  if (refuseWhileBusy()) {
    chooser->setCurrentIndex(state.modelFilter);
    return;
  }
  state.modelFilter = std::max(0, chooser->currentIndex());
  twin->setCurrentIndex(chooser->currentIndex());
  details_->ReplotCurrentColumn();
  analysisChanged();
}

void TForm3::Model_onlyChange() { modelChosen(summary_->Model_only, details_->Model_only2); }

void TForm3::Model_only2Change() { modelChosen(details_->Model_only2, summary_->Model_only); }

}  // namespace varno
