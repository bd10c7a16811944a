// What the window shows and saves describes the file, rows, filter and factors that are open:
// never the numbers of an earlier file, range or half-finished load.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <qcustomplot.h>

#include "report/unattended_run.h"
#include "tools/trace_generator.h"
#include "charts/interval_series.h"
#include "window_fixture.h"

namespace varno {
namespace {

using testing::WindowFixture;

const QString kExample = VARNO_SOURCE_DIR "/examples/lake.fst";
const QString kExampleFactors = VARNO_SOURCE_DIR "/examples/lake_factors.txt";

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct CurrentResults : WindowFixture {
  // Open data file with a factors file, two factors, no interaction.
  void openWithFactors(const QString& data, const QString& factors) {
    dialogs.files = {data, factors};
    dialogs.answers = {true, false};
    form->OpenClick();
    idle();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    ASSERT_TRUE(form->summaryIsCurrent());
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
    fresh.OpenClick();
    EXPECT_TRUE(testing::waitUntilIdle(fresh));
    return fresh.mModel->toPlainText();
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
  const QString memoOfA = form->mModel->toPlainText();
  form->selectPage(0);

  FstSpec spec;
  spec.rows = 400;
  spec.populations = 3;
  spec.factors = 0;
  const QString b = write("b.fst", QByteArray::fromStdString(fstText(spec)));
  dialogs.files = {b};
  dialogs.answers = {false};
  form->OpenClick();
  ASSERT_TRUE(form->isBusy());

  // while B is read: save, the Summary tab, the model choosers and another open are refused
  form->save_resClick();
  EXPECT_TRUE(dialogs.saveFilters.isEmpty());
  EXPECT_TRUE(form->statusText().contains("ignored")) << form->statusText().toStdString();
  form->Pages->setCurrentIndex(1);
  EXPECT_EQ(form->Pages->currentIndex(), 0);
  form->Model_only2->setCurrentIndex(2);
  form->Model_only2Change();
  EXPECT_EQ(form->state.modelFilter, 0);
  dialogs.openFilters.clear();
  form->OpenClick();
  EXPECT_TRUE(dialogs.openFilters.isEmpty());
  EXPECT_FALSE(form->Open->isEnabled());
  idle();

  EXPECT_TRUE(form->Open->isEnabled());
  EXPECT_EQ(form->state.dataFileName, b.toStdString());
  EXPECT_EQ(form->Pages->currentIndex(), 1);
  EXPECT_TRUE(form->summaryIsCurrent());
  EXPECT_EQ(form->mModel->toPlainText(), memoOfFreshWindow(b));
  EXPECT_NE(form->mModel->toPlainText(), memoOfA);
  EXPECT_EQ(form->hpdis->items().size(), 3u);
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

// Burn-in set on the Details page, then Save results: the report is that of the tool given the
// same burn-in, not counts of one range over the rows of another.
TEST_F(CurrentResults, TheReportGivesTheRowsChosenOnTheDetailsPage) {
  openWithFactors(kExample, kExampleFactors);
  form->selectPage(0);
  form->Cutin->setText("1500");
  idle();
  EXPECT_FALSE(form->summaryIsCurrent());
  EXPECT_TRUE(form->mModel->toPlainText().isEmpty());  // the page no longer shows all rows' summary
  EXPECT_EQ(form->retainedRowsText(), "rows 1,501\u20133,000 of 3,000 retained");
  const QString report = dir.filePath("r.txt");
  dialogs.files = {report};
  form->save_resClick();
  idle();
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(readAll(report).toStdString(), reportOf(kExample, kExampleFactors, 1500));
}

// The same file opened again without factors, and a reload after the file on disk lost columns:
// nothing of the earlier summary (a0, Sigma²) stays on the page or goes into a report.
TEST_F(CurrentResults, ASummaryIsNeverMadeOfTheResultsOfTheFileOpenedBefore) {
  const QString data = write("lake.fst", readAll(kExample));
  openWithFactors(data, kExampleFactors);
  const QString memo = form->mModel->toPlainText();

  // without factors its model column falls elsewhere: refused, and the page keeps its own summary
  dialogs.files = {data};
  dialogs.answers = {false};
  form->OpenClick();
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors.front().contains("without environmental factors")) << dialogs.errors.front().toStdString();
  EXPECT_TRUE(form->summaryIsCurrent());
  EXPECT_EQ(form->mModel->toPlainText(), memo);
  dialogs.errors.clear();

  // the file replaced by one of two populations, then reloaded
  FstSpec spec;
  spec.rows = 200;
  spec.populations = 2;
  write("lake.fst", QByteArray::fromStdString(fstText(spec)));
  form->Refresh1Click();
  idle();
  for (const QString& e : dialogs.errors) EXPECT_FALSE(e.contains("Not read")) << e.toStdString();
  EXPECT_EQ(form->state.populationCount, 2);
  EXPECT_TRUE(form->summaryIsCurrent());
  EXPECT_EQ(form->mModel->toPlainText(), memoOfFreshWindow(data, kExampleFactors));
  EXPECT_NE(form->mModel->toPlainText(), memo);
}

// A selection of fewer than two values empties the statistics box: the figures of the column
// shown before are not left standing under the new one.
TEST_F(CurrentResults, TheStatisticsBoxIsEmptiedWhenTheSelectionHasFewerThanTwoValues) {
  const std::initializer_list<QLineEdit*> box = {form->m, form->var_edit, form->min, form->max,
                                                 form->mode, form->HPDI, form->width, form->accuracy};
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
    ASSERT_EQ(form->m->text(), "3");
    form->actOnCommandLine({write(c.fileName, c.file)});
    idle();
    for (QLineEdit* e : box) EXPECT_TRUE(e->text().isEmpty()) << e->objectName().toStdString();
    EXPECT_EQ(form->Serie->data()->size(), form->state.sampleCount > 1 ? form->state.sampleCount : 0);
  }

  // a model filter that leaves one row: model 2 is visited once
  openWithFactors(write("m.fst", "0 0.09 -10 0.10 0.30 4 0.01 1.2 -0.4\n"
                                 "1 0.08 -11 0.20 0.35 4 0.02 1.3 -0.5\n"
                                 "2 0.07 -12 0.15 0.40 2 0.03 1.1 -0.6\n"),
                  write("m.txt", "g[1]=0.1 0.5\ng[2]=12 15\n"));
  form->selectPage(0);
  ASSERT_FALSE(form->m->text().isEmpty());
  form->Model_only2->setCurrentIndex(2);
  form->Model_only2Change();
  idle();
  ASSERT_EQ(form->state.sampleCount, 1);
  for (QLineEdit* e : box) EXPECT_TRUE(e->text().isEmpty()) << e->objectName().toStdString();
}

// With the keyboard focus in Burn-in, the menus' shortcuts work; the clipboard ones stay blocked.
TEST_F(CurrentResults, MenuShortcutsWorkWhileABurnEditHasTheFocus) {
  form->actOnCommandLine({write("t.ml", "1 2\n3 4\n5 6\n")});
  idle();
  form->show();
  QApplication::setActiveWindow(form.get());
  form->Cutin->setFocus();
  QApplication::clipboard()->setText("77");
  QTest::keyClick(form->Cutin, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form->Cutin->text(), "0");
  dialogs.files = {std::nullopt};
  QTest::keyClick(form->Cutin, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(dialogs.openFilters.size(), 1);
}

// The unattended run with a factors file that cannot be read writes no report and says why on
// standard error and in the status line.
TEST_F(CurrentResults, AnUnattendedRunWithAnUnreadableFactorsFileWritesNoReport) {
  const QString data = write("lake.fst", readAll(kExample));
  ::testing::internal::CaptureStderr();
  form->actOnCommandLine({data, dir.filePath("missing.txt"), "0"});
  idle();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(QFile::exists(dir.filePath("lake_res.txt")));
  EXPECT_NE(err.find("missing.txt"), std::string::npos) << err;
  EXPECT_TRUE(form->statusText().contains("no report was written")) << form->statusText().toStdString();
  EXPECT_FALSE(form->state.table);
}

// A file that ends early says so on standard error in the unattended run, and still gets its
// report of the rows read.
TEST_F(CurrentResults, AnUnattendedRunSaysOnStandardErrorWhereReadingStopped) {
  QByteArray text = readAll(kExample);
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
  const auto table = form->state.table;
  const QString memo = form->mModel->toPlainText();
  const QString caption = form->windowTitle();
  dialogs.files = {write("other.ml", "1 2\n3 4\n")};
  form->OpenClick();
  ASSERT_TRUE(form->isBusy());
  form->cancelJob();
  idle();
  EXPECT_EQ(form->state.table, table);
  EXPECT_EQ(form->windowTitle(), caption);
  EXPECT_EQ(form->state.dataFileName, kExample.toStdString());
  EXPECT_TRUE(form->summaryIsCurrent());
  EXPECT_EQ(form->mModel->toPlainText(), memo);
  EXPECT_TRUE(form->statusText().contains("cancelled")) << form->statusText().toStdString();
  EXPECT_TRUE(dialogs.errors.isEmpty());
}

}  // namespace
}  // namespace varno
