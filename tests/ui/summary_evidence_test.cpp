// The Summary page's evidence for each factor: the table describes the rows the summary was
// computed from, the prior dialog changes it or says why not, and the model bars tell their
// probability with its Monte Carlo error.
#include <qcustomplot.h>

#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolTip>

#include "stats/inclusion_evidence.h"
#include "stats/number_format.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

// Models in runs of 7 rows, 1 to 4 in turn: sticky, so the ESS is well below the row count.
int modelOf(int row) { return (row / 7) % 4 + 1; }
constexpr int kRows = 200;
constexpr char kFactors[] = "npop=2\ng[1]=0.1 0.5\ng[2]=12 15\n";

struct SummaryEvidence : WindowFixture {
  void start() {
    dialogs.answers = {true, false};  // factors, no interaction
    dialogs.files = {write("factors.txt", kFactors)};
    form->actOnCommandLine({write("lake.fst", fstRows(kRows, 2, 2, modelOf))});
    idle();
  }

  // What the table should show for rows [begin, kRows) under the given prior weights.
  static InclusionEvidence expected(int begin, std::vector<double> weights = {}) {
    std::vector<float> models;
    for (int r = begin; r < kRows; ++r) models.push_back(static_cast<float>(modelOf(r)));
    const std::span<const float> chains[] = {models};
    EvidenceInput in;
    in.factorCount = 2;
    in.modelCounts = modelCounts(chains, 2, false);
    in.retainedRows = kRows - begin;
    in.ess = indicatorEss(chains, 2, false);
    in.priorWeights = std::move(weights);
    return inclusionEvidence(in);
  }

  QStringList row(int r) const {
    QStringList cells;
    auto* table = part<QTableWidget>(*form, "evidence");
    for (int c = 0; c < table->columnCount(); ++c) cells << (table->item(r, c) ? table->item(r, c)->text() : "?");
    return cells;
  }

  static QString g3(double v) { return QString::fromStdString(formatG3(v)); }

  void expectTable(const InclusionEvidence& e) {
    auto* table = part<QTableWidget>(*form, "evidence");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_TRUE(table->isColumnHidden(6)) << "without the interaction the matched BF is the BF";
    for (int f = 0; f < 2; ++f) {
      const FactorEvidence& x = e.factors[static_cast<std::size_t>(f)];
      const QStringList cells = row(f);
      EXPECT_EQ(cells[0], QString::fromStdString(x.name));
      EXPECT_EQ(cells[1], g3(x.prior));
      EXPECT_EQ(cells[2], g3(*x.posterior) + QString::fromUtf8(" \u00B1 ") + g3(*x.mcse));
      EXPECT_EQ(cells[3], g3(*x.bf));
      EXPECT_EQ(cells[4], g3(*x.log10Bf) + " [" + g3(*x.log10Low) + ", " + g3(*x.log10High) + "]");
      EXPECT_EQ(cells[5], QString::fromStdString(x.evidence));
    }
  }

  QString barTip(int modelNumber) {
    auto* chart = part<QCustomPlot>(*form, "Chart3");
    const QPoint at(static_cast<int>(chart->xAxis->coordToPixel(modelNumber)), chart->height() / 2);
    QHelpEvent event(QEvent::ToolTip, at, chart->mapToGlobal(at));
    QCoreApplication::sendEvent(chart, &event);
    // an event left unaccepted shows no tip
    return event.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
  }
};

TEST_F(SummaryEvidence, TheTableDescribesTheRetainedRowsOfTheSummaryShown) {
  start();
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  const InclusionEvidence all = expected(0);
  expectTable(all);
  EXPECT_EQ(part<QLabel>(*form, "Lprior")->text(),
            "prior model probabilities (uniform): 1: 0.25, 2: 0.25, 3: 0.25, 4: 0.25");

  // another data range: the table of the old rows goes with the summary, the new one follows it
  part<QLineEdit>(*form, "Cutin")->setText("60");
  idle();
  ASSERT_TRUE(summaryShown(*form));
  const InclusionEvidence later = expected(60);
  ASSERT_NE(*later.factors[0].posterior, *all.factors[0].posterior);
  expectTable(later);
}

TEST_F(SummaryEvidence, ThePriorDialogChangesThePriorOrSaysWhyNot) {
  start();
  dialogs.texts = {QString("1, 1, 1, 5")};
  part<QPushButton>(*form, "model_prior")->click();
  EXPECT_EQ(dialogs.textTitles, QStringList{"Prior model probabilities"});
  EXPECT_TRUE(dialogs.textLabels.value(0).endsWith("Model 1: Constant\nModel 2: G1\nModel 3: G2\nModel 4: G2+G1"))
      << dialogs.textLabels.value(0).toStdString();
  EXPECT_EQ(dialogs.textsOffered, QStringList{""});
  const InclusionEvidence mine = expected(0, {1, 1, 1, 5});
  expectTable(mine);
  EXPECT_EQ(row(0)[1], "0.75");
  EXPECT_EQ(part<QLabel>(*form, "Lprior")->text(),
            "prior model probabilities (yours): 1: 0.125, 2: 0.125, 3: 0.125, 4: 0.625");

  // a prior that is no prior: said, and nothing changes; the dialog offers the weights in force
  dialogs.texts = {QString("1,2"), std::nullopt};
  part<QPushButton>(*form, "model_prior")->click();
  EXPECT_EQ(dialogs.errors,
            QStringList{"The prior model probabilities are unchanged: the model prior has 2 weights but the analysis "
                        "has 4 models: give one weight per model, in model order, separated by commas."});
  part<QPushButton>(*form, "model_prior")->click();  // cancelled
  EXPECT_EQ(dialogs.textsOffered.value(2), "1,1,1,5");
  expectTable(mine);

  // a prior that rules out models the rows visit: refused with their counts
  int visits[5] = {};
  for (int r = 0; r < kRows; ++r) ++visits[modelOf(r)];
  dialogs.errors.clear();
  dialogs.texts = {QString("1,0,0,1")};
  part<QPushButton>(*form, "model_prior")->click();
  EXPECT_EQ(dialogs.errors,
            QStringList{QString("The prior model probabilities are unchanged: the model prior gives weight 0 to models "
                                "2 and 3, which the retained rows visit %1 and %2 times: a prior that rules a model "
                                "out cannot be combined with draws of it; give them a positive weight.")
                            .arg(visits[2])
                            .arg(visits[3])});
  expectTable(mine);

  dialogs.texts = {QString("")};  // empty: uniform again
  part<QPushButton>(*form, "model_prior")->click();
  expectTable(expected(0));
}

int interactionModelOf(int row) { return (row / 5) % 5 + 1; }

TEST_F(SummaryEvidence, WithTheInteractionTheMatchedModelsBayesFactorIsShown) {
  dialogs.answers = {true, true};  // factors, and their interaction
  dialogs.files = {write("factors.txt", kFactors)};
  form->actOnCommandLine({write("lake.fst", fstRows(kRows, 2, 3, interactionModelOf))});
  idle();
  std::vector<float> models;
  for (int r = 0; r < kRows; ++r) models.push_back(static_cast<float>(interactionModelOf(r)));
  const std::span<const float> chains[] = {models};
  EvidenceInput in;
  in.factorCount = 3;
  in.hasInteraction = true;
  in.modelCounts = modelCounts(chains, 3, true);
  in.retainedRows = kRows;
  const InclusionEvidence e = inclusionEvidence(in);

  auto* table = part<QTableWidget>(*form, "evidence");
  ASSERT_EQ(table->rowCount(), 3);
  EXPECT_FALSE(table->isColumnHidden(6));
  const char* names[] = {"G1", "G2", "G1*G2"};
  for (int f = 0; f < 3; ++f) {
    EXPECT_EQ(row(f)[0], names[f]);
    EXPECT_EQ(row(f)[1], g3(e.factors[static_cast<std::size_t>(f)].prior));
    EXPECT_EQ(row(f)[6], g3(*e.factors[static_cast<std::size_t>(f)].bfMatched));
  }
  EXPECT_EQ(row(2)[1], "0.2");
}

TEST_F(SummaryEvidence, AModelBarTellsItsProbabilityWithItsError) {
  form->show();
  start();
  const ModelEvidence m = expected(0).models[3];
  EXPECT_EQ(barTip(4), QString("Model 4 (G2+G1): probability %1 \u00B1 %2, prior 0.25")
                           .arg(QString::fromStdString(formatG3(*m.probability)), QString::fromStdString(formatG3(*m.mcse))));
  EXPECT_EQ(barTip(0), "");  // no model there
}

}  // namespace
}  // namespace varno
