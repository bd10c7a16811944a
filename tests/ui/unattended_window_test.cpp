// Start-up with a data file, a factors file and a factor mode: the report written unattended.
#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "report/unattended_run.h"
#include "tools/trace_generator.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

struct UnattendedWindow : WindowFixture {
  // lake.fst: a generated trace of 100 rows with two factors.
  QString twoFactorTrace(int populations) {
    FstSpec spec;
    spec.rows = 100;
    spec.populations = populations;
    spec.factors = 2;
    return writeTrace("lake.fst", spec);
  }
};

TEST_F(UnattendedWindow, WritesTheReportOfTheHeadlessRunNextToTheDataFile) {
  const struct {
    const char* name;
    std::optional<QString> modeArgument;
    bool interactionTrace;
    std::deque<bool> answers;
    std::optional<int> factorMode;       // as the headless run is told
    std::optional<bool> interaction;     //
    QStringList questions;
  } cases[] = {
      {"mode 0", "0", false, {}, 0, {}, {}},
      {"mode 1", "1", true, {}, 1, {}, {}},
      {"no digits", "x", false, {}, 0, {}, {}},
      {"counted, interaction", {}, true, {true}, {}, true, {"Did you include interaction ?"}},
      {"counted, none", {}, false, {false}, {}, false, {"Did you include interaction ?"}},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form = std::make_unique<TForm3>(dialogs);
    dialogs.questions.clear();
    dialogs.errors.clear();
    dialogs.answers = c.answers;

    FstSpec spec;
    spec.rows = 300;
    spec.populations = 4;
    spec.factors = c.interactionTrace ? 3 : 2;
    spec.interaction = c.interactionTrace;
    spec.seed = 7 + n;
    const QString base = QString("lake%1").arg(n++);
    const QString data = writeTrace(base + ".fst", spec);
    const QString factors = writeFactors(base + "_factors.txt", spec);

    QStringList args{data, factors};
    if (c.modeArgument) args << *c.modeArgument;
    form->actOnCommandLine(args);
    idle();

    EXPECT_EQ(dialogs.questions, c.questions);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    EXPECT_TRUE(dialogs.saveFilters.isEmpty());  // no dialog in the unattended run
    EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 1);
    EXPECT_FALSE(form->analysis().batchMode);
    EXPECT_EQ(form->analysis().hasInteraction, c.interactionTrace);
    EXPECT_TRUE(form->isVisible());  // stays open

    UnattendedOptions options;
    options.dataPath = data.toStdString();
    options.factorsPath = factors.toStdString();
    options.factorMode = c.factorMode;
    options.interaction = c.interaction;
    const UnattendedResult expected = buildUnattendedReport(options);
    ASSERT_TRUE(expected.report) << expected.error->message;
    const QString report = dir.filePath(base + "_res.txt");
    EXPECT_EQ(expected.report->path, report.toStdString());
    EXPECT_EQ(fileBytes(report), QByteArray::fromStdString(expected.report->text));
  }
}

// The unattended run refuses a factors file that leaves a factor value to be made up, as the
// headless run does: no report, the reason on the status line (and standard error).
TEST_F(UnattendedWindow, NoReportCarriesAFactorValueThatNoFileGave) {
  const QString data = twoFactorTrace(3);
  const struct {
    const char* name;
    QByteArray text;
    QString mode;
    std::deque<bool> answers;
    QString reason;  // after the file's name
  } cases[] = {
      {"one factor line for two factors", "g[1]=1 2 3\n", "0", {},
       " line 1: no factor line gives G2: the file has 1 factor line and the factors of the analysis need 2; "
       "populations 1 to 3 have no G2 value"},
      {"random bytes", QByteArray("\x01\xff\x00zz\n", 6), "0", {},
       " line 1: no factor line gives G1: the file has 0 factor lines and the factors of the analysis need 2; "
       "populations 1 to 3 have no G1 value"},
      {"a word for population 2", "g[1]=1 x 3\ng[2]=4 5 6\n", "", {false},
       " line 1: G1 of population 2: \"x\" is not a number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form = std::make_unique<TForm3>(dialogs);
    dialogs.errors.clear();
    dialogs.messages.clear();
    dialogs.answers = c.answers;
    const QString factors = write("f.txt", c.text);
    QStringList args{data, factors};
    if (!c.mode.isEmpty()) args << c.mode;
    form->actOnCommandLine(args);
    idle();
    const QString said = "\"" + factors + "\"" + c.reason + "; no report was written.";
    EXPECT_EQ(dialogs.errors, QStringList{said});
    EXPECT_EQ(form->statusBar()->currentMessage(), said);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("\n").toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("lake_res.txt")));
  }
}

// Factor lines are taken in file order; names that say otherwise are warned about, and the report
// is that of the headless run.
TEST_F(UnattendedWindow, FactorLabelsOutOfOrderAreWarnedAbout) {
  const QString data = twoFactorTrace(2);
  const QString factors = write("f.txt", "g[2]=1 2\ng[1]=3 4\n");
  form->actOnCommandLine({data, factors, "0"});
  idle();
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(dialogs.messages, QStringList{"The factors file \"" + factors + "\" was read as it is, but:\n"
                                          "line 1: \"g[2]\" gives G1, not G2: factor lines are taken in file order\n"
                                          "line 2: \"g[1]\" gives G2, not G1: factor lines are taken in file order"});
  UnattendedOptions options;
  options.dataPath = data.toStdString();
  options.factorsPath = factors.toStdString();
  options.factorMode = 0;
  const UnattendedResult expected = buildUnattendedReport(options);
  ASSERT_TRUE(expected.report) << expected.error->message;
  EXPECT_EQ(expected.report->warnings.size(), 2u);
  EXPECT_EQ(fileBytes(dir.filePath("lake_res.txt")), QByteArray::fromStdString(expected.report->text));
}

// With --chain the window's report pools the chains as the headless run does, byte for byte.
TEST_F(UnattendedWindow, ChainsOfTheCommandLineArePooledInTheReport) {
  FstSpec spec;
  spec.rows = 200;
  spec.populations = 3;
  const QString data = writeTrace("lake.fst", spec);
  spec.rows = 150;
  spec.seed = 9;
  const QString chain = writeTrace("lake2.fst", spec);
  const QString factors = writeFactors("f.txt", spec);
  form->actOnCommandLine({data, factors, "0"}, {chain});
  idle();
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(form->analysis().chainCount(), 2);

  UnattendedOptions options;
  options.dataPath = data.toStdString();
  options.factorsPath = factors.toStdString();
  options.factorMode = 0;
  options.chainPaths = {chain.toStdString()};
  const UnattendedResult expected = buildUnattendedReport(options);
  ASSERT_TRUE(expected.report) << expected.error->message;
  EXPECT_EQ(fileBytes(dir.filePath("lake_res.txt")), QByteArray::fromStdString(expected.report->text));
  options.chainPaths.clear();
  EXPECT_NE(buildUnattendedReport(options).report->text, expected.report->text);
}

TEST_F(UnattendedWindow, ASecondRunReplacesTheReport) {
  FstSpec spec;
  spec.rows = 120;
  spec.populations = 3;
  const QString data = writeTrace("lake.fst", spec);
  const QString factors = writeFactors("f.txt", spec);
  const QString report = write("lake_res.txt", "an older report\n");
  form->actOnCommandLine({data, factors, "0"});
  idle();
  const QByteArray first = fileBytes(report);
  EXPECT_TRUE(first.startsWith("       Fst statistics:"));
  form = std::make_unique<TForm3>(dialogs);
  form->actOnCommandLine({data, factors, "0"});
  idle();
  EXPECT_EQ(fileBytes(report), first);
  EXPECT_TRUE(dialogs.questions.isEmpty());
  // nothing but the data, the factors and the report in the folder
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST_F(UnattendedWindow, TheReportIsWrittenEvenWhenTheUserTurnsToTheDetailsPageDuringTheLoad) {
  FstSpec spec;
  spec.rows = 100000;  // long enough for the reader to yield
  spec.populations = 2;
  const QString data = dir.filePath("lake.fst");
  writeFstFile(spec, data.toStdString());
  const QString factors = writeFactors("f.txt", spec);
  bool clicked = false;
  // the window is shown while it reads, and the reader lets the user act
  QTimer::singleShot(0, form.get(), [&] {
    clicked = form->jobs().busy(JobRunner::Lane::analysis);
    part<QTabWidget>(*form, "Pages")->setCurrentIndex(0);
  });
  form->actOnCommandLine({data, factors, "0"});
  idle();
  if (!clicked) GTEST_SKIP() << "the click did not come during the load";
  UnattendedOptions options;
  options.dataPath = data.toStdString();
  options.factorsPath = factors.toStdString();
  options.factorMode = 0;
  const UnattendedResult expected = buildUnattendedReport(options);
  ASSERT_TRUE(expected.report);
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(fileBytes(dir.filePath("lake_res.txt")), QByteArray::fromStdString(expected.report->text));
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 1);
}

}  // namespace
}  // namespace varno
