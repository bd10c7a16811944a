// The plot window: creation, event wiring, the common steps of the flows, window events.
#include "ui/plotwin2.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QShortcut>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <exception>
#include <utility>
#include <qcustomplot.h>

#include "charts/window_charts.h"
#include "core/file_kind.h"
#include "ui/details_page.h"
#include "ui/diagnostics_page.h"
#include "ui/summary_page.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/following.h"
#include "ui/guarded.h"
#include "ui/job_runner.h"
#include "ui/recent_files.h"
#include "ui/suggested_burn_in.h"
#include "ui/track_bar.h"
#include "ui/up_down.h"
#include "ui/window_settings.h"

namespace varno {

namespace {

bool isEditingShortcut(const QKeyEvent* key) {
  for (auto standard : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo,
                        QKeySequence::Redo, QKeySequence::SelectAll, QKeySequence::Delete,
                        QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
                        QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine,
                        QKeySequence::MoveToStartOfLine, QKeySequence::MoveToEndOfLine,
                        QKeySequence::MoveToNextWord, QKeySequence::MoveToPreviousWord,
                        QKeySequence::SelectNextWord, QKeySequence::SelectPreviousWord,
                        QKeySequence::SelectStartOfLine, QKeySequence::SelectEndOfLine})
    if (key->matches(standard)) return true;
  return false;
}

}  // namespace

TForm3::TForm3(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      jobs_(std::make_unique<JobRunner>()),
      recentFiles_(std::make_unique<RecentFiles>()) {
  setObjectName("Form3");
  createControls();
  suggestion_ = std::make_unique<SuggestedBurnIn>(
      *jobs_, [this] { return suggestionInputs(); }, [this] { suggestionChanged(); });
  details_->columnChosen = [this] {
    if (suggestFromColumn_->isChecked()) suggestion_->update();
  };
  createJobControls();
  createFollowing();
  connectHandlers();
  FormCreate();
}

// the workers stop and are joined before any control they report to goes away
TForm3::~TForm3() { jobs_.reset(); }

void TForm3::createJobControls() {
  rowsLabel_ = new QLabel(this);
  rowsLabel_->setObjectName("retainedRows");
  jobGauge_ = new QProgressBar(this);
  jobGauge_->setObjectName("jobGauge");
  jobGauge_->setRange(0, 100);
  jobGauge_->setMaximumWidth(160);
  jobGauge_->hide();
  cancelButton_ = new QPushButton("Cancel", this);
  cancelButton_->setObjectName("cancelJob");
  cancelButton_->setToolTip("Stop reading, summarising or diagnosing (Esc); the analysis open before is kept");
  cancelButton_->hide();
  statusBar()->addPermanentWidget(rowsLabel_);
  statusBar()->addPermanentWidget(jobGauge_);
  statusBar()->addPermanentWidget(cancelButton_);
  connect(cancelButton_, &QPushButton::clicked, this, [this] { cancelJob(); });
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, [this] {
    if (isBusy()) cancelJob();
  });

  // the gauge follows the running job; a timer reads it, the window's thread is never held
  auto* gaugeTimer = new QTimer(this);
  gaugeTimer->setInterval(50);
  connect(gaugeTimer, &QTimer::timeout, this, [this] { showJobProgress(); });
  connect(jobs_.get(), &JobRunner::analysisStarted, this, [this, gaugeTimer] {
    jobGauge_->setValue(0);
    jobGauge_->show();
    cancelButton_->show();
    for (QAction* a : {Open, Openfactorfile, addChain, Refresh1, save_res, diag_save, exportDraws, Save, g1_save, g2_save,
                       hpdi_save, model_save, Print})
      a->setEnabled(false);
    gaugeTimer->start();
  });
  // nothing runs while a result is applied: a box it opens shows no gauge left at its last value
  const auto hideGauge = [this, gaugeTimer] {
    gaugeTimer->stop();
    jobGauge_->hide();
    cancelButton_->hide();
  };
  connect(jobs_.get(), &JobRunner::analysisWorkEnded, this, hideGauge);
  connect(jobs_.get(), &JobRunner::analysisEnded, this, [this, hideGauge] {
    hideGauge();
    for (QAction* a :
         {Open, addChain, Refresh1, save_res, diag_save, exportDraws, Save, g1_save, g2_save, hpdi_save, model_save, Print})
      a->setEnabled(true);
    Openfactorfile->setEnabled(state.kind() == FileKind::fst || state.dataFileName.empty());
    unattendedRun_ = false;  // its last job has ended
    // the files read anew for following could not all be read again: following ends there
    if (following_->readingAnew) {
      following_->readingAnew = false;
      stopFollowing();
    }
    // --follow: the files of the command line are open, with their chains
    if (std::exchange(followOnceOpen_, false) && state.open()) startFollowing();
  });
}

void TForm3::showJobProgress() {
  const int percent = jobs_->analysisPercent();
  jobGauge_->setValue(percent);
  if (jobs_->analysisPageGauge()) summary_->progress->setValue(percent);
}

void TForm3::FormCreate() { setAcceptDrops(true); }


void TForm3::connectHandlers() {
  auto on = [this](auto method) { return [this, method] { guarded(this, dialogs_, [&] { (this->*method)(); }); }; };

  connect(Pages, &QTabWidget::currentChanged, this, [this](int index) {
    if (pageChangeFromCode_ || index == currentPage_) {
      currentPage_ = index;
      return;
    }
    bool allow = false;
    guarded(this, dialogs_, [&] { allow = PagesChanging(index); });
    if (allow) {
      currentPage_ = index;
      // the Summary page describes the current rows: computed first when it does not
      guarded(this, dialogs_, [&] { analysisChanged(); });
    } else {
      selectPage(currentPage_);
    }
  });

  connect(Open, &QAction::triggered, this, on(&TForm3::OpenClick));
  connect(Openfactorfile, &QAction::triggered, this, on(&TForm3::OpenfactorfileClick));
  connect(addChain, &QAction::triggered, this, on(&TForm3::AddChainClick));
  connect(Refresh1, &QAction::triggered, this, on(&TForm3::Refresh1Click));
  connect(FollowFiles1, &QAction::triggered, this, on(&TForm3::FollowFiles1Click));
  connect(save_res, &QAction::triggered, this, on(&TForm3::save_resClick));
  connect(diag_save, &QAction::triggered, this, on(&TForm3::diag_saveClick));
  connect(exportDraws, &QAction::triggered, this, on(&TForm3::exportDrawsClick));
  summary_->connectHandlers();
  connect(showBurnIn, &QAction::triggered, this, on(&TForm3::showBurnInClick));
  connect(useSuggestedBurnIn_, &QAction::triggered, this, on(&TForm3::useSuggestedBurnInClick));
  connect(suggestFromAll_, &QAction::triggered, this, on(&TForm3::suggestFromClick));
  connect(suggestFromColumn_, &QAction::triggered, this, on(&TForm3::suggestFromClick));
  connect(roundToMcse_, &QAction::triggered, this, on(&TForm3::roundToMcseClick));
  connect(convergenceTarget_, &QAction::triggered, this, on(&TForm3::convergenceTargetClick));
  connect(Save, &QAction::triggered, this, on(&TForm3::SaveClick));
  connect(g1_save, &QAction::triggered, this, on(&TForm3::g1_saveClick));
  connect(g2_save, &QAction::triggered, this, on(&TForm3::g2_saveClick));
  connect(hpdi_save, &QAction::triggered, this, on(&TForm3::hpdi_saveClick));
  connect(model_save, &QAction::triggered, this, on(&TForm3::model_saveClick));
  connect(Print, &QAction::triggered, this, on(&TForm3::PrintClick));
  // these two handlers set their own check mark: undo the toolkit's automatic toggle first
  for (auto [action, handler] : {std::pair{logFst, &TForm3::logFstClick},
                                 std::pair{Alwaysontop, &TForm3::AlwaysontopClick}}) {
    connect(action, &QAction::triggered, this, [this, action, handler, run = on(handler)] {
      action->setChecked(!action->isChecked());
      run();
    });
  }

  connect(Line_Red, &QAction::triggered, this, on(&TForm3::Line_RedClick));
  connect(Line_Black, &QAction::triggered, this, on(&TForm3::Line_BlackClick));
  connect(Line_Blue, &QAction::triggered, this, on(&TForm3::Line_BlueClick));
  connect(Line_Green, &QAction::triggered, this, on(&TForm3::Line_GreenClick));
  connect(Line_Gray, &QAction::triggered, this, on(&TForm3::Line_GrayClick));
  connect(Line_White, &QAction::triggered, this, on(&TForm3::Line_WhiteClick));
  connect(Back_Grey, &QAction::triggered, this, on(&TForm3::Back_GreyClick));
  connect(Back_White, &QAction::triggered, this, on(&TForm3::Back_WhiteClick));
  connect(Grid_On, &QAction::triggered, this, on(&TForm3::Grid_OnClick));
  connect(Grid_Off, &QAction::triggered, this, on(&TForm3::Grid_OffClick));
  connect(Lines, &QAction::triggered, this, on(&TForm3::LinesClick));
  connect(Points, &QAction::triggered, this, on(&TForm3::PointsClick));
  connect(Both, &QAction::triggered, this, on(&TForm3::BothClick));

  // a selection made by the program raises no event: only the user's choice is wired
  connect(details_->Model_only2, &QComboBox::activated, this, on(&TForm3::Model_only2Change));
  connect(summary_->Model_only, &QComboBox::activated, this, on(&TForm3::Model_onlyChange));

  // edits and track bars notify at once, also when the program sets them, on a real change only;
  // the data range is read before any handler of its edits runs
  const auto readRange = [this] {
    burnRange_ = readBurnRange(details_->Cutin->text().toStdString(), details_->Cutout->text().toStdString());
  };
  connect(details_->Cutin, &QLineEdit::textChanged, this, readRange);
  connect(details_->Cutout, &QLineEdit::textChanged, this, readRange);
  connect(details_->Cutin, &QLineEdit::textChanged, this, on(&TForm3::CutinChange));
  connect(details_->Cutout, &QLineEdit::textChanged, this, on(&TForm3::CutoutChange));
  connect(details_->Tburnin, &TrackBar::changed, this, on(&TForm3::TburninChange));
  connect(details_->Tburnout, &TrackBar::changed, this, on(&TForm3::TburnoutChange));

  details_->Cutin->installEventFilter(this);
  details_->Cutout->installEventFilter(this);

  for (QCustomPlot* chart : allCharts()) {
    connect(chart, &QWidget::customContextMenuRequested, this,
            [this, chart](const QPoint& pos) { PopupMenu1->popup(chart->mapToGlobal(pos)); });
  }
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == details_->Cutin || watched == details_->Cutout) && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Backspace) return false;
    // shortcuts such as Ctrl+V type control characters, which the filter discards too
    if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return true;
    const QString text = key->text();
    if (text.isEmpty()) return false;  // navigation keys type nothing
    return !CutinKeyPress(text.front());
  }
  if ((watched == details_->Cutin || watched == details_->Cutout) && event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    // the edit's own clipboard and editing shortcuts are kept from running; the menus' shortcuts
    // (Ctrl+O, Ctrl+S, ...) pass on to the menus
    if (isEditingShortcut(key)) {
      event->accept();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

bool TForm3::CutinKeyPress(QChar key) {
  return (key >= '0' && key <= '9') || key == QChar(8);
}

// ---- the pages ----

void TForm3::analysisChanged() {
  updateRetainedRowsText();
  followSuggestion();
  diagnostics_->diagnosticsChanged();
  summary_->summaryChanged();
}

bool TForm3::PagesChanging(int requestedPage) {
  if (requestedPage == kDiagnosticsPage) {
    // every kind of file has diagnostics, once there is one
    if (!state.open()) return false;
  } else if (state.dataExtension != ".fst" && !(requestedPage == 0 && currentPage_ == kDiagnosticsPage)) {
    return false;
  }
  // the Summary and Diagnostics pages read the analysis: not while a file is read or one of
  // them computed
  if (requestedPage != 0 && refuseWhileBusy()) return false;
  return true;
}

std::optional<SummaryInputs> TForm3::currentSummaryInputs() const { return summary_->currentSummaryInputs(); }

bool TForm3::fstOnLogitScale() const { return logFst->isChecked(); }

bool TForm3::showBurnInRows() const { return showBurnIn->isChecked(); }

void TForm3::showBurnInClick() { details_->ReplotCurrentColumn(); }

int TForm3::levelPercent() const { return details_->Cpc->position(); }

const ConvergenceTarget& TForm3::convergenceTarget() const { return diagnostics_->convergenceTarget(); }

int TForm3::shownPage() const { return Pages->currentIndex(); }

void TForm3::showColumn(int column) {
  if (column < 1 || column > details_->xi->count()) return;
  selectPage(0);
  details_->xi->setCurrentIndex(column - 1);
  details_->xiChange();
}

bool TForm3::showAllele(int locus, int allele) {
  if (locus >= details_->Locus->count()) return false;
  selectPage(0);
  details_->Locus->setCurrentIndex(locus);
  details_->LocusChange();
  details_->Allele->setCurrentIndex(allele);
  details_->AlleleChange();
  return true;
}

void TForm3::runGuarded(const std::function<void()>& handler) { guarded(this, dialogs_, handler); }

// ---- common steps ----

bool TForm3::askQuestion(const QString& text) { return dialogs_.ask(this, text); }

std::optional<std::string> TForm3::runFactorsDialog(const QString& dataFile) {
  OpenDialog->filter = "Factors file (*.txt)|*.txt";
  dialogFolders_.prepare(*OpenDialog, DialogPurpose::openFactors,
                         dataFile.isEmpty() ? QString::fromStdString(state.dataFileName) : dataFile);
  const auto chosen = dialogs_.openFile(this, *OpenDialog);
  if (!chosen) return std::nullopt;
  OpenDialog->lastFileName = *chosen;
  dialogFolders_.remember(DialogPurpose::openFactors, *chosen);
  return chosen->toStdString();
}

TForm3::LoadPlan::Factors TForm3::currentFactors() const {
  return {state.factorFileName, state.factorMode, {state.factorCount, state.hasInteraction}};
}

void TForm3::setDataFile(const QString& path, const QString& captionPrefix) {
  state.dataFileName = path.toStdString();
  state.dataExtension = lowerCasedExtension(state.dataFileName);
  setWindowTitle(captionPrefix + path);
}

void TForm3::selectPage(int index) {
  const bool outer = pageChangeFromCode_;
  pageChangeFromCode_ = true;
  Pages->setCurrentIndex(index);
  currentPage_ = Pages->currentIndex();
  pageChangeFromCode_ = outer;
}

void TForm3::setStatus(const QString& text) {
  passingStatus_.clear();
  statusBar()->showMessage(text);
}

void TForm3::setPassingStatus(const QString& text) {
  setStatus(text);
  passingStatus_ = text;
}

void TForm3::dropPassingStatus() {
  if (!passingStatus_.isEmpty() && statusBar()->currentMessage() == passingStatus_) statusBar()->clearMessage();
  passingStatus_.clear();
}

void TForm3::reportError(const QString& text) {
  if (state.batchMode || unattendedRun_) std::fprintf(stderr, "varno-plot: %s\n", text.toLocal8Bit().constData());
  dialogs_.error(this, text);
}

// ---- window events ----

void TForm3::rememberIn(std::unique_ptr<QSettings> settings) {
  settings_ = std::move(settings);
  if (!settings_) return;
  restoreWindowSettings(*settings_, *this, dialogFolders_);
  if (const auto target = rememberedConvergenceTarget(*settings_)) diagnostics_->setConvergenceTarget(*target);
  recentFiles_->load(*settings_);
  fillRecentFilesMenu();
}

void TForm3::closeEvent(QCloseEvent* event) {
  // what runs is stopped: its result would have nowhere to go
  stopFollowing();
  jobs_->cancel(JobRunner::Lane::analysis);
  jobs_->cancel(JobRunner::Lane::figures);
  jobs_->cancel(JobRunner::Lane::diagnostics);
  if (settings_) {
    recentFiles_->save(*settings_);
    saveWindowSettings(*settings_, *this, dialogFolders_);
  }
  QMainWindow::closeEvent(event);
}

void TForm3::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  guarded(this, dialogs_, [this] { FormResize(); });
}

void TForm3::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) {
    for (const QUrl& url : event->mimeData()->urls()) {
      if (url.isLocalFile()) {
        event->acceptProposedAction();
        return;
      }
    }
  }
}

void TForm3::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  // the drop's own event must end before the flow asks questions and reads
  QTimer::singleShot(0, this, [this, paths] { guarded(this, dialogs_, [&] { DropFiles(paths); }); });
}

}  // namespace varno
