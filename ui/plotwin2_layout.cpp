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

  createDetailsPage();
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

void TForm3::createDetailsPage() {
  QWidget* page = Details;

  plot = named(new QGroupBox(" Plot: ", page), "plot");
  plot->setGeometry(45, 5, 265, 89);
  col = label("col", "Column to plot :", plot, 8, 24);
  xi = dropDown("xi", plot, QRect(96, 20, 160, 22), 15);
  Llocus = label("Llocus", "Locus: ", plot, 8, 24);
  Locus = dropDown("Locus", plot, QRect(96, 20, 70, 22), 10);
  Locus->addItem("1");
  Locus->setCurrentIndex(0);
  Lallele = label("Lallele", "Allele:", plot, 8, 56);
  Allele = dropDown("Allele", plot, QRect(96, 52, 70, 22), 12);
  Allele->addItem("1");
  Allele->setCurrentIndex(0);
  // tens of thousands of columns, thousands of loci: found by typing
  makeSearchable(xi);
  makeSearchable(Locus);
  LModel_only2 = label("LModel_only2", "Model:", plot, 8, 56);
  Model_only2 = dropDown("Model_only2", plot, QRect(96, 52, 160, 22), 10);

  InOut = named(new QGroupBox(" Data range: ", page), "InOut");
  InOut->setGeometry(45, 101, 265, 81);
  LCutin = label("LCutin", "Burn-in:", InOut, 8, 24);
  Cutin = edit("Cutin", "0", InOut, QRect(66, 20, 64, 21));
  Tburnin = new TrackBar("Tburnin", 0, 100, 5, 0, InOut);
  Tburnin->setGeometry(136, 16, 122, 28);
  LCutout = label("LCutout", "Burn-out:", InOut, 8, 54);
  Cutout = edit("Cutout", "0", InOut, QRect(66, 50, 64, 21));
  Tburnout = new TrackBar("Tburnout", 0, 100, 5, 0, InOut);
  Tburnout->setGeometry(136, 46, 122, 28);

  Plot_type = named(new QGroupBox(" Plot type: ", page), "Plot_type");
  Plot_type->setGeometry(327, 5, 156, 177);
  normal = named(new QRadioButton("Trace", Plot_type), "normal");
  normal->setGeometry(10, 18, 80, 18);
  normal->setChecked(true);
  mean = named(new QRadioButton("Mean", Plot_type), "mean");
  mean->setGeometry(10, 38, 80, 18);
  histo = named(new QRadioButton("Histogram:", Plot_type), "histo");
  histo->setGeometry(10, 60, 84, 18);
  nb_histo2 = edit("nb_histo2", "30", Plot_type, QRect(96, 58, 36, 21));
  nb_histo = new UpDown("nb_histo", nb_histo2, 2, 200, 30, Plot_type);
  nb_histo->setGeometry(132, 58, 16, 21);
  density = named(new QRadioButton("Density:", Plot_type), "density");
  density->setGeometry(10, 88, 80, 18);
  lambda_default = named(new QPushButton("Default", Plot_type), "lambda_default");
  lambda_default->setGeometry(92, 85, 56, 23);
  lambda_dens = new TrackBar("lambda_dens", -1000, 300, 30, -500, Plot_type);
  lambda_dens->setGeometry(6, 112, 144, 28);
  // the fifth plot type sits beside the first; the box keeps its place and may widen into the
  // gap before the Statistics box to hold it
  autocorr = named(new QRadioButton("Autocorrelation", Plot_type), "autocorr");
  const int traceWidth = std::min(normal->width(), normal->sizeHint().width());
  const int autocorrX = normal->x() + traceWidth + 2;
  const int roomToStats = 502 - 3 - Plot_type->x();
  // a wide system font gets a smaller caption rather than a clipped one
  QFont autocorrFont = autocorr->font();
  while (autocorrX + autocorr->sizeHint().width() + 2 > roomToStats && autocorrFont.pointSizeF() > 6) {
    autocorrFont.setPointSizeF(autocorrFont.pointSizeF() - 0.5);
    autocorr->setFont(autocorrFont);
  }
  const int autocorrWidth = autocorr->sizeHint().width();
  normal->resize(traceWidth, normal->height());
  autocorr->setGeometry(autocorrX, 18, autocorrWidth, 18);
  Plot_type->resize(std::clamp(autocorrX + autocorrWidth + 2, Plot_type->width(), roomToStats), Plot_type->height());
  Llambda = label("Llambda", "Lambda=", Plot_type, 10, 150);
  Vlambda = display("Vlambda", Plot_type, QRect(62, 148, 86, 18));

  Stats = named(new QGroupBox(" Statistics: ", page), "Stats");
  Stats->setGeometry(502, 5, 220, 159);
  struct Row {
    QLineEdit** target;
    const char* name;
    const char* caption;
  };
  const Row rows[] = {{&m, "m", "Mean: "},          {&var_edit, "var_edit", "Variance: "},
                      {&min, "min", "Min: "},       {&max, "max", "Max:"},
                      {&mode, "mode", "Mode:"},     {&HPDI, "HPDI", "HPDI:"},
                      {&width, "width", "Width:"},  {&accuracy, "accuracy", "Accuracy:"}};
  int y = 19;
  for (const Row& r : rows) {
    label(QString("L") + r.name, r.caption, Stats, 8, y);
    *r.target = display(r.name, Stats, QRect(66, y - 1, 138, 16));
    y += 14;
  }
  accuracy->setGeometry(66, y - 15, 76, 16);
  label("Laccuracy_unit", "%", Stats, 144, y - 14);
  label("Llevel", "Level:", Stats, 8, y + 5);
  Cpc2 = edit("Cpc2", "95", Stats, QRect(66, y + 1, 36, 21));
  Cpc = new UpDown("Cpc", Cpc2, 1, 99, 95, Stats);
  Cpc->setGeometry(102, y + 1, 16, 21);
  label("Llevel_unit", "%", Stats, 122, y + 5);
  convergence = named(new QLabel(page), "convergence");
  convergence->setGeometry(506, 167, 280, 16);
  convergence->setToolTip(
      "Effective sample sizes of the bulk and the tails, and split R-hat, of the draws shown "
      "(retained rows and model filter)");

  const MainChart main = makeMainChart(page);
  Chart1 = main.chart;
  Serie = main.serie;
  histogram = main.histogram;
  burnSerie = Chart1->addGraph();
  burnSerie->setObjectName("burnSerie");
  burnSerie->setName("burnSerie");
  burnSerie->setPen(QPen(QColor(170, 170, 170)));
  burnSerie->setVisible(false);
  markAsContext(burnSerie);
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
