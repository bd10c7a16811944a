// The suggested burn-in in the window: its mark on the trace, "Use suggested burn-in" (Ctrl+B),
// the source of the suggestion, and the Monte Carlo errors on the Details and Diagnostics pages.
#include <qcustomplot.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <algorithm>

#include "charts/burn_in_mark.h"
#include "report/summary_table.h"
#include "stats/mcse_rounding.h"
#include "stats/number_format.h"
#include "stats/statistics_texts.h"
#include "ui/diagnostics_table.h"
#include "ui/job_runner.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

constexpr int kRows = 1000;

// Column 1 counts the rows (no suggestion from it); each further column holds `transient` rows of
// a level far off, then noise whose every batch of 5 rows averages exactly 0: MSER-5 is then least,
// exactly 0, from the first batch after the transient on, so the suggestion is the transient.
QByteArray steps(std::initializer_list<int> transients, int rows = kRows) {
  static const char* noise[] = {"0.5", "-0.5", "0.25", "-0.25", "0"};
  QByteArray text;
  for (int r = 0; r < rows; ++r) {
    text += QByteArray::number(r + 1);
    for (int transient : transients) text += r < transient ? " 10" : QByteArray(" ") + noise[r % 5];
    text += "\n";
  }
  return text;
}

// Column 1 counts the rows, column 2 is well mixed (a linear congruential sequence): every
// figure and error of it is defined.
QByteArray mixed() {
  QByteArray text;
  unsigned state = 12345;
  for (int r = 0; r < kRows; ++r) {
    state = state * 1103515245u + 12345u;
    text += QByteArray::number(r + 1) + " " + QByteArray::number(((state >> 8) & 0xFFFF) / 65536.0, 'g', 9) + "\n";
  }
  return text;
}

struct BurnInWindow : WindowFixture {
  void open(const QByteArray& content, const char* name = "trace.ml") {
    form->actOnCommandLine({write(name, content)});
    idle();
  }
  void showColumn(int column) {
    choose(part<QComboBox>(*form, "xi"), column - 1);
    idle();
  }
  QCPItemStraightLine* line(const char* name) { return part<QCPItemStraightLine>(*form, name); }
  // the mark's x, nothing while it is hidden
  std::optional<double> markX(const char* name) {
    QCPItemStraightLine* l = line(name);
    if (!l->visible()) return std::nullopt;
    return l->point1->coords().x();
  }
  std::string markTip() { return part<BurnInMark>(*form, "suggestedBurnInTip")->toolTip().toStdString(); }
  QAction* useSuggestion() { return part<QAction>(*form, "useSuggestedBurnIn"); }
};

// The line stands between the last row the suggestion drops and the first it keeps, on the
// trace's own x: the sample's positions from 0, or the whole column's row numbers from 1.
TEST_F(BurnInWindow, TheSuggestionIsADashedLineOnTheTraceWhereItsRowsEnd) {
  open(steps({200}));
  showColumn(2);
  EXPECT_TRUE(line("suggestedBurnIn")->pen().style() == Qt::DashLine);
  EXPECT_EQ(markTip(), "suggested burn-in: 200 rows (MSER-5; set by Column 2)");
  struct Case {
    const char* burnIn;
    bool wholeColumn;
    std::optional<double> x;
  };
  const Case cases[] = {
      {"0", false, 199.5},   // 200 rows of the sample before it
      {"150", false, 49.5},  // the sample starts at row 151
      {"200", false, -0.5},  // at its start
      {"300", false, std::nullopt},  // the rows it drops are cut away already
      {"0", true, 200.5},
      {"300", true, 200.5},  // the whole column shows the rows cut away as well
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.burnIn) + (c.wholeColumn ? " whole column" : ""));
    if (part<QAction>(*form, "showBurnIn")->isChecked() != c.wholeColumn) trigger(*form, "showBurnIn");
    part<QLineEdit>(*form, "Cutin")->setText(c.burnIn);
    idle();
    EXPECT_EQ(markX("suggestedBurnIn"), c.x);
  }
  // other plot types have no rows on their x axis
  part<QRadioButton>(*form, "histo")->click();
  idle();
  EXPECT_EQ(markX("suggestedBurnIn"), std::nullopt);
}

// Several chains: one burn-in for all, the largest, naming its chain; each chain's trace counts
// its positions from 1.
TEST_F(BurnInWindow, WithSeveralChainsTheLargestSuggestionNamesItsChain) {
  form->actOnCommandLine({write("a.ml", steps({200}))}, {write("b.ml", steps({300}))});
  idle();
  showColumn(2);
  ASSERT_EQ(form->analysis().chainCount(), 2);
  EXPECT_EQ(markTip(), "suggested burn-in: 300 rows (MSER-5; set by Column 2, chain 2)");
  EXPECT_EQ(markX("suggestedBurnIn"), 300.5);
  trigger(*form, "useSuggestedBurnIn");
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "Cutin")->text(), "300");
  EXPECT_EQ(markX("suggestedBurnIn"), 0.5);
}

TEST_F(BurnInWindow, UseSuggestedBurnInSetsTheBurnInAsIfTyped) {
  open(steps({200}));
  showColumn(2);
  ASSERT_TRUE(useSuggestion()->isEnabled());
  EXPECT_EQ(useSuggestion()->shortcut(), QKeySequence("Ctrl+B"));
  trigger(*form, "useSuggestedBurnIn");
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "Cutin")->text(), "200");
  // everything recomputed over the rows kept: the column's figures are those of the noise alone
  EXPECT_EQ(part<QLineEdit>(*form, "min")->text(), "-0.5");
  EXPECT_EQ(part<QLineEdit>(*form, "max")->text(), "0.5");
  EXPECT_TRUE(form->findChild<QLabel*>("retainedRows")->text().startsWith("rows 201–1,000"));
}

// A suggestion belongs to the chains it was computed from: another file's chains never show it,
// and where they give none the command says why and changes nothing.
TEST_F(BurnInWindow, TheSuggestionIsNotShownAfterTheChainsChange) {
  open(steps({200}));
  showColumn(2);
  ASSERT_EQ(markX("suggestedBurnIn"), 199.5);
  // 40 rows make 8 batches of 5: too few for any suggestion
  open(steps({20}, 40), "short.ml");
  showColumn(2);
  EXPECT_EQ(markX("suggestedBurnIn"), std::nullopt);
  ASSERT_TRUE(useSuggestion()->isEnabled());
  part<QLineEdit>(*form, "Cutin")->setText("3");
  idle();
  trigger(*form, "useSuggestedBurnIn");
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "Cutin")->text(), "3");
  const QString status = form->statusBar()->currentMessage();
  EXPECT_TRUE(status.startsWith("No burn-in suggested: ")) << status.toStdString();
  EXPECT_FALSE(status.contains("stays 0")) << status.toStdString();
}

// All quantities: the largest column's suggestion; the column shown: its own, following the
// column chooser. A new analysis starts from all quantities again.
TEST_F(BurnInWindow, TheSuggestionComesFromAllQuantitiesOrTheColumnShown) {
  open(steps({200, 400}));
  showColumn(2);
  EXPECT_TRUE(part<QAction>(*form, "suggestFromAll")->isChecked());
  EXPECT_EQ(markTip(), "suggested burn-in: 400 rows (MSER-5; set by Column 3)");
  EXPECT_EQ(markX("suggestedBurnIn"), 399.5);
  trigger(*form, "suggestFromColumn");
  idle();
  EXPECT_EQ(markTip(), "suggested burn-in: 200 rows (MSER-5; set by Column 2)");
  showColumn(3);
  EXPECT_EQ(markTip(), "suggested burn-in: 400 rows (MSER-5; set by Column 3)");
  trigger(*form, "useSuggestedBurnIn");
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "Cutin")->text(), "400");
  open(steps({100, 50}), "other.ml");
  EXPECT_TRUE(part<QAction>(*form, "suggestFromAll")->isChecked());
  part<QLineEdit>(*form, "Cutin")->setText("0");  // the line stands in the rows shown
  showColumn(3);
  EXPECT_EQ(markTip(), "suggested burn-in: 100 rows (MSER-5; set by Column 2)");
}

// The MCSE line under the Statistics box gives the same errors as the Diagnostics page's table of
// the same rows and level, and goes with the figures.
TEST_F(BurnInWindow, TheMcseLineAgreesWithTheTableAndGoesWithTheFigures) {
  open(mixed());
  showColumn(2);
  QLabel* mcse = part<QLabel>(*form, "mcse");
  for (const char* level : {"95", "80"}) {
    SCOPED_TRACE(level);
    part<QLineEdit>(*form, "Cpc2")->setText(level);
    idle();
    SummaryTableInput input;
    input.chains = {{form->analysis().firstTable(), RowRange{0, kRows}}};
    input.layout = form->analysis().layout();
    input.levelPercent = std::stoi(level);
    const SummaryRow row = computeSummaryTable(input)[1];
    ASSERT_TRUE(row.mcseHpdiLow && row.mcseHpdiHigh && row.diagnostics.mcseMean);

    EXPECT_EQ(mcse->text().toStdString(),
              mcseLine(McseFigures{row.diagnostics.mcseMean, row.mcseHpdiLow, row.mcseHpdiHigh}));
    EXPECT_TRUE(mcse->text().startsWith("MCSE: mean \u00B1 "));
  }
  EXPECT_TRUE(mcse->toolTip().contains("MCSE of the limits as quantiles (a lower bound)"));
  showColumn(1);  // the counter has no diagnostics
  EXPECT_EQ(mcse->text(), "");
}

TEST_F(BurnInWindow, TheDiagnosticsTableGivesEachColumnsBurnInAndRoundsOnRequest) {
  open(steps({200, 400}));
  showPage(*form, kDiagnosticsPage);
  idle();
  auto* table = part<DiagnosticsTable>(*form, "diagnosticsTable");
  QAbstractItemModel* model = table->model();
  const auto& header = diagnosticsHeader();
  const auto columnOf = [&](const char* name) {
    return static_cast<int>(std::find(header.begin(), header.end(), name) - header.begin());
  };
  for (const char* name : {"mcse_hpdi_low", "mcse_hpdi_high", "burnin_mser"}) {
    const int c = columnOf(name);
    ASSERT_LT(c, model->columnCount()) << name;
    EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), name);
  }
  const auto cell = [&](int column, const char* name, int role = Qt::DisplayRole) {
    for (int r = 0; r < model->rowCount(); ++r)
      if (model->index(r, 0).data().toString() == QString::number(column))
        return model->index(r, columnOf(name)).data(role).toString();
    return QString("no row");
  };
  EXPECT_EQ(cell(1, "burnin_mser"), "\u2013");  // the counter
  EXPECT_EQ(cell(1, "burnin_mser", Qt::ToolTipRole), "");
  EXPECT_EQ(cell(2, "burnin_mser"), "200");
  EXPECT_EQ(cell(3, "burnin_mser"), "400");
  EXPECT_NE(cell(2, "mcse_hpdi_low"), "\u2013");

  // rounding: the mean and HPDI limits of each row by their own errors; the rest as they were
  SummaryTableInput input;
  input.chains = {{form->analysis().firstTable(), RowRange{0, kRows}}};
  input.layout = form->analysis().layout();
  const std::vector<SummaryRow> rows = computeSummaryTable(input);
  const QString sdBefore = cell(2, "sd");
  ASSERT_EQ(cell(2, "mean"), QString::fromStdString(generalFormat(*rows[1].mean, 5)));
  trigger(*form, "roundToMcse");
  EXPECT_TRUE(part<QAction>(*form, "roundToMcse")->isChecked());
  for (int column : {2, 3}) {
    const SummaryRow& row = rows[static_cast<std::size_t>(column - 1)];
    EXPECT_EQ(cell(column, "mean").toStdString(), mcseRounded(*row.mean, row.diagnostics.mcseMean));
    EXPECT_EQ(cell(column, "hpdi_low").toStdString(), mcseRounded(*row.hpdiLow, row.mcseHpdiLow));
    EXPECT_EQ(cell(column, "hpdi_high").toStdString(), mcseRounded(*row.hpdiHigh, row.mcseHpdiHigh));
  }
  EXPECT_EQ(cell(2, "sd"), sdBefore);
  EXPECT_EQ(cell(1, "mean"), "NA");  // the counter has no error to round by
  trigger(*form, "roundToMcse");
  EXPECT_EQ(cell(2, "mean"), QString::fromStdString(generalFormat(*rows[1].mean, 5)));
}

// ESS against burn-in: the bulk and tail ESS at the eleven candidate burn-ins, with the burn-in
// set and the one suggested marked on the same axis.
TEST_F(BurnInWindow, EssByBurnInDrawsBothCurvesWithTheBurnInsMarked) {
  open(steps({200}));
  showColumn(2);
  part<QLineEdit>(*form, "Cutin")->setText("100");
  idle();
  part<QRadioButton>(*form, "essBurnIn")->click();
  idle();
  auto* chart = part<QCustomPlot>(*form, "Chart1");
  std::vector<QCPGraph*> curves;
  for (int g = 0; g < chart->graphCount(); ++g)
    if (chart->graph(g)->visible() && !chart->graph(g)->data()->isEmpty()) curves.push_back(chart->graph(g));
  ASSERT_EQ(curves.size(), 2u);
  EXPECT_EQ(curves[0]->name(), "bulk ESS");
  EXPECT_EQ(curves[1]->name(), "tail ESS");
  for (QCPGraph* curve : curves) {
    ASSERT_EQ(curve->data()->size(), 11);
    for (int k = 0; k <= 10; ++k) EXPECT_EQ(curve->data()->at(k)->key, k * kRows / 20);
  }
  EXPECT_EQ(markX("suggestedBurnIn"), 200);
  EXPECT_EQ(markX("currentBurnIn"), 100);
  EXPECT_EQ(chart->xAxis->label(), "burn-in (rows)");
  // the burn-in set moves along its mark; the curves stay, as they do not depend on it
  part<QLineEdit>(*form, "Cutin")->setText("150");
  idle();
  EXPECT_EQ(markX("currentBurnIn"), 150);
  int drawn = 0;
  for (int g = 0; g < chart->graphCount(); ++g)
    if (chart->graph(g)->visible() && chart->graph(g)->data()->size() == 11) ++drawn;
  EXPECT_EQ(drawn, 2);
  // back to the trace: no curves, no mark of the burn-in set
  part<QRadioButton>(*form, "normal")->click();
  idle();
  EXPECT_EQ(markX("currentBurnIn"), std::nullopt);
  EXPECT_EQ(chart->xAxis->label(), "");
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), kRows - 150);
  EXPECT_EQ(markX("suggestedBurnIn"), 49.5);
}

// The counter has no ESS: ESS by burn-in of it draws no curve and no legend, and says why.
TEST_F(BurnInWindow, EssByBurnInOfTheCounterSaysItHasNone) {
  open(steps({200}));
  part<QRadioButton>(*form, "essBurnIn")->click();
  showColumn(1);
  auto* chart = part<QCustomPlot>(*form, "Chart1");
  for (int g = 0; g < chart->graphCount(); ++g)
    EXPECT_FALSE(chart->graph(g)->visible() && !chart->graph(g)->data()->isEmpty()) << g;
  EXPECT_FALSE(chart->legend->visible());
  EXPECT_TRUE(form->statusBar()->currentMessage().contains("has no ESS"))
      << form->statusBar()->currentMessage().toStdString();
}

}  // namespace
}  // namespace varno
