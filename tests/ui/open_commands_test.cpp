// Open data file, a dropped file, Reload and Open factor file: the page and factors each leaves.
#include <qcustomplot.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <sys/stat.h>
#include <unistd.h>

#include "charts/interval_series.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

const QString kDataFilter =
    "Fst file (*.fst)|*.fst|Frequences file (*.frq)|*.frq|CODA index (*index*.txt)|*index*.txt|Other(*.*)|*.*";
const QString kEnvironment = "Did you include environmental factors ?";
const QString kInteraction = "Did you include interaction ?";

// Two populations, two factors: iteration, Sigma², log likelihood, Fst1, Fst2, model, a0, a1, a2.
constexpr char kTwoFactorRows[] =
    "0 0.09 -10 0.10 0.30 4 0.01 1.2 -0.4\n"
    "1 0.08 -11 0.20 0.35 4 0.02 1.3 -0.5\n"
    "2 0.07 -12 0.15 0.40 4 0.03 1.1 -0.6\n"
    "3 0.06 -13 0.25 0.32 2 0.04 1.0 -0.7\n"
    "4 0.05 -14 0.30 0.38 2 0.05 0.9 -0.8\n";
// Three populations, no factors: iteration, Sigma², log likelihood, Fst1..3, model, a0.
constexpr char kThreePopulationRows[] =
    "0 0.5 -10 0.1 0.2 0.3 1 0.7\n"
    "1 0.6 -11 0.2 0.3 0.4 1 0.8\n"
    "2 0.7 -12 0.3 0.4 0.5 1 0.9\n";

struct OpenCommands : WindowFixture {
  QString factors = write("factors.txt", "g[1]=0.1 0.5\ng[2]=12 15\n");

  // Open data file on the two-factor table with the factors file, no interaction.
  QString openWithFactors(const QString& name = "a.fst") {
    const QString path = write(name, kTwoFactorRows);
    dialogs.files = {path, factors};
    dialogs.answers = {true, false};
    trigger(*form, "Open");
    idle();
    EXPECT_EQ(form->analysis().factorCount, 2);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    return path;
  }
};

// A FIFO no program writes to, named as factors file, chain file, CODA index or chain file beside
// an index, is refused at once, as a FIFO data file is: the window never waits for a writer. (A
// reading that waited would never return; the alarm then ends the test rather than hanging it.)
TEST_F(OpenCommands, AFifoIsRefusedWhereverAFileIsNamed) {
  const QString fifo = dir.filePath("pipe_index.txt");
  ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  const QString refused = "\"" + fifo + "\" is not a regular file (it is a FIFO): only regular files are read";
  ::alarm(300);

  // as the factors file of an .fst file: said, and the file is opened without factors
  const QString data = write("a.fst", kThreePopulationRows);
  dialogs.files = {data, fifo};
  dialogs.answers = {true};
  trigger(*form, "Open");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(dialogs.errors.front(), refused);
  EXPECT_EQ(form->analysis().dataFileName, data.toStdString());
  EXPECT_EQ(form->analysis().factorCount, 0);

  // as a chain, and as a data file named like a CODA index
  const QString chainFifo0 = dir.filePath("pipe.fst");
  ASSERT_EQ(::mkfifo(chainFifo0.toLocal8Bit().constData(), 0600), 0);
  dialogs.errors.clear();
  dialogs.files = {chainFifo0};
  trigger(*form, "addChain");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_EQ(dialogs.errors[0].toStdString(),
            ("\"" + chainFifo0 + "\" was not read: " + QString(refused).replace(fifo, chainFifo0)).toStdString());
  EXPECT_EQ(form->analysis().chainCount(), 1);
  dialogs.errors.clear();
  dialogs.files = {fifo};
  trigger(*form, "Open");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_EQ(dialogs.errors[0].toStdString(), refused.toStdString());
  EXPECT_EQ(form->analysis().dataFileName, data.toStdString());

  // as the first chain file beside an index
  const QString index = write("CODAindex.txt", "alpha 1 2\n");
  const QString chainFifo = dir.filePath("CODAchain1.txt");
  ASSERT_EQ(::mkfifo(chainFifo.toLocal8Bit().constData(), 0600), 0);
  dialogs.errors.clear();
  dialogs.files = {index};
  trigger(*form, "Open");
  idle();
  ::alarm(0);
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_EQ(dialogs.errors[0].toStdString(),
            ("\"" + chainFifo + "\" is not a regular file (it is a FIFO): only regular files are read").toStdString());
  EXPECT_EQ(form->analysis().dataFileName, data.toStdString());
}

TEST_F(OpenCommands, AnsweringNoAfterAnEarlierFactorsFileLeavesNoFactors) {
  openWithFactors();
  ASSERT_EQ(part<QComboBox>(*form, "Combo_G1")->count(), 2);
  dialogs.questions.clear();
  const QString b = write("b.fst", kThreePopulationRows);
  dialogs.files = {b};
  dialogs.answers = {false};
  trigger(*form, "Open");
  idle();
  EXPECT_EQ(dialogs.questions, QStringList{kEnvironment});
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(form->windowTitle(), "Plot: " + b);
  EXPECT_EQ(form->analysis().factorCount, 0);
  EXPECT_FALSE(form->analysis().hasInteraction);
  EXPECT_EQ(form->analysis().coefficientSummary.size(), 1u);
  EXPECT_EQ(form->analysis().populationCount, 3);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 1);
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G1")->count(), 0);
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G2")->count(), 0);
  EXPECT_EQ(part<QCPGraph>(*form, "G1_serie")->data()->size(), 0);
  EXPECT_EQ(part<QCPGraph>(*form, "G2_serie")->data()->size(), 0);
  EXPECT_EQ(part<IntervalSeries>(*form, "hpdis")->items().size(), 3u);
}

TEST_F(OpenCommands, CancellingTheDataDialogChangesNothingButTheFactorMode) {
  const QString data = write("a.fst", kTwoFactorRows);
  form->actOnCommandLine({data, factors, "0"});
  idle();
  ASSERT_EQ(form->analysis().factorMode, 0);
  const auto table = form->analysis().firstTable();
  const QString title = form->windowTitle();
  const QString memo = part<QPlainTextEdit>(*form, "mModel")->toPlainText();

  dialogs.files = {std::nullopt};
  trigger(*form, "Open");
  idle();
  EXPECT_EQ(dialogs.openFilters.back(), kDataFilter);
  EXPECT_EQ(form->analysis().factorMode, -1);
  EXPECT_EQ(form->analysis().firstTable(), table);
  EXPECT_EQ(form->analysis().dataFileName, data.toStdString());
  EXPECT_EQ(form->windowTitle(), title);
  EXPECT_EQ(form->analysis().factorCount, 2);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 1);
  EXPECT_EQ(part<QPlainTextEdit>(*form, "mModel")->toPlainText(), memo);
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G1")->count(), 2);
  EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(OpenCommands, ACancelledFactorsDialogCountsTheEarlierFactorsFile) {
  openWithFactors();
  dialogs.questions.clear();
  dialogs.openFilters.clear();
  dialogs.files = {write("c.fst", kTwoFactorRows), std::nullopt};
  dialogs.answers = {true, false};
  trigger(*form, "Open");
  idle();
  EXPECT_EQ(dialogs.openFilters, QStringList({kDataFilter, "Factors file (*.txt)|*.txt"}));
  EXPECT_EQ(dialogs.questions, QStringList({kEnvironment, kInteraction}));
  EXPECT_EQ(form->analysis().factorFileName, factors.toStdString());
  EXPECT_EQ(form->analysis().factorCount, 2);
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G1")->count(), 2);
  EXPECT_EQ(form->analysis().factorValues[1][1], 15.0f);
}

TEST_F(OpenCommands, AnMlFileIsChosenThroughOtherAndShownOnTheDetailsPage) {
  const QString ml = write("t.ml", "1 5\n2 6\n3 7\n");
  dialogs.files = {ml};
  trigger(*form, "Open");
  idle();
  EXPECT_EQ(dialogs.openFilters, QStringList{kDataFilter});
  EXPECT_TRUE(dialogs.questions.isEmpty());
  EXPECT_EQ(form->analysis().kind(), FileKind::other);
  EXPECT_EQ(form->analysis().dataExtension, ".ml");
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 0);
  EXPECT_EQ(part<QComboBox>(*form, "xi")->count(), 2);
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 3);
}

// Answered No, several dropped files are not chains: only the first is opened.
TEST_F(OpenCommands, OnlyTheFirstDroppedFileIsOpenedUnlessTheyAreChains) {
  const QString first = write("first.ml", "1 5\n2 6\n3 7\n");
  const QString second = write("second.fst", kThreePopulationRows);
  dialogs.answers = {false};
  drop(*form, {first, second});
  idle();
  EXPECT_EQ(form->windowTitle(), "Plot: " + first);
  EXPECT_EQ(form->analysis().dataFileName, first.toStdString());
  EXPECT_EQ(form->analysis().chainCount(), 1);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 0);
  EXPECT_EQ(dialogs.questions, QStringList{"Open the 2 files as chains of one analysis?"});
}

TEST_F(OpenCommands, ADroppedFstFileIsSummarisedWithoutFactorsUnlessAFileIsChosen) {
  // answered No, or Yes with the dialog cancelled: no factors, although a factors file is known
  const struct {
    const char* name;
    std::deque<bool> answers;
    std::deque<std::optional<QString>> files;
  } cases[] = {
      {"No", {false}, {}},
      {"cancelled", {true}, {std::nullopt}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    openWithFactors();
    showPage(*form, 0);
    dialogs.answers = c.answers;
    dialogs.files = c.files;
    const QString dropped = write("b.fst", kThreePopulationRows);
    drop(*form, {dropped});
    idle();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    EXPECT_EQ(form->windowTitle(), "Plot: " + dropped);
    EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 1);
    EXPECT_EQ(form->analysis().factorCount, 0);
    EXPECT_EQ(form->analysis().populationCount, 3);
    // the summary describes the dropped file
    ASSERT_EQ(form->analysis().fstSummary.size(), 3u);
    EXPECT_NEAR(form->analysis().fstSummary.mean[2], 0.4, 1e-6);
    EXPECT_EQ(part<IntervalSeries>(*form, "hpdis")->items().size(), 3u);
    EXPECT_TRUE(part<QPlainTextEdit>(*form, "mModel")->toPlainText().contains("(a0=0.8)"));
    EXPECT_EQ(part<QComboBox>(*form, "Combo_G1")->count(), 0);
    EXPECT_EQ(form->analysis().factorFileName, factors.toStdString());
  }
}

TEST_F(OpenCommands, ReloadBeforeAnyFileReadsNothing) {
  form->actOnCommandLine({});
  idle();
  trigger(*form, "Refresh1");
  idle();
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_FALSE(form->analysis().open());
  EXPECT_EQ(part<QCPGraph>(*form, "G1_serie")->data()->size(), 0);
  EXPECT_FALSE(form->analysis().reloading);
}

TEST_F(OpenCommands, ReloadKeepsTheChosenColumnAndTheFactorValues) {
  const QString data = openWithFactors();
  choose(part<QComboBox>(*form, "xi"), 4);  // "Fst2"
  idle();
  const auto factorValues = form->analysis().factorValues;
  // the sampler wrote one more row of model 4 meanwhile
  write("a.fst", QByteArray(kTwoFactorRows) + "5 0.04 -15 0.12 0.36 4 0.06 1.4 -0.3\n");
  dialogs.questions.clear();
  trigger(*form, "Refresh1");
  idle();
  EXPECT_TRUE(dialogs.questions.isEmpty());
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(form->analysis().firstTable()->rowCount(), 6);
  EXPECT_EQ(part<QComboBox>(*form, "xi")->currentIndex(), 4);
  EXPECT_EQ(part<QComboBox>(*form, "xi")->currentText(), "Fst2");
  ASSERT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 6);
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->at(0)->value, static_cast<double>(0.30f));
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->at(5)->value, static_cast<double>(0.36f));
  EXPECT_EQ(form->analysis().factorValues, factorValues);
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G1")->count(), 2);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 1);
  EXPECT_TRUE(part<QPlainTextEdit>(*form, "mModel")
                  ->toPlainText()
                  .startsWith("Factors included in the highest probability model (P(4)=0.667):"));
  EXPECT_EQ(part<QCPGraph>(*form, "G1_serie")->data()->size(), 2);
  EXPECT_FALSE(form->analysis().reloading);
  EXPECT_EQ(form->windowTitle(), "Plot: " + data);
}

// Answered No, the factors file has no part in the analysis: a reload of a file whose shape
// changed reads no factors and plots nothing against them.
TEST_F(OpenCommands, ReloadUsesNoFactorsWhereTheUserDeclinedThem) {
  openWithFactors();
  const QString b = write("b.fst", kThreePopulationRows);
  dialogs.files = {b};
  dialogs.answers = {false};
  trigger(*form, "Open");
  idle();
  ASSERT_EQ(form->analysis().factorCount, 0);
  // the sampler wrote the file again, with four populations
  write("b.fst",
        "0 0.5 -10 0.1 0.2 0.3 0.4 1 0.7\n"
        "1 0.6 -11 0.2 0.3 0.4 0.5 1 0.8\n"
        "2 0.7 -12 0.3 0.4 0.5 0.6 1 0.9\n");
  dialogs.questions.clear();
  dialogs.messages.clear();
  trigger(*form, "Refresh1");
  idle();
  EXPECT_TRUE(dialogs.questions.isEmpty());
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("\n").toStdString();
  EXPECT_EQ(form->analysis().populationCount, 4);
  EXPECT_EQ(form->analysis().factorCount, 0);
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G1")->count(), 0);
  EXPECT_EQ(part<QCPGraph>(*form, "G1_serie")->data()->size(), 0);
  EXPECT_EQ(part<QCPGraph>(*form, "G2_serie")->data()->size(), 0);
  for (const auto& row : form->analysis().factorValues)
    for (float v : row) EXPECT_EQ(v, 0.0f) << "no factor value of another file";
}

// An empty factor chart shows the axes of an empty chart, however often it is drawn again.
TEST_F(OpenCommands, EmptyFactorChartsShowEmptyAxesThatStayOnReload) {
  openWithFactors();
  auto* g1 = part<QCustomPlot>(*form, "G1_graph");
  auto* g2 = part<QCustomPlot>(*form, "G2_graph");
  const QCustomPlot fresh;
  ASSERT_NE(g1->xAxis->range(), fresh.xAxis->range()) << "the chart shows the factor values first";
  dialogs.files = {write("b.fst", kThreePopulationRows)};
  dialogs.answers = {false};
  trigger(*form, "Open");
  idle();
  for (int reload = 0; reload < 3; ++reload) {
    for (QCustomPlot* chart : {g1, g2}) {
      SCOPED_TRACE(chart->objectName().toStdString() + " after " + std::to_string(reload) + " reloads");
      EXPECT_EQ(chart->xAxis->range(), fresh.xAxis->range());
      EXPECT_EQ(chart->yAxis->range(), fresh.yAxis->range());
    }
    trigger(*form, "Refresh1");
    idle();
  }
}

TEST_F(OpenCommands, AFactorsFileOpenedOnTheDetailsPageIsOnlyRemembered) {
  const QString data = openWithFactors();
  showPage(*form, 0);
  const QString other = write("other.txt", "g[1]=7 8\ng[2]=9 10\n");
  dialogs.questions.clear();
  dialogs.files = {other};
  trigger(*form, "Openfactorfile");
  idle();
  EXPECT_TRUE(dialogs.questions.isEmpty());
  EXPECT_EQ(form->analysis().factorFileName, other.toStdString());
  EXPECT_EQ(form->analysis().factorValues[0], (std::vector<float>{0.1f, 12.0f, 0.0f}));

  // the next Open data file whose factors dialog is cancelled uses it
  dialogs.files = {data, std::nullopt};
  dialogs.answers = {true, false};
  trigger(*form, "Open");
  idle();
  EXPECT_EQ(form->analysis().factorValues[0], (std::vector<float>{7.0f, 9.0f, 0.0f}));
}

TEST_F(OpenCommands, OpenFactorFileWithInteractionSizesTheCoefficientsForThreeFactors) {
  openWithFactors();
  dialogs.questions.clear();
  dialogs.files = {factors};
  dialogs.answers = {true};
  trigger(*form, "Openfactorfile");
  idle();
  EXPECT_EQ(dialogs.questions, QStringList{kInteraction});
  EXPECT_EQ(form->analysis().factorCount, 3);
  EXPECT_TRUE(form->analysis().hasInteraction);
  const SummaryArrays& c = form->analysis().coefficientSummary;
  for (const auto* v : {&c.mean, &c.mode, &c.low, &c.high}) EXPECT_EQ(v->size(), 4u);
  // the entries are not added before the factors file is read again
  EXPECT_EQ(part<QComboBox>(*form, "Combo_G1")->count(), 2);
  // the summary shown was made for two factors and no longer shows; this table has no column for
  // a3, so the summary of three cannot be made: that is said, not read, and no report is made
  EXPECT_FALSE(summaryShown(*form));
  EXPECT_TRUE(part<QPlainTextEdit>(*form, "mModel")->toPlainText().isEmpty());
  EXPECT_EQ(part<QCPGraph>(*form, "G1_serie")->data()->size(), 0);
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors.front().contains("columns")) << dialogs.errors.front().toStdString();
  dialogs.files = {dir.filePath("r.txt")};
  trigger(*form, "save_res");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 2);
  EXPECT_TRUE(dialogs.errors.back().contains("columns")) << dialogs.errors.back().toStdString();
  EXPECT_FALSE(QFile::exists(dir.filePath("r.txt")));
  EXPECT_TRUE(part<QPlainTextEdit>(*form, "mModel")->toPlainText().isEmpty());
  EXPECT_EQ(form->analysis().coefficientSummary.size(), 4u);
}

}  // namespace
}  // namespace varno
