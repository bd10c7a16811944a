// The Diagnostics page: its table and marks, the identity rule, double click, Ctrl+C and saving.
#include <qcustomplot.h>

#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <cmath>

#include "report/summary_table.h"
#include "ui/diagnostics_table.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

constexpr int kRows = 2000;

// Column 1 counts the rows (no diagnostics), column 2 drifts slowly (few effective draws, its
// halves disagree), column 3 is well mixed (a linear congruential sequence).
QByteArray threeColumns() {
  QByteArray text;
  unsigned state = 12345;
  for (int r = 0; r < kRows; ++r) {
    state = state * 1103515245u + 12345u;
    const double mixed = ((state >> 8) & 0xFFFF) / 65536.0;
    text += QByteArray::number(r + 1) + " " + QByteArray::number(std::sin(r / 300.0) + r / 1000.0, 'g', 9) + " " +
            QByteArray::number(mixed, 'g', 9) + "\n";
  }
  return text;
}

struct DiagnosticsPage : WindowFixture {
  QString data;

  void openAndShowThePage() {
    data = write("trace.ml", threeColumns());
    form->actOnCommandLine({data});
    idle();
    part<QTabWidget>(*form, "Pages")->setCurrentIndex(2);  // as a click on the tab asks
    idle();
  }
  DiagnosticsTable& table() { return *part<DiagnosticsTable>(*form, "diagnosticsTable"); }
  int rowCount() { return table().model()->rowCount(); }
  QModelIndex at(int row, int c) { return table().model()->index(row, c); }
  // The table row showing data column `column`.
  int rowOf(int column) {
    for (int r = 0; r < rowCount(); ++r)
      if (at(r, 0).data().toString() == QString::number(column)) return r;
    return -1;
  }
  QString cell(int column, const char* header) {
    const auto& names = summaryTableHeader();
    const int c = static_cast<int>(std::find(names.begin(), names.end(), header) - names.begin());
    return at(rowOf(column), c).data().toString();
  }
  bool marked(int column, int c) {
    return at(rowOf(column), c).data(Qt::BackgroundRole).value<QBrush>().color() == DiagnosticsTable::markColour();
  }
  QString toolTip(int column, int c) { return at(rowOf(column), c).data(Qt::ToolTipRole).toString(); }
  // The data columns shown, in the order shown.
  QStringList shownColumns() {
    QStringList columns;
    for (int r = 0; r < rowCount(); ++r) columns << at(r, 0).data().toString();
    return columns;
  }
};

TEST_F(DiagnosticsPage, EveryColumnIsDiagnosedAndLowFiguresAreMarkedWithTheirReason) {
  openAndShowThePage();
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  ASSERT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(),
            2);  // not an .fst file, and still shown
  ASSERT_EQ(rowCount(), 3);
  EXPECT_EQ(cell(2, "n"), QString::number(kRows));
  // the counter: figures, but no diagnostics and no marks
  EXPECT_EQ(cell(1, "mean"), "1000.5");
  for (const char* h : {"ess_bulk", "ess_tail", "rhat", "mcse_mean"}) EXPECT_EQ(cell(1, h), "\u2013") << h;
  for (int c : {8, 9, 10}) {
    EXPECT_FALSE(marked(1, c));
    EXPECT_TRUE(marked(2, c)) << c;
    EXPECT_FALSE(marked(3, c)) << c << " " << cell(3, "ess_bulk").toStdString() << " "
                               << cell(3, "rhat").toStdString();
  }
  EXPECT_TRUE(toolTip(2, 8).contains("below 400 (the target)"));  // the default target of one chain
  EXPECT_TRUE(toolTip(2, 10).contains("above 1.01"));
  EXPECT_TRUE(toolTip(3, 8).isEmpty());
  EXPECT_TRUE(part<QLabel>(*form, "diagnosticsNote")
                  ->text()
                  .contains("split R-hat cannot see a second mode"));
  EXPECT_FALSE(
      part<QLabel>(*form, "diagnosticsNote")->text().contains("visits"));  // no filter, no factors
  // the Summary page stays closed to other files; the Details page is reached back
  part<QTabWidget>(*form, "Pages")->setCurrentIndex(1);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 2);
  part<QTabWidget>(*form, "Pages")->setCurrentIndex(0);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 0);
}

TEST_F(DiagnosticsPage, UnderAModelFilterTheTableUsesItsVisitsAndSaysSo) {
  dialogs.answers = {true, false};
  dialogs.files = {QString(VARNO_SOURCE_DIR) + "/examples/lake_factors.txt"};
  form->actOnCommandLine({QString(VARNO_SOURCE_DIR) + "/examples/lake.fst"});
  idle();
  part<QTabWidget>(*form, "Pages")->setCurrentIndex(2);
  idle();
  ASSERT_EQ(rowCount(), 13);
  EXPECT_TRUE(
      part<QLabel>(*form, "diagnosticsNote")->text().contains("coefficients of the factors"));
  const int allRows = cell(4, "n").toInt();
  choose(part<QComboBox>(*form, "Model_only"), 2);
  idle();
  ASSERT_EQ(rowCount(), 13);
  EXPECT_TRUE(
      part<QLabel>(*form, "diagnosticsNote")->text().contains("Under the filter on model 2"))
      << part<QLabel>(*form, "diagnosticsNote")->text().toStdString();
  EXPECT_TRUE(
      part<QLabel>(*form, "diagnosticsNote")->text().contains("lags count visits, not iterations"));
  EXPECT_LT(cell(4, "n").toInt(), allRows);
  EXPECT_GT(cell(4, "n").toInt(), 0);
}

TEST_F(DiagnosticsPage, ATableOfOtherRowsIsNeverShownAndIsComputedAgainForTheCurrentOnes) {
  openAndShowThePage();
  ASSERT_EQ(cell(2, "n"), QString::number(kRows));
  // away from the page, a new burn-in leaves no table of the old rows behind
  showPage(*form, 0);
  part<QLineEdit>(*form, "Cutin")->setText("100");
  idle();
  EXPECT_EQ(rowCount(), 0);
  part<QTabWidget>(*form, "Pages")->setCurrentIndex(2);
  idle();
  ASSERT_EQ(rowCount(), 3);
  EXPECT_EQ(cell(2, "n"), QString::number(kRows - 100));

  // the rows change while the table is computed: the result describes nothing on screen and the
  // table of the new rows replaces it
  showPage(*form, 0);
  part<QLineEdit>(*form, "Cutin")->setText("200");
  idle();
  part<QTabWidget>(*form, "Pages")->setCurrentIndex(2);
  ASSERT_TRUE(form->jobs().busy(JobRunner::Lane::analysis));
  part<QLineEdit>(*form, "Cutin")->setText("300");
  idle();
  ASSERT_EQ(rowCount(), 3);
  EXPECT_EQ(cell(2, "n"), QString::number(kRows - 300));
}

TEST_F(DiagnosticsPage, DoubleClickShowsThatColumnOnTheDetailsPage) {
  openAndShowThePage();
  table().sortByColumn(0, Qt::DescendingOrder);  // the click finds the column, not the row number
  const int row = rowOf(2);
  ASSERT_EQ(row, 1);
  const QRect cellRect = table().visualRect(at(row, 1));
  // a double click begins with a press, as the mouse gives it
  QTest::mousePress(table().viewport(), Qt::LeftButton, {}, cellRect.center());
  QTest::mouseDClick(table().viewport(), Qt::LeftButton, {}, cellRect.center());
  idle();
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 0);
  EXPECT_EQ(part<QComboBox>(*form, "xi")->currentIndex(), 1);
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), kRows);
  EXPECT_NE(part<QLineEdit>(*form, "m")->text(), "1000.5");  // not the counter's figures
  EXPECT_TRUE(part<QLabel>(*form, "convergence")->text().startsWith("ESS "));
}

TEST_F(DiagnosticsPage, CtrlCCopiesTheSelectedRowsAsTabSeparatedTextWithTheHeader) {
  openAndShowThePage();
  table().sortByColumn(0, Qt::DescendingOrder);
  table().selectRow(rowOf(3));
  table().selectionModel()->select(table().model()->index(rowOf(1), 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
  QApplication::clipboard()->clear();
  QTest::keyClick(&table(), Qt::Key_C, Qt::ControlModifier);
  idle();
  const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].startsWith("column\tname\tn\tmean\tsd\tmode\thpdi_low\thpdi_high\tess_bulk"));
  // in the order shown, every figure exact, undefined as NA
  EXPECT_TRUE(lines[1].startsWith("3\tColumn 3\t2000\t"));
  EXPECT_TRUE(lines[2].startsWith("1\tColumn 1\t2000\t1000.5\t"));
  EXPECT_TRUE(lines[2].endsWith("\tNA\tNA\tNA\tNA"));
}

// The filter keeps the rows whose name holds the text in any case, or whose column number it is;
// the toggle keeps those with a figure that misses its target; both hold for a table computed anew.
TEST_F(DiagnosticsPage, FilterBoxAndTargetToggleChooseTheRowsShown) {
  openAndShowThePage();
  QLineEdit* filter = part<QLineEdit>(*form, "diagnosticsFilter");
  QCheckBox* missing = part<QCheckBox>(*form, "diagnosticsMissing");
  QLabel* shown = part<QLabel>(*form, "diagnosticsShownRows");
  EXPECT_EQ(shownColumns(), QStringList({"1", "2", "3"}));
  EXPECT_EQ(shown->text(), "3 columns");
  EXPECT_FALSE(part<QCheckBox>(*form, "diagnosticsByLocus")->isVisibleTo(form.get()));  // not an frq file

  struct Case {
    const char* text;
    bool onlyMissing;
    QStringList columns;
  };
  const Case cases[] = {
      {"umn 3", false, {"3"}},      // part of a name
      {"COLUMN", false, {"1", "2", "3"}},  // any case
      {"2", false, {"2"}},          // a column number
      {"", true, {"2"}},            // the drifting column misses its targets; the counter has none
      {"column", true, {"2"}},
      {"3", true, {}},
      {"  ", false, {"1", "2", "3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    filter->clear();
    QTest::keyClicks(filter, c.text);
    if (missing->isChecked() != c.onlyMissing) QTest::mouseClick(missing, Qt::LeftButton, {}, QPoint(4, missing->height() / 2));
    ASSERT_EQ(missing->isChecked(), c.onlyMissing);
    EXPECT_EQ(shownColumns(), c.columns);
  }
  EXPECT_EQ(shown->text(), "3 columns");
  QTest::keyClicks(filter, "3");
  EXPECT_EQ(shown->text(), "1 of 3 columns");

  // sorted by R-hat, worst first, then filtered: the order is kept
  filter->clear();
  table().sortByColumn(10, Qt::DescendingOrder);
  EXPECT_EQ(shownColumns(), QStringList({"2", "3", "1"}));  // the counter has no R-hat: last
  QTest::keyClicks(filter, "column");
  EXPECT_EQ(shownColumns(), QStringList({"2", "3", "1"}));

  // a table of other rows keeps the filters
  QTest::keyClicks(filter, " 3");
  showPage(*form, 0);
  part<QLineEdit>(*form, "Cutin")->setText("100");
  showPage(*form, 2);
  idle();
  EXPECT_EQ(shownColumns(), QStringList({"3"}));
  EXPECT_EQ(cell(3, "n"), QString::number(kRows - 100));
  EXPECT_EQ(shown->text(), "1 of 3 columns");
}

TEST_F(DiagnosticsPage, SaveWritesCsvAndRefusesToWriteOverTheDataFile) {
  openAndShowThePage();
  const QString target = dir.filePath("diagnostics");
  dialogs.files = {data, target};
  part<QAction>(*form, "diag_save")->trigger();
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].contains("not saved")) << dialogs.errors[0].toStdString();
  QFile original(data);
  ASSERT_TRUE(original.open(QIODevice::ReadOnly));
  EXPECT_EQ(original.readAll(), threeColumns());

  part<QAction>(*form, "diag_save")->trigger();
  idle();
  EXPECT_EQ(dialogs.saveExtensions.last(), ".csv");
  QFile saved(target + ".csv");
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QByteArray csv = saved.readAll();
  // the page's columns, in the order the tool's --summary has them
  EXPECT_TRUE(csv.startsWith("column,name,n,mean,sd,mode,hpdi_low,hpdi_high,ess_bulk,ess_tail,rhat,mcse_mean,"
                             "mcse_hpdi_low,mcse_hpdi_high,burnin_mser\r\n"));
  EXPECT_EQ(csv.count("\r\n"), 4);
}

}  // namespace
}  // namespace varno
