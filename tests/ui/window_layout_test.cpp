// The window's designed state: names, captions, ranges, defaults, menus and the no-argument start.
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QScrollBar>
#include <QTableWidget>
#include <QTabWidget>
#include <QTemporaryDir>

#include "charts/interval_series.h"
#include "scripted_dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/plotwin2.h"
#include "ui/track_bar.h"
#include "ui/up_down.h"
#include "wait_idle.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::ScriptedDialogs;

struct WindowTest : ::testing::Test {
  ScriptedDialogs dialogs;
  TForm3 form{dialogs};
};

TEST_F(WindowTest, EveryDesignedControlCarriesItsName) {
  const char* widgets[] = {"Pages", "Details", "Summary", "plot", "col", "xi", "Llocus", "Locus",
                           "Lallele", "Allele", "LModel_only2", "Model_only2", "InOut", "LCutin",
                           "Cutin", "LCutout", "Cutout", "Tburnin", "Tburnout", "Plot_type",
                           "normal", "mean", "histo", "nb_histo2", "nb_histo", "density",
                           "lambda_default", "lambda_dens", "Llambda", "Vlambda", "Stats", "m",
                           "var_edit", "min", "max", "mode", "HPDI", "accuracy", "width", "Cpc2",
                           "Cpc", "Chart1", "LModel_choice", "Model_only", "mModel", "Lloading",
                           "progress", "G1_graph", "G2_graph", "Combo_G1", "Combo_G2", "Chart4",
                           "Chart3", "model_help"};
  for (const char* name : widgets) {
    EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;
  }
  const char* actions[] = {"Open", "Openfactorfile", "save_res", "Save", "g1_save", "g2_save",
                           "hpdi_save", "model_save", "Print", "logFst", "Alwaysontop", "Refresh1",
                           "Line_Red", "Line_Black", "Line_Blue", "Line_Green", "Line_Gray",
                           "Line_White", "Back_Grey", "Back_White", "Grid_On", "Grid_Off", "Lines",
                           "Points", "Both"};
  for (const char* name : actions) {
    EXPECT_NE(form.findChild<QAction*>(name), nullptr) << name;
  }
  for (const char* name : {"Serie", "histogram"})
    EXPECT_NE(part<QCustomPlot>(form, "Chart1")->findChild<QCPAbstractPlottable*>(name), nullptr)
        << name;
  EXPECT_NE(part<QCustomPlot>(form, "G1_graph")->findChild<QCPGraph*>("G1_serie"), nullptr);
  EXPECT_NE(part<QCustomPlot>(form, "G2_graph")->findChild<QCPGraph*>("G2_serie"), nullptr);
  EXPECT_NE(part<QCustomPlot>(form, "Chart4")->findChild<IntervalSeries*>("hpdis"), nullptr);
  EXPECT_NE(part<QCustomPlot>(form, "Chart3")->findChild<QCPBars*>("model"), nullptr);
  EXPECT_EQ(part<QPushButton>(form, "model_help")->parent(), part<QCustomPlot>(form, "Chart3"));
}

TEST_F(WindowTest, CaptionsAndDefaultsAreAsDesigned) {
  EXPECT_EQ(form.windowTitle(), "VARNO v2.0 Plot Window");
  EXPECT_TRUE(part<QTabWidget>(form, "Pages")->currentWidget()->isAncestorOf(part<QWidget>(form, "Summary")));
  EXPECT_EQ(part<QTabWidget>(form, "Pages")->tabText(0), "Details");
  EXPECT_EQ(part<QTabWidget>(form, "Pages")->tabText(1), "Summary");
  EXPECT_EQ(part<QTabWidget>(form, "Pages")->tabText(2), "Diagnostics");
  EXPECT_EQ(part<QRadioButton>(form, "autocorr")->text(), "Autocorrelation");
  EXPECT_EQ(part<QGroupBox>(form, "plot")->title(), " Plot: ");
  EXPECT_EQ(part<QGroupBox>(form, "InOut")->title(), " Data range: ");
  EXPECT_EQ(part<QGroupBox>(form, "Plot_type")->title(), " Plot type: ");
  EXPECT_EQ(part<QGroupBox>(form, "Stats")->title(), " Statistics: ");
  EXPECT_EQ(part<QLabel>(form, "col")->text(), "Column to plot :");
  EXPECT_EQ(part<QLineEdit>(form, "Cutin")->text(), "0");
  EXPECT_EQ(part<QLineEdit>(form, "Cutout")->text(), "0");
  EXPECT_EQ(part<QLineEdit>(form, "nb_histo2")->text(), "30");
  EXPECT_EQ(part<QLineEdit>(form, "Cpc2")->text(), "95");
  EXPECT_TRUE(part<QRadioButton>(form, "normal")->isChecked());
  EXPECT_EQ(part<QRadioButton>(form, "normal")->text(), "Trace");
  EXPECT_EQ(part<QRadioButton>(form, "histo")->text(), "Histogram:");
  EXPECT_EQ(part<QRadioButton>(form, "density")->text(), "Density:");
  EXPECT_EQ(part<QPushButton>(form, "lambda_default")->text(), "Default");
  EXPECT_EQ(part<QPushButton>(form, "model_help")->text(), "Help !");
  EXPECT_EQ(part<QLabel>(form, "Lloading")->text(), "File loading progress:");
  EXPECT_EQ(part<QComboBox>(form, "Locus")->count(), 1);
  EXPECT_EQ(part<QComboBox>(form, "Locus")->currentText(), "1");
  EXPECT_EQ(part<QComboBox>(form, "Allele")->currentText(), "1");
  EXPECT_EQ(part<QComboBox>(form, "xi")->count(), 0);
  EXPECT_TRUE(part<QLineEdit>(form, "Vlambda")->isReadOnly());
  EXPECT_TRUE(part<QPlainTextEdit>(form, "mModel")->isReadOnly());
  EXPECT_EQ(part<QProgressBar>(form, "progress")->value(), 0);
}

// At its designed size the Summary page shows everything without scroll bars; a smaller window
// (a laptop's screen) scrolls to the evidence table instead of cutting it off.
TEST_F(WindowTest, ASmallWindowScrollsTheSummaryPage) {
  // the window first fits the screen, which here may be smaller than the designed window
  form.resize(790, 884 + form.menuBar()->sizeHint().height() + form.statusBar()->sizeHint().height());
  form.show();
  auto* scroll = part<QScrollArea>(form, "SummaryScroll");
  QCoreApplication::processEvents();
  EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
  EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());

  form.resize(form.size().width(), 600);
  QCoreApplication::processEvents();
  ASSERT_TRUE(scroll->verticalScrollBar()->isVisible());
  QWidget* evidence = part<QTableWidget>(form, "evidence");
  scroll->ensureWidgetVisible(evidence, 0, 0);
  const QPoint top = evidence->mapTo(scroll->viewport(), QPoint(0, 0));
  EXPECT_GE(top.y(), 0);
  // its header and three rows of factors show; the blank margin below them may be cut, as the
  // designed window cuts it
  EXPECT_LE(top.y() + 86, scroll->viewport()->height());
}

TEST_F(WindowTest, RangesOfTrackBarsAndSpinners) {
  struct Case {
    TrackBar* bar;
    int lo, hi, tick, pos;
  } bars[] = {{part<TrackBar>(form, "Tburnin"), 0, 100, 5, 0},
              {part<TrackBar>(form, "Tburnout"), 0, 100, 5, 0},
              {part<TrackBar>(form, "lambda_dens"), -1000, 300, 30, -500}};
  for (const Case& c : bars) {
    EXPECT_EQ(c.bar->minimum(), c.lo) << c.bar->objectName().toStdString();
    EXPECT_EQ(c.bar->maximum(), c.hi);
    EXPECT_EQ(c.bar->tickInterval(), c.tick);
    EXPECT_EQ(c.bar->position(), c.pos);
  }
  EXPECT_EQ(part<UpDown>(form, "nb_histo")->minimum(), 2);
  EXPECT_EQ(part<UpDown>(form, "nb_histo")->maximum(), 200);
  EXPECT_EQ(part<UpDown>(form, "nb_histo")->position(), 30);
  EXPECT_EQ(part<UpDown>(form, "Cpc")->minimum(), 1);
  EXPECT_EQ(part<UpDown>(form, "Cpc")->maximum(), 99);
  EXPECT_EQ(part<UpDown>(form, "Cpc")->position(), 95);
}

TEST_F(WindowTest, MenusHaveTheirCaptionsShortcutsAndChecks) {
  struct Case {
    QAction* action;
    const char* caption;
    const char* shortcut;
  } cases[] = {{part<QAction>(form, "Open"), "Open data file", "Ctrl+O"},
               {part<QAction>(form, "Openfactorfile"), "Open factor file", "Ctrl+F"},
               {part<QAction>(form, "save_res"), "Save results as...", "Ctrl+R"},
               {part<QAction>(form, "Save"), "Save main graph as...", "Ctrl+S"},
               {part<QAction>(form, "g1_save"), "Save G1 graph as...", ""},
               {part<QAction>(form, "g2_save"), "Save G2 graph as...", ""},
               {part<QAction>(form, "hpdi_save"), "Save HPDIs graph as...", ""},
               {part<QAction>(form, "model_save"), "Save model graph as...", ""},
               {part<QAction>(form, "Print"), "Print graph", "Ctrl+P"},
               {part<QAction>(form, "logFst"), "log(Fst/1-Fst)", "Ctrl+L"},
               {part<QAction>(form, "Alwaysontop"), "Always on top", "Ctrl+T"},
               {part<QAction>(form, "Refresh1"), "Reload (F5)", "F5"},
               {part<QAction>(form, "diag_save"), "Save diagnostics table...", ""},
               {part<QAction>(form, "showBurnIn"), "Show burn-in rows", ""}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.action->text(), c.caption);
    EXPECT_EQ(c.action->shortcut().toString(), c.shortcut) << c.caption;
  }
  EXPECT_TRUE(part<QAction>(form, "logFst")->isChecked());
  EXPECT_FALSE(part<QAction>(form, "Alwaysontop")->isChecked());
  EXPECT_TRUE(part<QAction>(form, "showBurnIn")->isCheckable());
  EXPECT_FALSE(
      part<QAction>(form, "showBurnIn")->isChecked());  // the designed trace plot by default

  struct Radio {
    QAction* action;
    const char* caption;
    bool checked;
  } radios[] = {{part<QAction>(form, "Line_Red"), "Red", true},
                {part<QAction>(form, "Line_Black"), "Black", false},
                {part<QAction>(form, "Line_Blue"), "Blue", false},
                {part<QAction>(form, "Line_Green"), "Green", false},
                {part<QAction>(form, "Line_Gray"), "Gray", false},
                {part<QAction>(form, "Line_White"), "White", false},
                {part<QAction>(form, "Back_Grey"), "None", true},
                {part<QAction>(form, "Back_White"), "White", false},
                {part<QAction>(form, "Grid_On"), "On", true},
                {part<QAction>(form, "Grid_Off"), "Off", false},
                {part<QAction>(form, "Lines"), "Lines", true},
                {part<QAction>(form, "Points"), "Points", false},
                {part<QAction>(form, "Both"), "Both", false}};
  for (const Radio& r : radios) {
    EXPECT_EQ(r.action->text(), r.caption);
    EXPECT_TRUE(r.action->isCheckable());
    EXPECT_EQ(r.action->isChecked(), r.checked) << r.caption;
    ASSERT_NE(r.action->actionGroup(), nullptr);
    EXPECT_TRUE(r.action->actionGroup()->isExclusive());
  }
  QStringList subMenus;
  for (QAction* a : part<QMenu>(form, "PopupMenu1")->actions()) subMenus << a->text();
  EXPECT_EQ(subMenus, QStringList({"Color", "Background color", "Grid", "Style"}));
}

TEST_F(WindowTest, DialogsHaveTheirDesignedFilters) {
  EXPECT_EQ(part<FileDialogSpec>(form, "OpenDialog")->filter,
            "Fst file (*.fst)|*.fst|Frequences file (*.frq)|*.frq|Fst Maximum Likelihood file "
            "(*.ml)|*.ml|Factors file (*.txt)|*.txt|Other (*.*)|*.*");
  EXPECT_TRUE(part<FileDialogSpec>(form, "OpenDialog")->mustExist);
  EXPECT_EQ(part<FileDialogSpec>(form, "SaveDialog")->filter,
            "PNG image|*.png|SVG image|*.svg|PDF document|*.pdf|BMP image|*.bmp");
  EXPECT_EQ(part<FileDialogSpec>(form, "SaveDialog")->defaultExt, ".png");
  EXPECT_TRUE(part<FileDialogSpec>(form, "SaveDialog")->overwritePrompt);
}

// Each filter is shown once: a description that names its patterns is not given them again.
TEST(ToolkitFilter, ShowsEachFilterOnceAndGivesBackItsDescription) {
  const struct {
    QString design, toolkit;
  } cases[] = {
      {"Fst file (*.fst)|*.fst|Other(*.*)|*.*", "Fst file (*.fst);;Other(*.*)"},
      {"Fst Maximum Likelihood file (*.ml)|*.ml", "Fst Maximum Likelihood file (*.ml)"},
      {"Text file |*.txt", "Text file (*.txt)"},
      {"PNG image|*.png|BMP image|*.bmp", "PNG image (*.png);;BMP image (*.bmp)"},
      {"Both (*.fst *.frq)|*.fst;*.frq", "Both (*.fst *.frq)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(toolkitFilter(c.design), c.toolkit) << c.design.toStdString();
    const QString first = c.toolkit.section(";;", 0, 0);
    EXPECT_EQ(designDescription(c.design, first), c.design.section('|', 0, 0).trimmed());
  }
}

TEST_F(WindowTest, StartWithoutArgumentsDisablesTheDataControlsAndReadsNothing) {
  form.actOnCommandLine({});
  for (QWidget* w : std::initializer_list<QWidget*>{
           part<QComboBox>(form, "xi"), part<QRadioButton>(form, "mean"),
           part<QRadioButton>(form, "histo"), part<QRadioButton>(form, "density"),
           part<QRadioButton>(form, "normal"), part<QLineEdit>(form, "Cutin"),
           part<QLineEdit>(form, "Cutout"), part<TrackBar>(form, "Tburnin"),
           part<TrackBar>(form, "Tburnout"), part<QComboBox>(form, "Locus"),
           part<QComboBox>(form, "Allele"), part<QComboBox>(form, "Model_only2")})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  for (QWidget* w : std::initializer_list<QWidget*>{
           part<QComboBox>(form, "Allele"), part<QComboBox>(form, "Locus"),
           part<QLabel>(form, "Lallele"), part<QLabel>(form, "Llocus")})
    EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
  EXPECT_EQ(form.windowTitle(), "VARNO v2.0 Plot Window");
  EXPECT_FALSE(form.analysis().open());
  EXPECT_EQ(form.analysis().factorMode, -1);
  EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(WindowTest, PageChangesAreRefusedWhileNoFstFileIsOpen) {
  part<QTabWidget>(form, "Pages")->setCurrentIndex(0);  // as a click on the tab asks
  EXPECT_EQ(part<QTabWidget>(form, "Pages")->currentIndex(), 1);
  part<QTabWidget>(form, "Pages")->setCurrentIndex(2);  // no data, no diagnostics
  EXPECT_EQ(part<QTabWidget>(form, "Pages")->currentIndex(), 1);
  // a page the program selects asks nothing: a file that is not an fst file shows its Details
  QTemporaryDir dir;
  QFile trace(dir.filePath("trace.ml"));
  ASSERT_TRUE(trace.open(QIODevice::WriteOnly));
  trace.write("1 2\n3 4\n");
  trace.close();
  form.actOnCommandLine({trace.fileName()});
  ASSERT_TRUE(waitUntilIdle(form));
  EXPECT_EQ(part<QTabWidget>(form, "Pages")->currentIndex(), 0);
  part<QTabWidget>(form, "Pages")->setCurrentIndex(1);  // its Summary is refused to a click
  EXPECT_EQ(part<QTabWidget>(form, "Pages")->currentIndex(), 0);
}

}  // namespace
}  // namespace varno
