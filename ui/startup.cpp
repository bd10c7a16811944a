// What window creation does with the command-line arguments.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include "core/factors_file.h"
#include "ui/open_flow_snapshot.h"
#include "ui/plotwin2.h"
#include "ui/track_bar.h"

namespace varno {

void TForm3::actOnCommandLine(const QStringList& args) {
  if (args.isEmpty()) {
    for (QWidget* w : std::initializer_list<QWidget*>{xi, mean, histo, density, normal, Cutin,
                                                      Cutout, Tburnin, Tburnout, Locus, Allele})
      w->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{Allele, Locus, Lallele, Llocus}) w->hide();
    Model_only2->setEnabled(false);
    return;
  }

  show();
  for (QWidget* w : std::initializer_list<QWidget*>{Allele, Locus, Lallele, Llocus}) w->hide();
  const OpenFlowSnapshot before(*this);
  setDataFile(args[0], "Pot: ");

  if (state.dataExtension != ".fst") {
    selectPage(0);
    if (!LoadDataFile()) before.restore(*this);
    return;
  }

  // the first summary of a newly opened file covers all models
  state.modelFilter = 0;
  if (args.size() == 1) {
    if (!askQuestion("Did you include environmental factors ?")) {
      state.factorCount = 0;
    } else {
      runFactorsDialog();
    }
    DetectFactorCount();
    if (!LoadDataFile()) {
      before.restore(*this);
      return;
    }
    finishOpenFlow();
    return;
  }

  // the unattended run: data file, factors file and an optional factor mode; what goes wrong is
  // also said on standard error, for the pipeline that started it
  unattendedRun_ = true;
  const struct EndOfRun {
    bool& flag;
    ~EndOfRun() { flag = false; }
  } endOfRun{unattendedRun_};
  state.factorFileName = args[1].toStdString();
  if (args.size() >= 3) state.factorMode = parseFactorModeArgument(args[2].toStdString());
  DetectFactorCount();
  if (!LoadDataFile()) {
    before.restore(*this);
    return;
  }
  // the user may have turned to the Details page while the file was read; the report still
  // needs the summary of this file
  if (Pages->currentIndex() != 1) {
    selectPage(1);
    ComputeModelSummary();
  }
  ReadFactorValues();
  PlotFstAgainstFactors();
  selectPage(1);
  state.batchMode = true;
  try {
    save_resClick();
  } catch (...) {
    state.batchMode = false;
    throw;
  }
  state.batchMode = false;
}

}  // namespace varno
