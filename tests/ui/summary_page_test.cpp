// The Summary page: start-up with an fst file, the summary it shows, the page rule, the twin model
// choosers and the model help.
#include <qcustomplot.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "charts/interval_series.h"
#include "core/model_help.h"
#include "tools/trace_generator.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

// Two populations, two factors. Model 4 holds four of the five rows with constant coefficients
// and Sigma², so every mode the memo prints is exact; model 2 holds the last row.
// columns: iteration, Sigma², log likelihood, Fst1, Fst2, model, a0, a1, a2
constexpr char kTable[] =
    "0 0.0891 -10 0.10 0.30 4 0.0123 1.23 -0.456\n"
    "1 0.0891 -11 0.20 0.35 4 0.0123 1.23 -0.456\n"
    "2 0.0891 -12 0.15 0.40 4 0.0123 1.23 -0.456\n"
    "3 0.0891 -13 0.25 0.32 4 0.0123 1.23 -0.456\n"
    "4 0.5    -14 0.30 0.38 2 0.9    0.8  0\n";
constexpr char kFactors[] = "npop=2\ng[1]=0.1 0.5\ng[2]=12 15\n";
const QString kMemo = QString::fromUtf8(
    "Factors included in the highest probability model (P(4)=0.8):\n"
    "  - Constant (a0=0.0123),  G2 (a2=-0.456),  G1 (a1=1.23)\n"
    "  - Sigma\u00B2=0.0891");

struct SummaryPage : WindowFixture {
  // Start-up with the table alone on the command line: factors Yes, the factors file, no
  // interaction.
  void startWithFactors() {
    const QString factors = write("factors.txt", kFactors);
    dialogs.answers = {true, false};
    dialogs.files = {factors};
    form->actOnCommandLine({write("lake.fst", kTable)});
    idle();
  }

  std::vector<std::pair<double, double>> bars() const {
    std::vector<std::pair<double, double>> out;
    for (auto it = part<QCPBars>(*form, "model")->data()->constBegin();
         it != part<QCPBars>(*form, "model")->data()->constEnd(); ++it)
      out.emplace_back(it->key, it->value);
    return out;
  }

  static QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
  }
};

TEST_F(SummaryPage, StartUpAsksLoadsAndShowsTheSummaryOfTheFile) {
  startWithFactors();
  EXPECT_EQ(dialogs.questions,
            QStringList({"Did you include environmental factors ?", "Did you include interaction ?"}));
  EXPECT_EQ(dialogs.openFilters, QStringList({"Factors file (*.txt)|*.txt"}));
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(form->windowTitle(), "Pot: " + dir.filePath("lake.fst"));
  EXPECT_EQ(form->analysis().factorCount, 2);
  EXPECT_FALSE(form->analysis().hasInteraction);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 1);

  EXPECT_EQ(part<QPlainTextEdit>(*form, "mModel")->toPlainText(), kMemo);
  EXPECT_TRUE(part<QPlainTextEdit>(*form, "mModel")->isVisibleTo(form.get()));
  EXPECT_EQ(bars(), (std::vector<std::pair<double, double>>{{1, 0}, {2, 0.2}, {3, 0}, {4, 0.8}}));
  EXPECT_EQ(form->analysis().bestModel, 4);
  EXPECT_EQ(part<QProgressBar>(*form, "progress")->value(), 100);

  const auto& hpdis = part<IntervalSeries>(*form, "hpdis")->items();
  ASSERT_EQ(hpdis.size(), 2u);
  EXPECT_EQ(hpdis[0].label, "Fst1");
  EXPECT_EQ(hpdis[0].y, 3.0);
  EXPECT_EQ(hpdis[0].color, QColor(255, 0, 0));
  EXPECT_EQ(hpdis[1].label, "Fst2");
  EXPECT_EQ(hpdis[1].y, 2.0);
  EXPECT_EQ(hpdis[1].color, QColor(0, 0, 255));
  for (std::size_t p = 0; p < 2; ++p) {
    EXPECT_LE(hpdis[p].start, form->analysis().fstSummary.mean[p]);
    EXPECT_GE(hpdis[p].end, form->analysis().fstSummary.mean[p]);
  }
  EXPECT_NEAR(form->analysis().fstSummary.mean[0], 0.2, 1e-6);
  EXPECT_NEAR(form->analysis().fstSummary.mean[1], 0.35, 1e-6);

  // then the factor values and the choosers
  ASSERT_EQ(form->analysis().factorValues.size(), 2u);
  EXPECT_EQ(form->analysis().factorValues[0], (std::vector<float>{0.1f, 12.0f, 0.0f}));
  EXPECT_EQ(form->analysis().factorValues[1], (std::vector<float>{0.5f, 15.0f, 0.0f}));
  EXPECT_EQ(items(part<QComboBox>(*form, "Combo_G1")), QStringList({"G1", "G2"}));
  EXPECT_EQ(items(part<QComboBox>(*form, "Combo_G2")), QStringList({"G1", "G2"}));
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G1")->currentIndex(), 0);
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G2")->currentIndex(), 1);
  for (const QComboBox* box :
       {part<QComboBox>(*form, "Model_only"), part<QComboBox>(*form, "Model_only2")}) {
    EXPECT_EQ(items(box), QStringList({"All", "1", "2", "3", "4"}));
    EXPECT_EQ(box->currentIndex(), 0);
  }
  EXPECT_EQ(form->analysis().modelFilter, 0);
  EXPECT_EQ(part<QCPGraph>(*form, "G1_serie")->data()->size(), 2);
  EXPECT_EQ(part<QCPGraph>(*form, "G2_serie")->data()->size(), 2);
}

TEST_F(SummaryPage, StartUpAnsweredNoHasNoFactorsAndClearsTheFactorDisplay) {
  // without factors the model column follows the two populations and a0 is the last column
  dialogs.answers = {false};
  form->actOnCommandLine({write("plain.fst",
                                "0 0.5 -10 0.1 0.3 1 0.2\n"
                                "1 0.5 -11 0.2 0.4 1 0.2\n"
                                "2 0.5 -12 0.3 0.5 1 0.2\n")});
  idle();
  EXPECT_EQ(dialogs.questions, QStringList({"Did you include environmental factors ?"}));
  EXPECT_TRUE(dialogs.openFilters.isEmpty());
  EXPECT_EQ(form->analysis().factorCount, 0);
  EXPECT_EQ(form->analysis().populationCount, 2);
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G1")->count(), 0);
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G2")->count(), 0);
  EXPECT_EQ(part<QCPGraph>(*form, "G1_serie")->data()->size(), 0);
  EXPECT_EQ(part<QCPGraph>(*form, "G2_serie")->data()->size(), 0);
  EXPECT_EQ(part<QPlainTextEdit>(*form, "mModel")->toPlainText(),
            QString::fromUtf8("Factors included in the highest probability model (P(1)=1):\n"
                              "  - Constant (a0=0.2)\n"
                              "  - Sigma\u00B2=0.5"));
  EXPECT_EQ(bars(), (std::vector<std::pair<double, double>>{{1, 1}}));
}

TEST_F(SummaryPage, PageChangesAreRefusedWithoutAnFstFileButNotFromCode) {
  // no file: the Details tab is refused
  form->actOnCommandLine({});
  idle();
  part<QTabWidget>(*form, "Pages")->setCurrentIndex(0);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 1);

  // a frequency file: the Summary tab is refused (the program's own selection of a page a click
  // may not reach is in the window layout test)
  form->actOnCommandLine({write("f.frq", "0 2 0.4 0.6\n1 2 0.5 0.5\n2 2 0.3 0.7\n")});
  idle();
  ASSERT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 0);
  part<QTabWidget>(*form, "Pages")->setCurrentIndex(1);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 0);

  // an fst file: both pages are free, and changing page computes nothing
  dialogs.answers = {false};
  form->actOnCommandLine({write("plain.fst", "0 0.5 -10 0.1 1 0.2\n1 0.5 -11 0.2 1 0.2\n")});
  idle();
  showPage(*form, 0);
  const auto summary = form->analysis().fstSummary.mean;
  part<QTabWidget>(*form, "Pages")->setCurrentIndex(1);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 1);
  part<QTabWidget>(*form, "Pages")->setCurrentIndex(0);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 0);
  EXPECT_EQ(form->analysis().fstSummary.mean, summary);
  EXPECT_EQ(dialogs.questions.size(), 1);
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

TEST_F(SummaryPage, AModelChosenOnTheDetailsPageFiltersThePlotAndTheSummaryFollowsOnItsPage) {
  startWithFactors();
  showPage(*form, 0);
  ASSERT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 5);  // Sigma² over all rows
  choose(part<QComboBox>(*form, "Model_only2"), 4);
  idle();
  EXPECT_EQ(form->analysis().modelFilter, 4);
  EXPECT_EQ(part<QComboBox>(*form, "Model_only")->currentIndex(), 4);
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 4);  // the rows of model 4 only
  EXPECT_NEAR(form->analysis().fstSummary.mean[0], 0.2, 1e-6);   // not recomputed
  // the summary of all models no longer describes the filter: the page shows none until it is
  // shown again, which computes the summary of model 4
  EXPECT_FALSE(summaryShown(*form));
  EXPECT_TRUE(part<QPlainTextEdit>(*form, "mModel")->toPlainText().isEmpty());
  EXPECT_EQ(part<IntervalSeries>(*form, "hpdis")->items().size(), 0u);
  part<QTabWidget>(*form, "Pages")->setCurrentIndex(1);
  idle();
  EXPECT_TRUE(summaryShown(*form));
  EXPECT_FALSE(part<QPlainTextEdit>(*form, "mModel")->toPlainText().isEmpty());
  EXPECT_EQ(part<IntervalSeries>(*form, "hpdis")->items().size(), 2u);
}

TEST_F(SummaryPage, AModelChosenOnTheSummaryPageRecomputesTheFstSummaries) {
  startWithFactors();
  const auto allBars = bars();

  // model 2 has a single row: no population can be summarised
  choose(part<QComboBox>(*form, "Model_only"), 2);
  idle();
  EXPECT_EQ(form->analysis().modelFilter, 2);
  EXPECT_EQ(part<QComboBox>(*form, "Model_only2")->currentIndex(), 2);
  EXPECT_EQ(form->analysis().fstSummary.mean, (std::vector<double>{0, 0}));
  EXPECT_TRUE(part<IntervalSeries>(*form, "hpdis")->items().empty());
  EXPECT_EQ(part<QCPGraph>(*form, "G1_serie")->data()->size(), 0);
  // the models, the best model's coefficients and Sigma² do not depend on the filter
  EXPECT_EQ(bars(), allBars);
  EXPECT_EQ(part<QPlainTextEdit>(*form, "mModel")->toPlainText(), kMemo);
  EXPECT_EQ(part<QProgressBar>(*form, "progress")->value(), 100);

  choose(part<QComboBox>(*form, "Model_only"), 4);
  idle();
  EXPECT_NEAR(form->analysis().fstSummary.mean[0], 0.175, 1e-6);
  EXPECT_NEAR(form->analysis().fstSummary.mean[1], 0.3425, 1e-6);
  EXPECT_EQ(part<IntervalSeries>(*form, "hpdis")->items().size(), 2u);
  EXPECT_EQ(part<QCPGraph>(*form, "G1_serie")->data()->size(), 2);
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 4);  // the Details page follows as well

  choose(part<QComboBox>(*form, "Model_only2"), 0);
  idle();
  EXPECT_EQ(part<QComboBox>(*form, "Model_only")->currentIndex(), 0);
  EXPECT_NEAR(form->analysis().fstSummary.mean[0], 0.2, 1e-6);
}

// The model help lists the models of the factors open, whatever they are: none, two, and two
// with their interaction (the text of each is checked with the model help itself).
TEST_F(SummaryPage, ModelHelpListsTheModelsOfTheFactorsOpen) {
  const auto help = [&] {
    dialogs.messages.clear();
    part<QPushButton>(*form, "model_help")->click();
    EXPECT_EQ(dialogs.messages.size(), 1);
    return dialogs.messages.value(0).toStdString();
  };
  EXPECT_EQ(help(), modelHelpText(0, false));

  startWithFactors();
  ASSERT_EQ(form->analysis().factorCount, 2);
  EXPECT_EQ(help(), modelHelpText(2, false));

  // the same two factors with their interaction: a third coefficient and models 1 to 5
  dialogs.files = {write("inter.fst",
                         "0 0.09 -10 0.10 0.30 5 0.01 1.2 -0.4 0.3\n"
                         "1 0.08 -11 0.20 0.35 5 0.02 1.3 -0.5 0.2\n"
                         "2 0.07 -12 0.15 0.40 1 0.03 1.1 -0.6 0.1\n"),
                   write("inter.txt", kFactors)};
  dialogs.answers = {true, true};
  trigger(*form, "Open");
  idle();
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  ASSERT_TRUE(form->analysis().hasInteraction);
  EXPECT_EQ(help(), modelHelpText(3, true));
  EXPECT_NE(help(), modelHelpText(3, false));
}

TEST_F(SummaryPage, AModelChosenWhileTheSummaryRunsIsRefusedAndTheSummaryDescribesItsChoice) {
  FstSpec spec;
  spec.rows = 2000;
  spec.populations = 6;
  const QString data = dir.filePath("big.fst");
  writeFstFile(spec, data.toStdString());
  form->actOnCommandLine({data, writeFactors("f.txt", spec), "0"});
  idle();
  ASSERT_EQ(part<QComboBox>(*form, "Model_only")->count(), 5);

  choose(part<QComboBox>(*form, "Model_only"), 2);  // starts the summary of model 2
  ASSERT_TRUE(form->jobs().busy(JobRunner::Lane::analysis));
  choose(part<QComboBox>(*form, "Model_only"),
         4);  // refused: the running summary was asked for with model 2
  EXPECT_EQ(part<QComboBox>(*form, "Model_only")->currentIndex(), 2);
  EXPECT_TRUE(form->statusBar()->currentMessage().contains("ignored"))
      << form->statusBar()->currentMessage().toStdString();
  idle();

  EXPECT_EQ(form->analysis().modelFilter, 2);
  EXPECT_EQ(part<QComboBox>(*form, "Model_only2")->currentIndex(), 2);
  EXPECT_TRUE(summaryShown(*form));
  EXPECT_EQ(part<QProgressBar>(*form, "progress")->value(), 100);
  const auto fst = form->analysis().fstSummary.mean;
  const QString memo = part<QPlainTextEdit>(*form, "mModel")->toPlainText();
  const auto modelBars = bars();
  EXPECT_EQ(part<IntervalSeries>(*form, "hpdis")->items().size(), 6u);

  // the same choice made again, undisturbed, gives the same page
  choose(part<QComboBox>(*form, "Model_only"), 0);
  idle();
  choose(part<QComboBox>(*form, "Model_only"), 2);
  idle();
  EXPECT_EQ(form->analysis().fstSummary.mean, fst);
  EXPECT_EQ(part<QPlainTextEdit>(*form, "mModel")->toPlainText(), memo);
  EXPECT_EQ(bars(), modelBars);
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

}  // namespace
}  // namespace varno
