// The window's designed state: names, captions, ranges, defaults, menus and the no-argument start.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <qcustomplot.h>

#include "scripted_dialogs.h"
#include "ui/file_dialog_spec.h"
#include "charts/interval_series.h"
#include "ui/plotwin2.h"
#include "ui/track_bar.h"
#include "ui/up_down.h"

namespace varno {
namespace {

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
    EXPECT_NE(form.Chart1->findChild<QCPAbstractPlottable*>(name), nullptr) << name;
  EXPECT_NE(form.G1_graph->findChild<QCPGraph*>("G1_serie"), nullptr);
  EXPECT_NE(form.G2_graph->findChild<QCPGraph*>("G2_serie"), nullptr);
  EXPECT_NE(form.Chart4->findChild<IntervalSeries*>("hpdis"), nullptr);
  EXPECT_NE(form.Chart3->findChild<QCPBars*>("model"), nullptr);
  EXPECT_EQ(form.model_help->parent(), form.Chart3);
}

TEST_F(WindowTest, CaptionsAndDefaultsAreAsDesigned) {
  EXPECT_EQ(form.windowTitle(), "VARNO v2.0 Plot Window");
  EXPECT_EQ(form.Pages->currentWidget(), form.Summary);
  EXPECT_EQ(form.Pages->tabText(0), "Details");
  EXPECT_EQ(form.Pages->tabText(1), "Summary");
  EXPECT_EQ(form.Pages->tabText(2), "Diagnostics");
  EXPECT_EQ(form.autocorr->text(), "Autocorrelation");
  EXPECT_EQ(form.plot->title(), " Plot: ");
  EXPECT_EQ(form.InOut->title(), " Data range: ");
  EXPECT_EQ(form.Plot_type->title(), " Plot type: ");
  EXPECT_EQ(form.Stats->title(), " Statistics: ");
  EXPECT_EQ(form.col->text(), "Column to plot :");
  EXPECT_EQ(form.Cutin->text(), "0");
  EXPECT_EQ(form.Cutout->text(), "0");
  EXPECT_EQ(form.nb_histo2->text(), "30");
  EXPECT_EQ(form.Cpc2->text(), "95");
  EXPECT_TRUE(form.normal->isChecked());
  EXPECT_EQ(form.normal->text(), "Trace");
  EXPECT_EQ(form.histo->text(), "Histogram:");
  EXPECT_EQ(form.density->text(), "Density:");
  EXPECT_EQ(form.lambda_default->text(), "Default");
  EXPECT_EQ(form.model_help->text(), "Help !");
  EXPECT_EQ(form.Lloading->text(), "File loading progress:");
  EXPECT_EQ(form.Locus->count(), 1);
  EXPECT_EQ(form.Locus->currentText(), "1");
  EXPECT_EQ(form.Allele->currentText(), "1");
  EXPECT_EQ(form.xi->count(), 0);
  EXPECT_TRUE(form.Vlambda->isReadOnly());
  EXPECT_TRUE(form.mModel->isReadOnly());
  EXPECT_EQ(form.progress->value(), 0);
}

TEST_F(WindowTest, RangesOfTrackBarsAndSpinners) {
  struct Case {
    TrackBar* bar;
    int lo, hi, tick, pos;
  } bars[] = {{form.Tburnin, 0, 100, 5, 0},
              {form.Tburnout, 0, 100, 5, 0},
              {form.lambda_dens, -1000, 300, 30, -500}};
  for (const Case& c : bars) {
    EXPECT_EQ(c.bar->minimum(), c.lo) << c.bar->objectName().toStdString();
    EXPECT_EQ(c.bar->maximum(), c.hi);
    EXPECT_EQ(c.bar->tickInterval(), c.tick);
    EXPECT_EQ(c.bar->position(), c.pos);
  }
  EXPECT_EQ(form.nb_histo->minimum(), 2);
  EXPECT_EQ(form.nb_histo->maximum(), 200);
  EXPECT_EQ(form.nb_histo->position(), 30);
  EXPECT_EQ(form.Cpc->minimum(), 1);
  EXPECT_EQ(form.Cpc->maximum(), 99);
  EXPECT_EQ(form.Cpc->position(), 95);
}

TEST_F(WindowTest, MenusHaveTheirCaptionsShortcutsAndChecks) {
  struct Case {
    QAction* action;
    const char* caption;
    const char* shortcut;
  } cases[] = {{form.Open, "Open data file", "Ctrl+O"},
               {form.Openfactorfile, "Open factor file", "Ctrl+F"},
               {form.save_res, "Save results as...", "Ctrl+R"},
               {form.Save, "Save main graph as...", "Ctrl+S"},
               {form.g1_save, "Save G1 graph as...", ""},
               {form.g2_save, "Save G2 graph as...", ""},
               {form.hpdi_save, "Save HPDIs graph as...", ""},
               {form.model_save, "Save model graph as...", ""},
               {form.Print, "Print graph", "Ctrl+P"},
               {form.logFst, "log(Fst/1-Fst)", "Ctrl+L"},
               {form.Alwaysontop, "Always on top", "Ctrl+T"},
               {form.Refresh1, "Reload (F5)", "F5"},
               {form.diag_save, "Save diagnostics table...", ""},
               {form.showBurnIn, "Show burn-in rows", ""}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.action->text(), c.caption);
    EXPECT_EQ(c.action->shortcut().toString(), c.shortcut) << c.caption;
  }
  EXPECT_TRUE(form.logFst->isChecked());
  EXPECT_FALSE(form.Alwaysontop->isChecked());
  EXPECT_TRUE(form.showBurnIn->isCheckable());
  EXPECT_FALSE(form.showBurnIn->isChecked());  // the designed trace plot by default

  struct Radio {
    QAction* action;
    const char* caption;
    bool checked;
  } radios[] = {{form.Line_Red, "Red", true},     {form.Line_Black, "Black", false},
                {form.Line_Blue, "Blue", false},  {form.Line_Green, "Green", false},
                {form.Line_Gray, "Gray", false},  {form.Line_White, "White", false},
                {form.Back_Grey, "None", true},   {form.Back_White, "White", false},
                {form.Grid_On, "On", true},       {form.Grid_Off, "Off", false},
                {form.Lines, "Lines", true},      {form.Points, "Points", false},
                {form.Both, "Both", false}};
  for (const Radio& r : radios) {
    EXPECT_EQ(r.action->text(), r.caption);
    EXPECT_TRUE(r.action->isCheckable());
    EXPECT_EQ(r.action->isChecked(), r.checked) << r.caption;
    ASSERT_NE(r.action->actionGroup(), nullptr);
    EXPECT_TRUE(r.action->actionGroup()->isExclusive());
  }
  QStringList subMenus;
  for (QAction* a : form.PopupMenu1->actions()) subMenus << a->text();
  EXPECT_EQ(subMenus, QStringList({"Color", "Background color", "Grid", "Style"}));
}

TEST_F(WindowTest, DialogsHaveTheirDesignedFilters) {
  EXPECT_EQ(form.OpenDialog->filter,
            "Fst file (*.fst)|*.fst|Frequences file (*.frq)|*.frq|Fst Maximum Likelihood file "
            "(*.ml)|*.ml|Factors file (*.txt)|*.txt|Other (*.*)|*.*");
  EXPECT_TRUE(form.OpenDialog->mustExist);
  EXPECT_EQ(form.SaveDialog->filter, "PNG image|*.png|SVG image|*.svg|PDF document|*.pdf|BMP image|*.bmp");
  EXPECT_EQ(form.SaveDialog->defaultExt, ".png");
  EXPECT_TRUE(form.SaveDialog->overwritePrompt);
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
  for (QWidget* w : std::initializer_list<QWidget*>{form.xi, form.mean, form.histo, form.density,
                                                    form.normal, form.Cutin, form.Cutout,
                                                    form.Tburnin, form.Tburnout, form.Locus,
                                                    form.Allele, form.Model_only2})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  for (QWidget* w : std::initializer_list<QWidget*>{form.Allele, form.Locus, form.Lallele,
                                                    form.Llocus})
    EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
  EXPECT_EQ(form.windowTitle(), "VARNO v2.0 Plot Window");
  EXPECT_EQ(form.state.table, nullptr);
  EXPECT_EQ(form.state.factorMode, -1);
  EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(WindowTest, PageChangesAreRefusedWhileNoFstFileIsOpen) {
  form.Pages->setCurrentIndex(0);  // as a click on the tab asks
  EXPECT_EQ(form.Pages->currentIndex(), 1);
  form.Pages->setCurrentIndex(2);  // no data, no diagnostics
  EXPECT_EQ(form.Pages->currentIndex(), 1);
  form.selectPage(0);  // a page selected by the program asks nothing
  EXPECT_EQ(form.Pages->currentIndex(), 0);
}

}  // namespace
}  // namespace varno
