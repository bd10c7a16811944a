// What the window shows and saves describes the file, rows, filter and factors that are open:
// never the numbers of an earlier file, range or half-finished load.
#include <qcustomplot.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

#include "charts/interval_series.h"
#include "report/unattended_run.h"
#include "tools/trace_generator.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

const QString kExample = VARNO_SOURCE_DIR "/examples/lake.fst";
const QString kExampleFactors = VARNO_SOURCE_DIR "/examples/lake_factors.txt";

struct CurrentResults : WindowFixture {
  // Open data file with a factors file, two factors, no interaction.
  void openWithFactors(const QString& data, const QString& factors) {
    dialogs.files = {data, factors};
    dialogs.answers = {true, false};
    trigger(*form, "Open");
    idle();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    ASSERT_TRUE(summaryShown(*form));
  }
  // What the Summary page shows of a file opened in a window of its own, with the factors file
  // (two factors, no interaction) or without factors.
  QString memoOfFreshWindow(const QString& data, const QString& factors = {}) {
    testing::ScriptedDialogs d;
    TForm3 fresh(d);
    d.files = {data};
    d.answers = {false};
    if (!factors.isEmpty()) {
      d.files.push_back(factors);
      d.answers = {true, false};
    }
    trigger(fresh, "Open");
    EXPECT_TRUE(testing::waitUntilIdle(fresh));
    return part<QPlainTextEdit>(fresh, "mModel")->toPlainText();
  }
  std::string reportOf(const QString& data, const QString& factors, long long burnIn) {
    UnattendedOptions options;
    options.dataPath = data.toStdString();
    options.factorsPath = factors.toStdString();
    options.factorMode = 0;
    options.burnIn = burnIn;
    const UnattendedResult r = buildUnattendedReport(options);
    EXPECT_TRUE(r.report) << (r.error ? r.error->message : "");
    return r.report ? r.report->text : std::string();
  }
};

// Open A with factors, then Open B answering No: while B is read, nothing may read the analysis;
// once it is read, the Summary page and the report are B's.
TEST_F(CurrentResults, CommandsWaitForALoadAndTheSummaryAfterItDescribesTheNewFile) {
  openWithFactors(kExample, kExampleFactors);
  const QString memoOfA = part<QPlainTextEdit>(*form, "mModel")->toPlainText();
  showPage(*form, 0);

  FstSpec spec;
  spec.rows = 400;
  spec.populations = 3;
  spec.factors = 0;
  const QString b = writeTrace("b.fst", spec);
  dialogs.files = {b};
  dialogs.answers = {false};
  trigger(*form, "Open");
  ASSERT_TRUE(form->jobs().busy(JobRunner::Lane::analysis));

  // while B is read: save, the Summary tab, the model choosers and another open are refused
  EXPECT_FALSE(part<QAction>(*form, "save_res")->isEnabled());
  trigger(*form, "save_res");
  EXPECT_TRUE(dialogs.saveFilters.isEmpty());
  part<QTabWidget>(*form, "Pages")->setCurrentIndex(1);
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 0);
  choose(part<QComboBox>(*form, "Model_only2"), 2);
  EXPECT_EQ(form->analysis().modelFilter, 0);
  dialogs.openFilters.clear();
  trigger(*form, "Open");
  EXPECT_TRUE(dialogs.openFilters.isEmpty());
  EXPECT_FALSE(part<QAction>(*form, "Open")->isEnabled());
  idle();

  EXPECT_TRUE(part<QAction>(*form, "Open")->isEnabled());
  EXPECT_EQ(form->analysis().dataFileName, b.toStdString());
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 1);
  EXPECT_TRUE(summaryShown(*form));
  EXPECT_EQ(part<QPlainTextEdit>(*form, "mModel")->toPlainText(), memoOfFreshWindow(b));
  EXPECT_NE(part<QPlainTextEdit>(*form, "mModel")->toPlainText(), memoOfA);
  EXPECT_EQ(part<IntervalSeries>(*form, "hpdis")->items().size(), 3u);
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

// Burn-in set on the Details page, then Save results: the report is that of the tool given the
// same burn-in, not counts of one range over the rows of another.
TEST_F(CurrentResults, TheReportGivesTheRowsChosenOnTheDetailsPage) {
  openWithFactors(kExample, kExampleFactors);
  showPage(*form, 0);
  part<QLineEdit>(*form, "Cutin")->setText("1500");
  idle();
  EXPECT_FALSE(summaryShown(*form));
  EXPECT_TRUE(part<QPlainTextEdit>(*form, "mModel")
                  ->toPlainText()
                  .isEmpty());  // the page no longer shows all rows' summary
  EXPECT_EQ(part<QLabel>(*form, "retainedRows")->text(), "rows 1,501\u20133,000 of 3,000 retained");
  const QString report = dir.filePath("r.txt");
  dialogs.files = {report};
  trigger(*form, "save_res");
  idle();
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(fileBytes(report).toStdString(), reportOf(kExample, kExampleFactors, 1500));
}

// The same file opened again without factors, and a reload after the file on disk lost columns:
// nothing of the earlier summary (a0, Sigma²) stays on the page or goes into a report.
TEST_F(CurrentResults, ASummaryIsNeverMadeOfTheResultsOfTheFileOpenedBefore) {
  const QString data = write("lake.fst", fileBytes(kExample));
  openWithFactors(data, kExampleFactors);
  const QString memo = part<QPlainTextEdit>(*form, "mModel")->toPlainText();

  // without factors its model column falls elsewhere: refused, and the page keeps its own summary
  dialogs.files = {data};
  dialogs.answers = {false};
  trigger(*form, "Open");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors.front().contains("without environmental factors")) << dialogs.errors.front().toStdString();
  EXPECT_TRUE(summaryShown(*form));
  EXPECT_EQ(part<QPlainTextEdit>(*form, "mModel")->toPlainText(), memo);
  dialogs.errors.clear();

  // the file replaced by one of two populations, then reloaded
  FstSpec spec;
  spec.rows = 200;
  spec.populations = 2;
  writeTrace("lake.fst", spec);
  trigger(*form, "Refresh1");
  idle();
  for (const QString& e : dialogs.errors) EXPECT_FALSE(e.contains("Not read")) << e.toStdString();
  EXPECT_EQ(form->analysis().populationCount, 2);
  EXPECT_TRUE(summaryShown(*form));
  EXPECT_EQ(part<QPlainTextEdit>(*form, "mModel")->toPlainText(),
            memoOfFreshWindow(data, kExampleFactors));
  EXPECT_NE(part<QPlainTextEdit>(*form, "mModel")->toPlainText(), memo);
}

// A selection of fewer than two values empties the statistics box: the figures of the column
// shown before are not left standing under the new one.
TEST_F(CurrentResults, TheStatisticsBoxIsEmptiedWhenTheSelectionHasFewerThanTwoValues) {
  const std::initializer_list<QLineEdit*> box = {
      part<QLineEdit>(*form, "m"),     part<QLineEdit>(*form, "var_edit"),
      part<QLineEdit>(*form, "min"),   part<QLineEdit>(*form, "max"),
      part<QLineEdit>(*form, "mode"),  part<QLineEdit>(*form, "HPDI"),
      part<QLineEdit>(*form, "width"), part<QLineEdit>(*form, "accuracy")};
  const struct {
    const char* name;
    QByteArray file;
    const char* fileName;
  } cases[] = {
      {"one row", "5 6\n", "one.ml"},
      {"a locus without alleles", "0 0 2 0.4 0.6\n1 0 2 0.5 0.5\n", "empty_locus.frq"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form->actOnCommandLine({write("full.ml", "1 2\n3 4\n5 6\n")});
    idle();
    ASSERT_EQ(part<QLineEdit>(*form, "m")->text(), "3");
    form->actOnCommandLine({write(c.fileName, c.file)});
    idle();
    for (QLineEdit* e : box) EXPECT_TRUE(e->text().isEmpty()) << e->objectName().toStdString();
    EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(),
              form->analysis().sampleCount > 1 ? form->analysis().sampleCount : 0);
  }

  // a model filter that leaves one row: model 2 is visited once
  openWithFactors(write("m.fst", "0 0.09 -10 0.10 0.30 4 0.01 1.2 -0.4\n"
                                 "1 0.08 -11 0.20 0.35 4 0.02 1.3 -0.5\n"
                                 "2 0.07 -12 0.15 0.40 2 0.03 1.1 -0.6\n"),
                  write("m.txt", "g[1]=0.1 0.5\ng[2]=12 15\n"));
  showPage(*form, 0);
  ASSERT_FALSE(part<QLineEdit>(*form, "m")->text().isEmpty());
  choose(part<QComboBox>(*form, "Model_only2"), 2);
  idle();
  ASSERT_EQ(form->analysis().sampleCount, 1);
  for (QLineEdit* e : box) EXPECT_TRUE(e->text().isEmpty()) << e->objectName().toStdString();
}

// With the keyboard focus in Burn-in, the menus' shortcuts work; the clipboard ones stay blocked.
TEST_F(CurrentResults, MenuShortcutsWorkWhileABurnEditHasTheFocus) {
  form->actOnCommandLine({write("t.ml", "1 2\n3 4\n5 6\n")});
  idle();
  form->show();
  QApplication::setActiveWindow(form.get());
  part<QLineEdit>(*form, "Cutin")->setFocus();
  QApplication::clipboard()->setText("77");
  QTest::keyClick(part<QLineEdit>(*form, "Cutin"), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(part<QLineEdit>(*form, "Cutin")->text(), "0");
  dialogs.files = {std::nullopt};
  QTest::keyClick(part<QLineEdit>(*form, "Cutin"), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(dialogs.openFilters.size(), 1);
}

// The unattended run with a factors file that cannot be read writes no report and says why on
// standard error and in the status line.
TEST_F(CurrentResults, AnUnattendedRunWithAnUnreadableFactorsFileWritesNoReport) {
  const QString data = write("lake.fst", fileBytes(kExample));
  ::testing::internal::CaptureStderr();
  form->actOnCommandLine({data, dir.filePath("missing.txt"), "0"});
  idle();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(QFile::exists(dir.filePath("lake_res.txt")));
  EXPECT_NE(err.find("missing.txt"), std::string::npos) << err;
  EXPECT_TRUE(form->statusBar()->currentMessage().contains("no report was written"))
      << form->statusBar()->currentMessage().toStdString();
  EXPECT_FALSE(form->analysis().open());
}

// A file that ends early says so on standard error in the unattended run, and still gets its
// report of the rows read.
TEST_F(CurrentResults, AnUnattendedRunSaysOnStandardErrorWhereReadingStopped) {
  QByteArray text = fileBytes(kExample);
  text += "1 2 three\n";
  const QString data = write("lake.fst", text);
  ::testing::internal::CaptureStderr();
  form->actOnCommandLine({data, kExampleFactors, "0"});
  idle();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("reading stopped at line 3,001"), std::string::npos) << err;
  EXPECT_TRUE(QFile::exists(dir.filePath("lake_res.txt")));
}

// Cancel stops a load and leaves the analysis open before as it was.
TEST_F(CurrentResults, ACancelledLoadLeavesTheOpenAnalysis) {
  openWithFactors(kExample, kExampleFactors);
  const auto table = form->analysis().firstTable();
  const QString memo = part<QPlainTextEdit>(*form, "mModel")->toPlainText();
  const QString caption = form->windowTitle();
  dialogs.files = {write("other.ml", "1 2\n3 4\n")};
  trigger(*form, "Open");
  ASSERT_TRUE(form->jobs().busy(JobRunner::Lane::analysis));
  part<QPushButton>(*form, "cancelJob")->click();
  idle();
  EXPECT_EQ(form->analysis().firstTable(), table);
  EXPECT_EQ(form->windowTitle(), caption);
  EXPECT_EQ(form->analysis().dataFileName, kExample.toStdString());
  EXPECT_TRUE(summaryShown(*form));
  EXPECT_EQ(part<QPlainTextEdit>(*form, "mModel")->toPlainText(), memo);
  EXPECT_TRUE(form->statusBar()->currentMessage().contains("cancelled"))
      << form->statusBar()->currentMessage().toStdString();
  EXPECT_TRUE(dialogs.errors.isEmpty());
}

}  // namespace
}  // namespace varno
