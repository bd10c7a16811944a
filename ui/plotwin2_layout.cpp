// The window's controls in their designed places, names, captions, ranges and defaults.
#include <QActionGroup>
#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QHeaderView>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include "charts/chart_export.h"
#include "charts/chart_setup.h"
#include "charts/window_charts.h"
#include "ui/column_chooser_search.h"
#include "ui/designed_controls.h"
#include "ui/details_page.h"
#include "ui/diagnostics_page.h"
#include "ui/summary_page.h"
#include "ui/eliding_status_bar.h"
#include "ui/file_dialog_spec.h"
#include "ui/plotwin2.h"
#include "ui/track_bar.h"
#include "ui/up_down.h"

namespace varno {

namespace {

constexpr int kClientWidth = 790;
// the designed 780, and under the charts the evidence for each factor
constexpr int kClientHeight = 780 + 104;
// what a window manager's frame usually takes around the window, and its title bar above
constexpr int kFrameAllowance = 8;
constexpr int kTitleAllowance = 32;

// The size below which a page's designed content would be cut: to the right and lower edges of its
// shown children, less the few pixels of their margins that the designed window itself cuts.
QSize designedExtent(const QWidget& page) {
  QRect all;
  for (const QWidget* child : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!child->isHidden()) all |= child->geometry();
  return {all.right() + 1 - 8, all.bottom() + 1 - 12};
}

QAction* item(QMenu* menu, const QString& name, const QString& caption,
              const QKeySequence& shortcut = {}) {
  auto* a = named(menu->addAction(caption), name);
  if (!shortcut.isEmpty()) a->setShortcut(shortcut);
  return a;
}

QAction* radioItem(QMenu* menu, QActionGroup* group, const QString& name, const QString& caption,
                   bool checked) {
  QAction* a = item(menu, name, caption);
  a->setCheckable(true);
  a->setChecked(checked);
  group->addAction(a);
  return a;
}

}  // namespace

void TForm3::createControls() {
  setWindowTitle("VARNO v2.0 Plot Window");
  useWindowFont(this);

  auto* client = new QWidget(this);
  client->setObjectName("client");
  setCentralWidget(client);

  // the pages' designed content is 754 pixels high below the tabs: the client area adds the tabs
  Pages = named(new QTabWidget(client), "Pages");
  Pages->setGeometry(0, 0, kClientWidth, kClientHeight);
  Details = named(new QWidget, "Details");
  Summary = named(new QWidget, "Summary");
  Pages->addTab(Details, "Details");
  // the Summary page's charts and tables stand where they were designed: a window smaller than
  // that scrolls them instead of cutting the lower ones off
  auto* summaryScroll = named(new QScrollArea, "SummaryScroll");
  summaryScroll->setFrameShape(QFrame::NoFrame);
  summaryScroll->setWidgetResizable(true);
  summaryScroll->setWidget(Summary);
  Pages->addTab(summaryScroll, "Summary");
  Diagnostics = named(new QWidget, "Diagnostics");
  Pages->addTab(Diagnostics, "Diagnostics");
  pageChangeFromCode_ = true;
  Pages->setCurrentIndex(1);  // designed active page
  pageChangeFromCode_ = false;
  currentPage_ = 1;

  details_ = std::make_unique<DetailsPage>(Details, static_cast<PageHost&>(*this));
  summary_ = std::make_unique<SummaryPage>(Summary, static_cast<PageHost&>(*this), dialogs_);
  Summary->setMinimumSize(designedExtent(*Summary));
  diagnostics_ = std::make_unique<DiagnosticsPage>(Diagnostics, static_cast<PageHost&>(*this));
  createMenus();
  createChartPopupMenu();

  OpenDialog = new FileDialogSpec("OpenDialog", this);
  OpenDialog->filter =
      "Fst file (*.fst)|*.fst|Frequences file (*.frq)|*.frq|Fst Maximum Likelihood file "
      "(*.ml)|*.ml|Factors file (*.txt)|*.txt|Other (*.*)|*.*";
  OpenDialog->mustExist = true;
  SaveDialog = new FileDialogSpec("SaveDialog", this);
  SaveDialog->defaultExt = ".png";
  SaveDialog->filter = chartFileFilter();
  SaveDialog->overwritePrompt = true;

  setStatusBar(new ElidingStatusBar(this));
  statusBar()->setObjectName("StatusBar");
  statusBar()->setSizeGripEnabled(false);
  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height() +
                          statusBar()->sizeHint().height());
  fitToScreen();
}

void TForm3::fitToScreen() {
  const QScreen* screen = this->screen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  // the window manager's frame is not known before the window is shown: room is left for one
  const QSize frame(kFrameAllowance, kTitleAllowance + kFrameAllowance);
  const QSize fitted = size().boundedTo(room.size() - frame);
  resize(fitted);
  move(room.x() + std::max(0, (room.width() - fitted.width() - frame.width()) / 2),
       room.y() + std::max(0, (room.height() - fitted.height() - frame.height()) / 2));
}

void TForm3::createMenus() {
  MainMenu1 = named(menuBar(), "MainMenu1");
  File = named(MainMenu1->addMenu("File"), "File");
  Open = item(File, "Open", "Open data file", QKeySequence("Ctrl+O"));
  Openfactorfile = item(File, "Openfactorfile", "Open factor file", QKeySequence("Ctrl+F"));
  addChain = item(File, "addChain", "Add chain...", QKeySequence("Ctrl+Shift+O"));
  createRecentFilesMenu();
  save_res = item(File, "save_res", "Save results as...", QKeySequence("Ctrl+R"));
  diag_save = item(File, "diag_save", "Save diagnostics table...");
  exportDraws = item(File, "exportDraws", "Export retained draws...");
  Save = item(File, "Save", "Save main graph as...", QKeySequence("Ctrl+S"));
  g1_save = item(File, "g1_save", "Save G1 graph as...");
  g2_save = item(File, "g2_save", "Save G2 graph as...");
  hpdi_save = item(File, "hpdi_save", "Save HPDIs graph as...");
  model_save = item(File, "model_save", "Save model graph as...");
  Print = item(File, "Print", "Print graph", QKeySequence("Ctrl+P"));
  Options = named(MainMenu1->addMenu("Options"), "Options");
  logFst = item(Options, "logFst", "log(Fst/1-Fst)", QKeySequence("Ctrl+L"));
  logFst->setCheckable(true);
  logFst->setChecked(true);
  Alwaysontop = item(Options, "Alwaysontop", "Always on top", QKeySequence("Ctrl+T"));
  Alwaysontop->setCheckable(true);
  Alwaysontop->setChecked(false);
  showBurnIn = item(Options, "showBurnIn", "Show burn-in rows");
  showBurnIn->setCheckable(true);
  showBurnIn->setChecked(false);
  writeRecord_ = item(Options, "writeRecord", "Write a record with each report");
  writeRecord_->setCheckable(true);
  writeRecord_->setChecked(false);
  FollowFiles1 = item(Options, "FollowFiles1", "Follow files");
  FollowFiles1->setCheckable(true);
  FollowFiles1->setChecked(false);
  FollowFiles1->setToolTip("Take in the rows a running sampler appends to the files of the analysis, once a second");
  Options->addSeparator();
  useSuggestedBurnIn_ = item(Options, "useSuggestedBurnIn", "Use suggested burn-in", QKeySequence("Ctrl+B"));
  useSuggestedBurnIn_->setEnabled(false);  // until there is a suggestion of the open chains
  suggestFrom_ = named(Options->addMenu("Suggest burn-in from"), "suggestFrom");
  auto* sources = new QActionGroup(this);
  suggestFromAll_ = radioItem(suggestFrom_, sources, "suggestFromAll", "All quantities", true);
  suggestFromColumn_ = radioItem(suggestFrom_, sources, "suggestFromColumn", "Column shown", false);
  roundToMcse_ = item(Options, "roundToMcse", "Round to the Monte Carlo error");
  roundToMcse_->setCheckable(true);
  roundToMcse_->setChecked(false);
  convergenceTarget_ = item(Options, "convergenceTarget", "Convergence target...");
  Refresh1 = named(MainMenu1->addAction("Reload (F5)"), "Refresh1");
  Refresh1->setShortcut(QKeySequence(Qt::Key_F5));
}

void TForm3::createChartPopupMenu() {
  PopupMenu1 = named(new QMenu(this), "PopupMenu1");
  Color = named(PopupMenu1->addMenu("Color"), "Color");
  auto* colors = new QActionGroup(this);
  Line_Red = radioItem(Color, colors, "Line_Red", "Red", true);
  Line_Black = radioItem(Color, colors, "Line_Black", "Black", false);
  Line_Blue = radioItem(Color, colors, "Line_Blue", "Blue", false);
  Line_Green = radioItem(Color, colors, "Line_Green", "Green", false);
  Line_Gray = radioItem(Color, colors, "Line_Gray", "Gray", false);
  Line_White = radioItem(Color, colors, "Line_White", "White", false);
  Back_Color = named(PopupMenu1->addMenu("Background color"), "Back_Color");
  auto* backs = new QActionGroup(this);
  Back_Grey = radioItem(Back_Color, backs, "Back_Grey", "None", true);
  Back_White = radioItem(Back_Color, backs, "Back_White", "White", false);
  Grid = named(PopupMenu1->addMenu("Grid"), "Grid");
  auto* grids = new QActionGroup(this);
  Grid_On = radioItem(Grid, grids, "Grid_On", "On", true);
  Grid_Off = radioItem(Grid, grids, "Grid_Off", "Off", false);
  Style = named(PopupMenu1->addMenu("Style"), "Style");
  auto* styles = new QActionGroup(this);
  Lines = radioItem(Style, styles, "Lines", "Lines", true);
  Points = radioItem(Style, styles, "Points", "Points", false);
  Both = radioItem(Style, styles, "Both", "Both", false);
}

}  // namespace varno
