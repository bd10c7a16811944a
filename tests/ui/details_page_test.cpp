// The Details page driven through its controls: catalogue, statistics texts, data range, plot types.
#include <qcustomplot.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <cmath>

#include "stats/autocorrelation.h"
#include "ui/track_bar.h"
#include "ui/up_down.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

QByteArray oneToHundred() {
  QByteArray text;
  for (int v = 1; v <= 100; ++v) text += QByteArray::number(v) + " " + QByteArray::number(v % 2) + "\n";
  return text;
}

struct DetailsPage : WindowFixture {
  void openOther(const QByteArray& content, const char* name = "trace.ml") {
    form->actOnCommandLine({write(name, content)});
    idle();
  }
};

TEST_F(DetailsPage, OtherFileListsNumberedColumnsAndShowsTheFirstOnTheDetailsPage) {
  openOther(oneToHundred());
  EXPECT_EQ(form->windowTitle(), "Pot: " + dir.filePath("trace.ml"));
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 0);
  ASSERT_EQ(part<QComboBox>(*form, "xi")->count(), 2);
  EXPECT_EQ(part<QComboBox>(*form, "xi")->itemText(0), "1");
  EXPECT_EQ(part<QComboBox>(*form, "xi")->currentIndex(), 0);
  EXPECT_TRUE(dialogs.questions.isEmpty());
  EXPECT_EQ(part<QLineEdit>(*form, "m")->text(), "50.5");
  EXPECT_EQ(part<QLineEdit>(*form, "min")->text(), "1");
  EXPECT_EQ(part<QLineEdit>(*form, "max")->text(), "100");
  EXPECT_EQ(part<QLineEdit>(*form, "HPDI")->text(), "[1 ; 96]");
  EXPECT_EQ(part<QLineEdit>(*form, "width")->text(), "95");
  EXPECT_EQ(part<QLineEdit>(*form, "var_edit")->text(), "841.667");
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 100);
  EXPECT_TRUE(form->statusBar()->currentMessage().contains("100 rows \u00D7 2 columns"));
  // the default bandwidth was set from this column: 100 ln(1.06 * 29.011 * 100^-0.2) = 250.49
  EXPECT_EQ(part<TrackBar>(*form, "lambda_dens")->position(), 250);
  EXPECT_EQ(part<QLineEdit>(*form, "Vlambda")->text(), "12.1825");
}

TEST_F(DetailsPage, LevelEditLimitsAndReplots) {
  openOther(oneToHundred());
  part<QLineEdit>(*form, "Cpc2")->setText("1");
  idle();
  EXPECT_EQ(part<UpDown>(*form, "Cpc")->position(), 1);
  EXPECT_EQ(part<QLineEdit>(*form, "HPDI")->text(),
            "[1 ; 2]");  // the narrowest gap, the lowest on ties
  part<QLineEdit>(*form, "Cpc2")->setText("150");
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "Cpc2")->text(), "99");
  part<QLineEdit>(*form, "Cpc2")->setText("x");
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "Cpc2")->text(), "1");
  part<QLineEdit>(*form, "Cpc2")->setText("95.5");
  idle();
  EXPECT_EQ(part<UpDown>(*form, "Cpc")->position(), 95);
  EXPECT_EQ(part<QLineEdit>(*form, "HPDI")->text(), "[1 ; 96]");
}

TEST_F(DetailsPage, BurnInFromTheTrackBarAndTypedValuesRecomputeAtOnce) {
  QByteArray text;
  for (int v = 0; v < 1000; ++v) text += QByteArray::number(v) + "\n";
  openOther(text);
  part<TrackBar>(*form, "Tburnin")->setFocus();
  // the user moves the track bar
  part<TrackBar>(*form, "Tburnin")->triggerAction(QAbstractSlider::SliderMove);
  part<TrackBar>(*form, "Tburnin")->setSliderPosition(25);
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "Cutin")->text(), "250");
  EXPECT_EQ(part<TrackBar>(*form, "Tburnin")->position(), 25);
  EXPECT_EQ(part<QLineEdit>(*form, "min")->text(), "250");
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 750);

  // a typed burn-in counts at once, even when the percentage stays the same
  part<QLineEdit>(*form, "Cutin")->setText("251");
  idle();
  EXPECT_EQ(part<TrackBar>(*form, "Tburnin")->position(), 25);
  EXPECT_EQ(part<QLineEdit>(*form, "min")->text(), "251");

  part<QLineEdit>(*form, "Cutin")->setText("500");
  idle();
  part<QLineEdit>(*form, "Cutout")->setText("600");
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "Cutout")->text(), "498");
  EXPECT_EQ(part<TrackBar>(*form, "Tburnout")->position(), 49);
  EXPECT_EQ(part<QLineEdit>(*form, "max")->text(), "501");

  part<QLineEdit>(*form, "Cutout")->setText("0");
  idle();
  part<QLineEdit>(*form, "Cutin")->setText("1000");
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "Cutin")->text(), "998");
  EXPECT_EQ(part<TrackBar>(*form, "Tburnin")->position(), 99);
  EXPECT_EQ(part<QLineEdit>(*form, "min")->text(), "998");
}

TEST_F(DetailsPage, KeyFilterLetsOnlyDigitsAndBackspaceThrough) {
  openOther(oneToHundred());
  part<QLineEdit>(*form, "Cutin")->setFocus();
  part<QLineEdit>(*form, "Cutin")->selectAll();
  QTest::keyClicks(part<QLineEdit>(*form, "Cutin"), "1a-. 2");
  EXPECT_EQ(part<QLineEdit>(*form, "Cutin")->text(), "12");
  QTest::keyClick(part<QLineEdit>(*form, "Cutin"), Qt::Key_Backspace);
  EXPECT_EQ(part<QLineEdit>(*form, "Cutin")->text(), "1");
}

TEST_F(DetailsPage, AnEmptiedBurnEditIsMarkedAndRecomputesNothing) {
  openOther(oneToHundred());
  part<QLineEdit>(*form, "Cutout")->setText("10");
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "max")->text(), "90");
  part<QLineEdit>(*form, "Cutout")->setText("");
  idle();
  EXPECT_TRUE(dialogs.errors.isEmpty());  // no box in the middle of typing
  EXPECT_FALSE(part<QLineEdit>(*form, "Cutout")->toolTip().isEmpty());
  part<QLineEdit>(*form, "Cpc2")->setText("50");
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "max")->text(), "90");  // unchanged: nothing was recomputed
  part<QLineEdit>(*form, "Cutout")->setText("20");
  idle();
  EXPECT_TRUE(part<QLineEdit>(*form, "Cutout")->toolTip().isEmpty());
  EXPECT_EQ(part<QLineEdit>(*form, "max")->text(), "80");
}

TEST_F(DetailsPage, PlotTypesFillOneSeriesAndLeaveTheOtherEmpty) {
  openOther("2 0\n4 1\n6 0\n");
  part<QRadioButton>(*form, "mean")->click();
  idle();
  ASSERT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 3);
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->at(1)->value, 3.0);
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->at(2)->value, 4.0);
  EXPECT_FALSE(part<UpDown>(*form, "nb_histo")->isEnabled());
  part<QRadioButton>(*form, "histo")->click();
  idle();
  EXPECT_TRUE(part<UpDown>(*form, "nb_histo")->isEnabled());
  EXPECT_TRUE(part<QCPBars>(*form, "histogram")->visible());
  EXPECT_FALSE(part<QCPGraph>(*form, "Serie")->visible());
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 0);
  EXPECT_EQ(part<QCPBars>(*form, "histogram")->data()->size(), 30);
  part<QRadioButton>(*form, "density")->click();
  idle();
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 200);
  EXPECT_EQ(part<QCPBars>(*form, "histogram")->data()->size(), 0);
  part<QRadioButton>(*form, "normal")->click();
  idle();
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 3);
}

TEST_F(DetailsPage, AutocorrelationBarsReachTheTruncationLagAndTheLineGivesTheSamplesDiagnostics) {
  openOther(oneToHundred());
  EXPECT_TRUE(
      part<QLabel>(*form, "convergence")->text().isEmpty());  // the counter of an other file
  choose(part<QComboBox>(*form, "xi"), 1);
  idle();
  // 1, 0, 1, 0, ...: the reference gives ess_bulk 50 and no tail ESS or R-hat
  EXPECT_EQ(part<QLabel>(*form, "convergence")->text(),
            "ESS 50 bulk \u00B7 \u2013 tail \u00B7 R-hat \u2013");

  part<QRadioButton>(*form, "autocorr")->click();
  idle();
  std::vector<double> draws;
  for (int v = 1; v <= 100; ++v) draws.push_back(v % 2);
  const Autocorrelation expected = autocorrelation(draws);
  EXPECT_TRUE(part<QCPBars>(*form, "histogram")->visible());
  EXPECT_FALSE(part<QCPGraph>(*form, "Serie")->visible());
  ASSERT_EQ(part<QCPBars>(*form, "histogram")->data()->size(),
            static_cast<int>(expected.lastPlotLag()) + 1);
  ASSERT_GE(part<QCPBars>(*form, "histogram")->data()->size(), 51);
  EXPECT_EQ(part<QCPBars>(*form, "histogram")->data()->at(0)->key, 0.0);
  EXPECT_DOUBLE_EQ(part<QCPBars>(*form, "histogram")->data()->at(0)->value, 1.0);
  EXPECT_NEAR(part<QCPBars>(*form, "histogram")->data()->at(1)->value, -0.99,
              1e-12);  // biased: -(n - 1) / n
  EXPECT_FALSE(part<UpDown>(*form, "nb_histo")->isEnabled());
  // another plot of the same sample keeps its diagnostics; other rows get their own
  EXPECT_EQ(part<QLabel>(*form, "convergence")->text(),
            "ESS 50 bulk \u00B7 \u2013 tail \u00B7 R-hat \u2013");
  part<QLineEdit>(*form, "Cutin")->setText("60");
  idle();
  EXPECT_TRUE(part<QLabel>(*form, "convergence")->text().startsWith("ESS 20 bulk"))
      << part<QLabel>(*form, "convergence")->text().toStdString();
}

TEST_F(DetailsPage, ShowBurnInRowsDrawsTheWholeColumnInRowNumbersWithTheAxisFittedToTheRetainedRows) {
  openOther(oneToHundred());
  part<QLineEdit>(*form, "Cutin")->setText("20");
  part<QLineEdit>(*form, "Cutout")->setText("10");
  idle();
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->at(0)->key,
            0.0);  // off: the designed trace of the sample
  EXPECT_FALSE(part<QCPGraph>(*form, "burnSerie")->visible());
  part<QAction>(*form, "showBurnIn")->trigger();
  idle();
  ASSERT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 70);
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->at(0)->key, 21.0);
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->at(0)->value, 21.0);
  EXPECT_TRUE(part<QCPGraph>(*form, "burnSerie")->visible());
  EXPECT_EQ(part<QCPGraph>(*form, "burnSerie")->data()->size(), 31);  // 20 rows, a break, 10 rows
  EXPECT_TRUE(std::isnan(part<QCPGraph>(*form, "burnSerie")->data()->at(20)->value));
  EXPECT_LE(part<QCustomPlot>(*form, "Chart1")->xAxis->range().lower, 1.0);
  EXPECT_GE(part<QCustomPlot>(*form, "Chart1")->xAxis->range().upper, 100.0);
  EXPECT_GT(part<QCustomPlot>(*form, "Chart1")->yAxis->range().lower, 15.0);
  EXPECT_LT(part<QCustomPlot>(*form, "Chart1")->yAxis->range().upper, 95.0);
  part<QAction>(*form, "showBurnIn")->trigger();
  idle();
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->at(0)->key, 0.0);
  EXPECT_FALSE(part<QCPGraph>(*form, "burnSerie")->visible());
}

// With several chains each chain's burn-in and burn-out rows show too, paler, beside its sample;
// only the chains are named in the legend.
TEST_F(DetailsPage, ShowBurnInRowsDrawsEveryChainsWholeColumn) {
  openOther(oneToHundred());
  QByteArray fifty;
  for (int v = 1; v <= 50; ++v) fifty += QByteArray::number(-v) + " 0\n";
  dialogs.files = {write("chain2.ml", fifty)};
  trigger(*form, "addChain");
  idle();
  ASSERT_EQ(form->analysis().chainCount(), 2);
  part<QLineEdit>(*form, "Cutin")->setText("20");
  part<QLineEdit>(*form, "Cutout")->setText("10");
  part<QAction>(*form, "showBurnIn")->trigger();
  idle();
  const QCustomPlot* chart = part<QCustomPlot>(*form, "Chart1");
  ASSERT_EQ(chart->legend->itemCount(), 2);
  struct Drawn {
    int points;
    double firstKey, firstValue;
  };
  std::vector<Drawn> named, unnamed;
  for (int i = 0; i < chart->graphCount(); ++i) {
    const QCPGraph* g = chart->graph(i);
    if (!g->visible() || g->data()->isEmpty()) continue;
    (g->name().startsWith("chain ") ? named : unnamed)
        .push_back({g->data()->size(), g->data()->at(0)->key, g->data()->at(0)->value});
  }
  ASSERT_EQ(named.size(), 2u);
  EXPECT_EQ(named[0].points, 70);
  EXPECT_EQ(named[0].firstKey, 21.0);
  EXPECT_EQ(named[1].points, 20);
  EXPECT_EQ(named[1].firstValue, -21.0);
  ASSERT_EQ(unnamed.size(), 2u);  // rows 1-20 and 91-100 of chain 1, 1-20 and 41-50 of chain 2
  EXPECT_EQ(unnamed[0].points, 31);
  EXPECT_EQ(unnamed[1].points, 31);
  EXPECT_EQ(unnamed[1].firstValue, -1.0);
  EXPECT_LE(chart->xAxis->range().lower, 1.0);
  EXPECT_GE(chart->xAxis->range().upper, 100.0);
}

TEST_F(DetailsPage, AZeroMeanShowsAnInfiniteAccuracyAndTheRestOfTheUpdateRuns) {
  openOther("-1 5\n1 6\n-2 7\n2 9\n");
  EXPECT_EQ(part<QLineEdit>(*form, "m")->text(), "0");
  EXPECT_EQ(part<QLineEdit>(*form, "accuracy")->text(), "INF");
  EXPECT_EQ(part<QLineEdit>(*form, "HPDI")->text(), "[-2 ; 2]");
  EXPECT_FALSE(part<QLineEdit>(*form, "mode")->text().isEmpty());
  EXPECT_FALSE(part<QLineEdit>(*form, "Vlambda")->text().isEmpty());
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 4);
}

TEST_F(DetailsPage, FrqFileOffersLociAndAllelesAndPlotsTheChosenAllele) {
  form->actOnCommandLine({write("f.frq", "0 3 0.2 0.3 0.5 2 0.4 0.6\n1 3 0.1 0.2 0.7 2 0.5 0.5\n")});
  idle();
  EXPECT_FALSE(part<QComboBox>(*form, "xi")->isVisibleTo(form.get()));
  EXPECT_TRUE(part<QComboBox>(*form, "Locus")->isVisibleTo(form.get()));
  EXPECT_EQ(part<QComboBox>(*form, "Locus")->count(), 2);
  EXPECT_EQ(part<QComboBox>(*form, "Allele")->count(), 3);
  EXPECT_EQ(part<QLineEdit>(*form, "m")->text(), "0.15");  // column 3 (1-based): locus 1, allele 1
  choose(part<QComboBox>(*form, "Locus"), 1);
  idle();
  EXPECT_EQ(part<QComboBox>(*form, "Allele")->count(), 2);
  EXPECT_EQ(part<QLineEdit>(*form, "m")->text(), "0.45");  // column 7
  choose(part<QComboBox>(*form, "Allele"), 1);
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "m")->text(), "0.55");
}

TEST_F(DetailsPage, FstFileWithTooFewColumnsForItsFactorsIsRefusedAndTheOpenAnalysisStays) {
  openOther(oneToHundred());
  const auto table = form->analysis().firstTable();
  const QString caption = form->windowTitle();
  dialogs.files.push_back(write("factors.txt", "g[1]=1 2\ng[2]=3 4\ng[3]=5 6\n"));
  form->actOnCommandLine({write("short.fst", "1 2 3 4 5 6\n1 2 3 4 5 6\n")});
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].contains("short.fst"));
  EXPECT_EQ(form->analysis().firstTable(), table);
  EXPECT_EQ(form->windowTitle(), caption);
  EXPECT_EQ(form->analysis().dataExtension, ".ml");
  EXPECT_EQ(form->analysis().factorCount, 0);
}

TEST_F(DetailsPage, ARangeThatDoesNotFitAShorterFileStartsOverAndSaysSo) {
  QByteArray text;
  for (int v = 0; v < 1000; ++v) text += QByteArray::number(v) + "\n";
  openOther(text);
  part<QLineEdit>(*form, "Cutin")->setText("900");
  idle();
  form->actOnCommandLine({write("short.ml", oneToHundred())});
  idle();
  // the 900 rows of burn-in meant nothing for 100 rows: all of them count, and the user is told
  EXPECT_EQ(part<QLineEdit>(*form, "Cutin")->text(), "0");
  EXPECT_EQ(part<QLineEdit>(*form, "Cutout")->text(), "0");
  EXPECT_EQ(part<TrackBar>(*form, "Tburnin")->position(), 0);
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 100);
  EXPECT_TRUE(form->statusBar()->currentMessage().contains(
      "burn-in 900 and burn-out 0 did not fit the 100 rows read"))
      << form->statusBar()->currentMessage().toStdString();
  EXPECT_EQ(part<QLabel>(*form, "retainedRows")->text(), "rows 1\u2013100 of 100 retained");
}

// The column chooser of a wide trace is searched by typing: a name in any case, a number, or part
// of a name; Enter shows that column, and a text that names none puts the chosen entry back.
TEST_F(DetailsPage, TheColumnChooserFindsATypedNameOrNumber) {
  // column k (1-based) of every row holds k and k + 1 in turn: its mean is k + 0.5
  QByteArray text = "Iteration\talpha\tbeta";
  for (int t = 1; t <= 20; ++t) text += "\ttheta[" + QByteArray::number(t) + "]";
  text += "\n";
  for (int r = 0; r < 10; ++r) {
    QByteArray row;
    for (int k = 1; k <= 23; ++k) row += (k > 1 ? "\t" : "") + QByteArray::number(k + r % 2);
    text += row + "\n";
  }
  openOther(text, "wide.txt");
  QComboBox* xi = part<QComboBox>(*form, "xi");
  ASSERT_EQ(xi->count(), 23);
  struct Case {
    const char* typed;
    int entry;  // 0-based; -1: the chosen one stays
  };
  const Case cases[] = {
      {"THETA[12]", 14},  // a name, any case
      {"7", 6},           // a number: the 7th column
      {"et", 2},          // part of a name: the first that holds it ("beta")
      {"a[2", 4},         // "theta[2]"
      {"delta", -1},      // no such column
      {"99", -1},         // no such number, and no name holds it
  };
  int chosen = xi->currentIndex();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    xi->lineEdit()->selectAll();
    QTest::keyClicks(xi->lineEdit(), c.typed);
    QTest::keyClick(xi->lineEdit(), Qt::Key_Return);
    idle();
    if (c.entry >= 0) chosen = c.entry;
    EXPECT_EQ(xi->currentIndex(), chosen);
    EXPECT_EQ(xi->currentText(), xi->itemText(chosen));  // what was typed is not kept
    EXPECT_EQ(part<QLineEdit>(*form, "m")->text(), QString::number(chosen + 1) + ".5");
  }
}

}  // namespace
}  // namespace varno
