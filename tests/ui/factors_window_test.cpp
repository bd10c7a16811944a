// The charts of posterior mean Fst against the factors: scales, titles, chosen factors, gaps.
#include <qcustomplot.h>

#include <QAction>
#include <QComboBox>
#include <cmath>

#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

// Fst1 averages 0.2 (or is 0 throughout), Fst2 0.35; `factors` coefficient columns follow the
// model column.
QByteArray table(int factors, bool firstPopulationZero = false) {
  const char* rows[] = {"0 0.5 -10 0.10 0.30 1", "1 0.6 -11 0.20 0.35 1", "2 0.7 -12 0.15 0.40 1",
                        "3 0.6 -13 0.25 0.32 1", "4 0.5 -14 0.30 0.38 1"};
  QByteArray text;
  for (const char* row : rows) {
    QList<QByteArray> fields = QByteArray(row).split(' ');
    if (firstPopulationZero) fields[3] = "0";
    text += fields.join(' ');
    for (int f = 0; f <= factors; ++f) text += " 0.1";
    text += "\n";
  }
  return text;
}

struct FactorPlots : WindowFixture {
  // Start-up on the table with a factors file; `answers` after the environmental question.
  void start(int factors, const QByteArray& factorsFile, std::deque<bool> answers = {},
             bool firstPopulationZero = false) {
    answers.push_front(true);
    dialogs.answers = answers;
    dialogs.files = {write("factors.txt", factorsFile)};
    form->actOnCommandLine({write("t.fst", table(factors, firstPopulationZero))});
    idle();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  }

  static QString title(QCustomPlot* chart) {
    auto* t = chart->findChild<QCPTextElement*>(chart->objectName() + "_title");
    return t ? t->text() : QString();
  }

  static std::vector<std::pair<double, double>> points(QCPGraph* series) {
    std::vector<std::pair<double, double>> out;
    for (auto it = series->data()->constBegin(); it != series->data()->constEnd(); ++it)
      out.emplace_back(it->key, it->value);
    return out;
  }

  static void expectPoints(QCPGraph* series, const std::vector<std::pair<double, double>>& expected) {
    const auto actual = points(series);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
      EXPECT_NEAR(actual[i].first, expected[i].first, 1e-6) << i;
      EXPECT_NEAR(actual[i].second, expected[i].second, 1e-6) << i;
    }
  }
};

const double kLogit02 = std::log(0.25);       // -1.386...
const double kLogit035 = std::log(0.35 / 0.65);

TEST_F(FactorPlots, MeansArePlottedOnTheLogitScaleOrPlainAndTogglingTwiceRestoresThem) {
  start(2, "g[1]=0.1 0.5\ng[2]=12 15\n", {false});
  ASSERT_TRUE(part<QAction>(*form, "logFst")->isChecked());
  EXPECT_NEAR(kLogit02, -1.386, 5e-4);
  const std::vector<std::pair<double, double>> logitG1{{0.1, kLogit02}, {0.5, kLogit035}};
  const std::vector<std::pair<double, double>> logitG2{{12, kLogit02}, {15, kLogit035}};
  expectPoints(part<QCPGraph>(*form, "G1_serie"), logitG1);
  expectPoints(part<QCPGraph>(*form, "G2_serie"), logitG2);
  EXPECT_EQ(title(part<QCustomPlot>(*form, "G1_graph")), "Fst against G1");
  EXPECT_EQ(title(part<QCustomPlot>(*form, "G2_graph")), "Fst against G2");

  trigger(*form, "logFst");
  EXPECT_FALSE(part<QAction>(*form, "logFst")->isChecked());
  EXPECT_EQ(part<QCustomPlot>(*form, "G1_graph")->yAxis->label(), "Fst");
  EXPECT_EQ(part<QCustomPlot>(*form, "G2_graph")->yAxis->label(), "Fst");
  expectPoints(part<QCPGraph>(*form, "G1_serie"), {{0.1, 0.2}, {0.5, 0.35}});
  expectPoints(part<QCPGraph>(*form, "G2_serie"), {{12, 0.2}, {15, 0.35}});

  trigger(*form, "logFst");
  EXPECT_TRUE(part<QAction>(*form, "logFst")->isChecked());
  EXPECT_EQ(part<QCustomPlot>(*form, "G1_graph")->yAxis->label(), "ln(Fst/1-Fst)");
  EXPECT_EQ(part<QCustomPlot>(*form, "G2_graph")->yAxis->label(), "ln(Fst/1-Fst)");
  expectPoints(part<QCPGraph>(*form, "G1_serie"), logitG1);
  expectPoints(part<QCPGraph>(*form, "G2_serie"), logitG2);
  EXPECT_EQ(title(part<QCustomPlot>(*form, "G1_graph")), "Fst against G1");
  EXPECT_EQ(part<QCustomPlot>(*form, "G1_graph")->xAxis->label(),
            "G1");  // bottom titles keep their designed texts
  EXPECT_EQ(part<QCustomPlot>(*form, "G2_graph")->xAxis->label(), "G2");
}

TEST_F(FactorPlots, APopulationWithoutASummaryHasNoPoint) {
  // a posterior mean of 0 stands for no summary
  start(2, "g[1]=0.1 0.5\ng[2]=12 15\n", {false}, true);
  ASSERT_EQ(form->analysis().fstSummary.mean[0], 0);
  expectPoints(part<QCPGraph>(*form, "G1_serie"), {{0.5, kLogit035}});
  expectPoints(part<QCPGraph>(*form, "G2_serie"), {{15, kLogit035}});
}

TEST_F(FactorPlots, TheChosenFactorGivesTheTitleAndTheXValues) {
  const struct {
    const char* name;
    int factors;
    const char* file;
    std::deque<bool> answers;
    bool second;  // Combo_G2 rather than Combo_G1
    int index;
    QString title;
    double x1, x2;
  } cases[] = {
      {"interaction in G2", 3, "g[1]=0.1 0.5\ng[2]=12 15\n", {true}, true, 2, "Fst against G1*G2",
       static_cast<double>(0.1f * 12.0f), 7.5},
      {"interaction in G1", 3, "g[1]=0.1 0.5\ng[2]=12 15\n", {true}, false, 2, "Fst against G1*G2",
       static_cast<double>(0.1f * 12.0f), 7.5},
      {"third factor", 3, "g[1]=0.1 0.5\ng[2]=12 15\ng[3]=-1 4\n", {}, false, 2, "Fst against G3", -1, 4},
      {"G2 in the first chart", 2, "g[1]=0.1 0.5\ng[2]=12 15\n", {false}, false, 1, "Fst against G2", 12,
       15},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form = std::make_unique<TForm3>(dialogs);
    start(c.factors, c.file, c.answers);
    QComboBox* box =
        c.second ? part<QComboBox>(*form, "Combo_G2") : part<QComboBox>(*form, "Combo_G1");
    choose(box, c.index);
    QCustomPlot* chart =
        c.second ? part<QCustomPlot>(*form, "G2_graph") : part<QCustomPlot>(*form, "G1_graph");
    QCPGraph* series =
        c.second ? part<QCPGraph>(*form, "G2_serie") : part<QCPGraph>(*form, "G1_serie");
    EXPECT_EQ(title(chart), c.title);
    expectPoints(series, {{c.x1, kLogit02}, {c.x2, kLogit035}});
  }
}

TEST_F(FactorPlots, OneFactorLeavesTheSecondChartEmptyAndItsTitleAsItWas) {
  start(2, "g[1]=0.1 0.5\ng[2]=12 15\n", {false});
  choose(part<QComboBox>(*form, "Combo_G2"), 0);
  ASSERT_EQ(title(part<QCustomPlot>(*form, "G2_graph")), "Fst against G1");

  // a one-factor file opened next
  dialogs.files = {write("one.fst", table(1)), write("one.txt", "g[1]=3 4\n")};
  dialogs.answers = {true};
  trigger(*form, "Open");
  idle();
  ASSERT_EQ(form->analysis().factorCount, 1);
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G2")->currentIndex(), -1);
  choose(part<QComboBox>(*form, "Combo_G2"), -1);  // the empty chooser clicked
  EXPECT_EQ(part<QCPGraph>(*form, "G2_serie")->data()->size(), 0);
  EXPECT_EQ(title(part<QCustomPlot>(*form, "G2_graph")), "Fst against G1");
  EXPECT_EQ(title(part<QCustomPlot>(*form, "G1_graph")), "Fst against G1");
  expectPoints(part<QCPGraph>(*form, "G1_serie"), {{3, kLogit02}, {4, kLogit035}});
}

TEST_F(FactorPlots, WithoutAFactorsFileTheChartsStayEmpty) {
  dialogs.answers = {false};
  form->actOnCommandLine({write("t.fst", table(0))});
  idle();
  trigger(*form, "logFst");
  choose(part<QComboBox>(*form, "Combo_G1"), -1);  // the empty choosers clicked
  choose(part<QComboBox>(*form, "Combo_G2"), -1);
  EXPECT_EQ(part<QCPGraph>(*form, "G1_serie")->data()->size(), 0);
  EXPECT_EQ(part<QCPGraph>(*form, "G2_serie")->data()->size(), 0);
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

TEST_F(FactorPlots, FactorLinesAreFoundByTheirClosingBracketAndStoredWithinTheirSlots) {
  // a blank before each "=": no factor line, so no factors and a single model
  start(0, "g[1] =0.1 0.5\ng[2] =12 15\n");
  EXPECT_EQ(form->analysis().factorCount, 0);
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G1")->count(), 0);

  // mode 0 with three factor lines: two factors, the third line's values in the third slot
  form = std::make_unique<TForm3>(dialogs);
  // ("x]" is too short to be a factor line; the piece after it ends with "g[3]")
  const QString three = write("three.txt", "npop=2\ng[1]=1 2\ng[2]=3 4\nx]=9\ng[3]=5 6\n");
  form->actOnCommandLine({write("t.fst", table(2)), three, "0"});
  idle();
  EXPECT_EQ(form->analysis().factorValues[0], (std::vector<float>{1, 3, 5}));
  EXPECT_EQ(form->analysis().factorValues[1], (std::vector<float>{2, 4, 6}));
  EXPECT_EQ(part<QComboBox>(*form, "Model_only")->count(), 5);

  // a file with more factor lines than the rows have slots, opened afterwards
  dialogs.files = {write("many.txt", "a[1]=1 1\na[2]=2 2\na[3]=3 3\na[4]=4 4\na[5]=5 5\n")};
  dialogs.answers = {false};  // no interaction
  trigger(*form, "Openfactorfile");
  idle();
  EXPECT_EQ(form->analysis().factorValues[1], (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G1")->count(), 3);
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

TEST_F(FactorPlots, AFactorsFileThatDoesNotFitIsReadAsItIsAndItsFaultsShown) {
  start(2, "npop=3\ng[1]=0.1 0.5\ng[2]=12 x\ng[3] = 1 2\n", {false});
  EXPECT_EQ(form->analysis().factorCount, 2);
  EXPECT_EQ(form->analysis().factorValues[0], (std::vector<float>{0.1f, 12, 0}));
  // the value the file does not give is no value: no point in the G2 chart, and no report
  EXPECT_EQ(form->analysis().factorValues[1][0], 0.5f);
  EXPECT_TRUE(std::isnan(form->analysis().factorValues[1][1]));
  EXPECT_EQ(points(part<QCPGraph>(*form, "G2_serie")).size(), 1u);
  EXPECT_EQ(points(part<QCPGraph>(*form, "G1_serie")).size(), 2u);
  const QString file = dir.filePath("factors.txt");
  ASSERT_EQ(dialogs.messages.size(), 1) << dialogs.messages.join("\n").toStdString();
  EXPECT_EQ(dialogs.messages.front(),
            "The factors file \"" + file + "\" was read as it is, but:\n"
            "line 1: npop=3, but the data file has 2 populations\n"
            "line 3: G2 of population 2: \"x\" is not a number\n"
            "line 4: \"g[3] =\" looks like a factor line but was not counted: a factor line has no blank before "
            "\"=\" (write \"g[3]=\")");
  EXPECT_TRUE(form->statusBar()->currentMessage().endsWith(
      "; factors file \"" + file +
      "\"; line 1: npop=3, but the data file has 2 "
      "populations; line 3: G2 of population 2: \"x\" is not a number; line 4: \"g[3] =\" "
      "looks like a factor line but was not counted: a factor line has no blank "
      "before \"=\" (write \"g[3]=\")"))
      << form->statusBar()->currentMessage().toStdString();
  EXPECT_TRUE(form->statusBar()->currentMessage().startsWith(dir.filePath("t.fst") +
                                                             ": 5 rows \u00D7 9 columns"))
      << form->statusBar()->currentMessage().toStdString();
  trigger(*form, "save_res");
  idle();
  EXPECT_EQ(dialogs.errors, QStringList{"The results were not saved: population 2 has no G2 value: open a factors "
                                        "file that gives every population a value of each factor"});
  EXPECT_TRUE(dialogs.saveFilters.isEmpty());  // refused before any dialog
}

}  // namespace
}  // namespace varno
