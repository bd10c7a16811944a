// The plot window's frame: the menus, the status line, the analysis and the pages (Details,
// Summary with its Chains view, Diagnostics), each a class of its own that reaches the window
// through PageHost; and the flows that open files and save results.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/analysis_state.h"
#include "core/factors_file.h"
#include "stats/column_figures.h"
#include "stats/row_range.h"
#include "ui/burn_range.h"
#include "ui/dialog_folders.h"
#include "ui/page_host.h"
#include "ui/result_inputs.h"

class QAction;
class QActionGroup;
class QColor;
class QComboBox;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QSettings;
class QTabWidget;

namespace varno {

class Dialogs;
class DetailsPage;
class DiagnosticsPage;
class FileDialogSpec;
struct Following;
class JobRunner;
class RecentFiles;
class SuggestedBurnIn;
class SummaryPage;
class TrackBar;
struct SuggestionInputs;

class TForm3 : public QMainWindow, private PageHost {
  Q_OBJECT
 public:
  explicit TForm3(Dialogs& dialogs, QWidget* parent = nullptr);
  ~TForm3() override;

  // Acts on the command-line arguments (the program name excluded), as window creation does.
  // `chains` are further chains of the data file, added once it is read.
  void actOnCommandLine(const QStringList& args, const QStringList& chains = {});

  // Puts back the window, chart appearance, folders and recent files kept in `settings`, and keeps
  // them there from now on (the recent files as they change, the rest at close). A window never
  // given settings starts with the designed defaults and remembers nothing between runs.
  void rememberIn(std::unique_ptr<QSettings> settings);

  // The analysis open in the window; only the window's commands change it.
  const AnalysisState& analysis() const { return state; }

  // The background jobs: tests and benchmarks wait for them to be idle.
  const JobRunner& jobs() const { return *jobs_; }

  // While Options > "Follow files" is checked: one round of following now, as its timer starts one
  // once a second (tests run rounds at their own pace, then wait for the jobs to be idle).
  void followRound();
  // --follow: Options > "Follow files" is checked once the files of the command line are open.
  void followOnceOpen() { followOnceOpen_ = true; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // the one record of the analysis; others read it through analysis()
  AnalysisState state;

  // ---- controls, under their designed names ----
  QTabWidget* Pages = nullptr;
  QWidget* Details = nullptr;
  QWidget* Summary = nullptr;
  QWidget* Diagnostics = nullptr;

  // the pages
  std::unique_ptr<DetailsPage> details_;
  std::unique_ptr<SummaryPage> summary_;
  std::unique_ptr<DiagnosticsPage> diagnostics_;

  // menus
  QMenuBar* MainMenu1 = nullptr;
  QMenu* File = nullptr;
  QAction* Open = nullptr;
  QAction* Openfactorfile = nullptr;
  QAction* addChain = nullptr;
  QAction* save_res = nullptr;
  QAction* diag_save = nullptr;
  QAction* exportDraws = nullptr;
  QAction* Save = nullptr;
  QAction* g1_save = nullptr;
  QAction* g2_save = nullptr;
  QAction* hpdi_save = nullptr;
  QAction* model_save = nullptr;
  QAction* Print = nullptr;
  QMenu* Options = nullptr;
  QAction* logFst = nullptr;
  QAction* Alwaysontop = nullptr;
  QAction* showBurnIn = nullptr;
  QAction* Refresh1 = nullptr;
  QAction* FollowFiles1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QMenu* Color = nullptr;
  QMenu* Back_Color = nullptr;
  QMenu* Grid = nullptr;
  QMenu* Style = nullptr;
  QAction* Line_Red = nullptr;
  QAction* Line_Black = nullptr;
  QAction* Line_Blue = nullptr;
  QAction* Line_Green = nullptr;
  QAction* Line_Gray = nullptr;
  QAction* Line_White = nullptr;
  QAction* Back_Grey = nullptr;
  QAction* Back_White = nullptr;
  QAction* Grid_On = nullptr;
  QAction* Grid_Off = nullptr;
  QAction* Lines = nullptr;
  QAction* Points = nullptr;
  QAction* Both = nullptr;

  // dialogs
  FileDialogSpec* OpenDialog = nullptr;
  FileDialogSpec* SaveDialog = nullptr;

  // ---- handlers ----
  void FormCreate();
  void FormResize();
  bool PagesChanging(int requestedPage);
  void OpenClick();
  void OpenfactorfileClick();
  void Refresh1Click();
  // Reads the analysis anew as Reload does, its further chains after it; `then` runs once every
  // chain is read again.
  void reloadAnalysis(std::function<void()> then);
  void FollowFiles1Click();
  void DropFiles(const QStringList& paths);
  void save_resClick();
  void diag_saveClick();
  void exportDrawsClick();
  void SaveClick();
  void g1_saveClick();
  void g2_saveClick();
  void hpdi_saveClick();
  void model_saveClick();
  void PrintClick();
  void logFstClick();
  void AlwaysontopClick();
  void showBurnInClick();
  void Line_RedClick();
  void Line_BlackClick();
  void Line_BlueClick();
  void Line_GreenClick();
  void Line_GrayClick();
  void Line_WhiteClick();
  void Back_GreyClick();
  void Back_WhiteClick();
  void Grid_OnClick();
  void Grid_OffClick();
  void LinesClick();
  void PointsClick();
  void BothClick();
  void Model_onlyChange();
  void Model_only2Change();
  bool CutinKeyPress(QChar key);  // false when the key is discarded
  void CutinChange();
  void CutoutChange();
  void TburninChange();
  void TburnoutChange();

  // ---- shared operations ----
  // What an open flow does once its file is read and in place.
  struct LoadPlan {
    QString path;
    QString captionPrefix;
    int page = -1;                  // the page to show then; -1 keeps the current one
    bool newAnalysis = true;        // false for a reload: caption and model filter are kept
    std::function<void()> then;     // the rest of the flow
    int reloadColumnIndex = 0;      // a reload shows this entry of the column chooser again
    // The factors the flow's questions chose; they become the analysis's only with its file.
    struct Factors {
      std::string file;
      int mode = -1;  // -1: the count is taken from the factors file's lines
      FactorDecision decision;
    } factors = {};
  };
  // The factors of the analysis open now, for a flow to start from.
  LoadPlan::Factors currentFactors() const;
  // Reads plan.path as a background job; the table, file name, caption and factors are replaced
  // only when the file was read and accepted; otherwise the user is told why and the analysis open
  // before stays as it was. False when a job was running (the command is then refused).
  bool LoadDataFile(LoadPlan plan);
  void BuildColumnCatalogue();
  // The factor decision for a factor mode and a factors file, asking about the interaction of two
  // factors when the mode leaves it open.
  FactorDecision DetectFactorCount(int factorMode, const std::string& factorFile);
  void ReadFactorValues();
  // "All" and one entry per model in both model choosers, "All" chosen, no filter.
  void fillModelChoosers();

  // ---- common steps of the flows ----
  bool askQuestion(const QString& text);
  // The factors file chosen, if one was; the dialog first opens next to `dataFile` (default: the open one).
  std::optional<std::string> runFactorsDialog(const QString& dataFile = QString());
  void setDataFile(const QString& path, const QString& captionPrefix);
  void selectPage(int index);  // raises no page-change request

  // True while a file is read or a summary computed: the commands that read or replace the
  // analysis are refused meanwhile.
  bool isBusy() const override;
  // When busy, says so in the status line and returns true: the command is then ignored.
  bool refuseWhileBusy() override;
  // Stops the running load or summary; the analysis stays as it was.
  void cancelJob();
  // Every chain's table with its retained rows under this burn-in and burn-out, chain 1 first.
  std::vector<ChainRows> retainedChains(long long burnIn, long long burnOut) const override;
  // The rows of the shortest chain: the track bars' percentages refer to it.
  int shortestChainRows() const;
  // The status line of an analysis of several chains: "3 chains: 1,000 + 1,000 + 998 rows × 7 columns".
  QString chainsStatus() const;
  // File > "Add chain...": reads a data file as a further chain of the open analysis, in the
  // background; refused (the analysis kept) when its kind or column count differs. `then` runs once
  // it is added.
  void AddChainClick();
  bool addChainFile(const QString& path, std::function<void()> then = {});
  // Reads the chains in `paths` one after the other, then runs `then`.
  void addChainFiles(QStringList paths, std::function<void()> then = {});
  // The status line's permanent part: the rows retained of the table.
  QString retainedRowsText() const;

  // The retained rows read from the texts of Cutin and Cutout, clamped to the table; nothing
  // while either text is not a whole number (the edit is then marked invalid). `problem` gets a
  // message naming the text.
  std::optional<RowRange> retainedRowRange(QString* problem = nullptr) override;
  // Brings the burn-in and burn-out of the edits within a newly read table of rowCount rows;
  // says what it changed, if anything.
  std::optional<QString> fitDataRangeToRows(int rowCount);

  // ---- building the window ----
  void createControls();
  // The first size and place: the designed size where the screen has room for it, otherwise as
  // much as the screen's free area holds, centred in it.
  void fitToScreen();
  void createMenus();
  void createChartPopupMenu();
  void connectHandlers();
  void createJobControls();
  // what the pages use of the window
  AnalysisState& analysisState() override { return state; }
  JobRunner& jobRunner() override { return *jobs_; }
  const BurnRange& burnRange() const override { return burnRange_; }
  int levelPercent() const override;
  const ConvergenceTarget& convergenceTarget() const override;
  bool fstOnLogitScale() const override;
  bool showBurnInRows() const override;
  int shownPage() const override;
  void showColumn(int column) override;
  bool showAllele(int locus, int allele) override;
  void runGuarded(const std::function<void()>& handler) override;
  void setStatus(const QString& text) override;
  // A status message about an event (a cancel, a refused file, an ignored command): it goes once
  // the user changes what the window shows.
  void setPassingStatus(const QString& text) override;
  void dropPassingStatus() override;
  void replotIfRangeChanged();
  // What the load job opened: the analysis or why it was refused (ui/load_data_file.cpp).
  struct FileOpened;
  void dataFileRead(const LoadPlan& plan, const FileOpened& file);
  void finishOpenFlow();
  void modelChosen(QComboBox* chooser, QComboBox* twin);
  void markRangeEdit(QLineEdit* edit, bool valid);
  void applyBurnEditOutcome(QLineEdit* edit, QLineEdit* other, TrackBar* bar);
  void reportError(const QString& text) override;
  // Inputs the summary would be computed from now; nothing while the data range is invalid.
  std::optional<SummaryInputs> currentSummaryInputs() const override;
  // After anything the pages depend on changed: each empties what no longer describes the inputs
  // and, while it is shown, computes it anew.
  void analysisChanged() override;
  void updateRetainedRowsText();
  void showJobProgress();
  // The save dialog for `purpose`, offering "<data file>_<nameSuffix><defaultExt>": the path chosen,
  // with the default extension when it was typed without one.
  std::optional<QString> askSavePath(DialogPurpose purpose, const QString& filter, const QString& defaultExt,
                                     const QString& nameSuffix);
  // Saves the chart laid out at sizeFactor times its size, offered as figureName in the data's
  // folder.
  // A title (figureTitle) is drawn above a chart that has none while its figure is made.
  void saveChartFigure(QCustomPlot* chart, int sizeFactor, const QString& figureName,
                       const QString& figureTitle = {});
  // "Trace of Sigma ²": what the main graph shows now, for its figure and printout.
  QString mainChartTitle() const;
  // "Print graph" prints the chart under the mouse, otherwise Chart1.
  QCustomPlot* chartToPrint() const;
  // File > "Recent files": its menu, an entry made for the file just opened, and opening one.
  void createRecentFilesMenu();
  void fillRecentFilesMenu();
  void rememberRecentFile();
  void openRecentFile(std::size_t index);
  void saveRecentFiles();
  // Options > "Write a record with each report": the record beside a report just saved.
  void writeReportRecord(const std::string& reportPath, long long burnIn, long long burnOut);
  // Options > "Use suggested burn-in": Burn-in set to the suggestion as if typed; with none, the
  // status line says why.
  void useSuggestedBurnInClick();
  // Options > "Suggest burn-in from": every quantity, or the column shown, for this analysis only.
  void suggestFromClick();
  // Options > "Round to the Monte Carlo error": the Diagnostics page's means and HPDI limits.
  void roundToMcseClick();
  // Options > "Convergence target...": the dialog, then the Diagnostics page judged by the target
  // chosen, which the window remembers.
  void convergenceTargetClick();
  // What the suggestion of the open analysis is computed from; nothing while there is none.
  std::optional<SuggestionInputs> suggestionInputs() const;
  // The suggestion follows the analysis: a new one starts from every quantity again.
  void followSuggestion();
  // The suggestion known for the open chains changed: the menu and the trace follow.
  void suggestionChanged();
  // Why the record of a report saved at reportPath could not be written there, or nothing.
  std::optional<std::string> recordTargetFault(const std::string& reportPath) const;
  // The chart popup's commands: the chosen item checked, the charts changed and redrawn.
  std::array<QCustomPlot*, 5> allCharts() const;
  void applySeriesColour(QAction* item, const QColor& colour);
  void applyBackground(QAction* item, const QColor& colour);
  void applyGrid(QAction* item, bool visible);
  void applyStyle(QAction* item, bool line, bool markers);

  Dialogs& dialogs_;
  std::unique_ptr<JobRunner> jobs_;
  bool unattendedRun_ = false;  // while the command line's unattended run goes on
  QString factorsFault_;        // the first fault of the factors file last read, with its file and line
  bool pageChangeFromCode_ = false;
  bool fittingRange_ = false;
  BurnRange burnRange_{0, 0};  // read from Cutin and Cutout at each change of their texts
  int currentPage_ = 1;
  QProgressBar* jobGauge_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QLabel* rowsLabel_ = nullptr;
  QString passingStatus_;  // the status message that goes at the next change, if still shown
  QString rangeNote_;      // the part of the status message saying a burn-in was set back to 0
  DialogFolders dialogFolders_;
  QString graphFilter_ = "PNG image";  // the format of the last graph saved
  int graphScale_ = 0;                 // the "Scale" choice of the last graph saved
  QString reportName_;                 // the last name the results report was saved under
  std::unique_ptr<QSettings> settings_;  // none: nothing is remembered between runs
  std::unique_ptr<RecentFiles> recentFiles_;
  QMenu* recentFilesMenu_ = nullptr;
  QAction* writeRecord_ = nullptr;
  QAction* useSuggestedBurnIn_ = nullptr;
  QMenu* suggestFrom_ = nullptr;
  QAction* suggestFromAll_ = nullptr;
  QAction* suggestFromColumn_ = nullptr;
  QAction* roundToMcse_ = nullptr;
  QAction* convergenceTarget_ = nullptr;
  std::unique_ptr<SuggestedBurnIn> suggestion_;

  // ---- following the files of the analysis (ui/follow_files.cpp) ----
  struct FollowRound;
  void createFollowing();
  // Starts following the analysis open now; false (and said) when there is none to follow.
  bool startFollowing();
  // Following ends: a round still running is dropped when it comes back.
  void stopFollowing();
  void takeInRound(const FollowRound& round);
  // The pages shown that have rows to take in are recomputed, as often as their cost allows.
  void refreshFollowedPages();
  void showFollowingStatus();
  std::unique_ptr<Following> following_;
  bool followOnceOpen_ = false;
  std::string suggestionAnalysis_;  // the data file whose suggestion source the menu holds
};

}  // namespace varno
