// What window creation does with the command-line arguments.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include "core/factors_file.h"
#include "ui/details_page.h"
#include "ui/plotwin2.h"
#include "ui/summary_page.h"
#include "ui/track_bar.h"

namespace varno {

void TForm3::actOnCommandLine(const QStringList& args, const QStringList& chains) {
  if (args.isEmpty()) {
    for (QWidget* w : std::initializer_list<QWidget*>{details_->xi, details_->mean, details_->histo, details_->density, details_->autocorr, details_->normal, details_->Cutin,
                                                      details_->Cutout, details_->Tburnin, details_->Tburnout, details_->Locus, details_->Allele})
      w->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{details_->Allele, details_->Locus, details_->Lallele, details_->Llocus}) w->hide();
    details_->Model_only2->setEnabled(false);
    return;
  }

  show();
  for (QWidget* w : std::initializer_list<QWidget*>{details_->Allele, details_->Locus, details_->Lallele, details_->Llocus}) w->hide();
  const QString path = args[0];
  LoadPlan::Factors factors = currentFactors();

  if (lowerCasedExtension(path.toStdString()) != ".fst") {
    LoadPlan plan{path, "Pot: ", 0, true, [this, chains] {
                    if (!chains.isEmpty()) addChainFiles(chains);
                  }};
    plan.factors = std::move(factors);
    LoadDataFile(std::move(plan));
    return;
  }

  if (args.size() == 1) {
    if (askQuestion("Did you include environmental factors ?")) {
      if (auto file = runFactorsDialog(path)) factors.file = *file;
    }
    factors.decision = DetectFactorCount(factors.mode, factors.file);
    LoadPlan plan{path, "Pot: ", -1, true, [this, chains] {
                    finishOpenFlow();
                    if (!chains.isEmpty()) addChainFiles(chains);
                  }};
    plan.factors = std::move(factors);
    LoadDataFile(std::move(plan));
    return;
  }

  // the unattended run: data file, factors file and an optional factor mode; what goes wrong is
  // also said on standard error, for the pipeline that started it, and no report is written
  unattendedRun_ = true;
  factors.file = args[1].toStdString();
  std::string unreadable;
  if (!readTextFile(factors.file, &unreadable)) {
    reportError(QString::fromStdString(unreadable) + "; no report was written.");
    setStatus(QString::fromStdString(unreadable) + "; no report was written.");
    unattendedRun_ = false;
    return;
  }
  if (args.size() >= 3) factors.mode = parseFactorModeArgument(args[2].toStdString());
  factors.decision = DetectFactorCount(factors.mode, factors.file);
  // the run ends when its last job has (see createJobControls)
  LoadPlan plan{path, "Pot: ", 1, true,
       [this, chains] {
         ReadFactorValues();
         summary_->PlotFstAgainstFactors();
         // a report would carry factor values that the file does not give
         if (!factorsFault_.isEmpty()) {
           const QString text = factorsFault_ + "; no report was written.";
           reportError(text);
           setStatus(text);
           unattendedRun_ = false;
           return;
         }
         // the user may have turned to the Details page while the file was read; the report
         // still needs the summary of this file and its chains
         addChainFiles(chains, [this] { summary_->withCurrentSummary([this] {
           selectPage(1);
           state.batchMode = true;
           const struct EndOfRun {
             bool& flag;
             ~EndOfRun() { flag = false; }
           } endOfRun{state.batchMode};
           save_resClick();
         }); });
       }};
  plan.factors = std::move(factors);
  if (!LoadDataFile(std::move(plan))) unattendedRun_ = false;
}

}  // namespace varno
