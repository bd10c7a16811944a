// "Save results as...": when it is refused, the save dialog, and failures that must not hurt.
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include "tools/trace_generator.h"
#include "ui/file_dialog_spec.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

struct SaveResults : WindowFixture {
  QString data, factors, batchReport;

  // The unattended run on a small generated trace: the window keeps the analysis open.
  void openAnalysis() {
    FstSpec spec;
    spec.rows = 150;
    spec.populations = 3;
    data = writeTrace("lake.fst", spec);
    factors = writeFactors("factors.txt", spec);
    form->actOnCommandLine({data, factors, "0"});
    idle();
    batchReport = dir.filePath("lake_res.txt");
    ASSERT_TRUE(QFile::exists(batchReport));
  }

  QStringList files() const {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
  }
};

TEST_F(SaveResults, IsRefusedWithoutAnFstAnalysisAndComputesAMissingSummaryFirst) {
  // nothing open
  trigger(*form, "save_res");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors.back().contains("open an .fst file"));

  // an fst file reloaded while the Details page shows has no summary of its own yet: the report
  // computes it first and gives what the batch report of the same file gives
  openAnalysis();
  const QByteArray batch = fileBytes(batchReport);
  showPage(*form, 0);
  trigger(*form, "Refresh1");
  idle();
  ASSERT_FALSE(summaryShown(*form));
  dialogs.files = {dir.filePath("r.txt")};
  trigger(*form, "save_res");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(fileBytes(dir.filePath("r.txt")), batch);
  QFile::remove(dir.filePath("r.txt"));
  dialogs.saveFilters.clear();

  // a table of plain columns
  form->actOnCommandLine({write("t.ml", "1 2\n3 4\n5 6\n")});
  idle();
  trigger(*form, "save_res");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 2);
  EXPECT_TRUE(dialogs.errors.back().contains("open an .fst file"));

  EXPECT_TRUE(dialogs.saveFilters.isEmpty());  // no dialog was shown
  EXPECT_EQ(files().size(), 4);                // t.ml, lake.fst, factors.txt, lake_res.txt
}

TEST_F(SaveResults, AnEmptiedBurnInIsRefusedBeforeTheDialog) {
  openAnalysis();
  const QStringList before = files();
  part<QLineEdit>(*form, "Cutin")->setText("");
  dialogs.files = {dir.filePath("r.txt")};
  trigger(*form, "save_res");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors.front().contains("burn-in")) << dialogs.errors.front().toStdString();
  EXPECT_TRUE(dialogs.saveFilters.isEmpty());
  EXPECT_EQ(files(), before);
}

TEST_F(SaveResults, TheDialogWritesTheSameReportAsTheUnattendedRun) {
  openAnalysis();
  const QString chosen = dir.filePath("copy");
  dialogs.files = {chosen};
  trigger(*form, "save_res");
  idle();
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(dialogs.saveFilters, QStringList{"Text file |*.txt"});
  EXPECT_EQ(dialogs.saveExtensions, QStringList{".txt"});
  EXPECT_EQ(part<FileDialogSpec>(*form, "SaveDialog")->lastFileName, chosen);
  EXPECT_EQ(fileBytes(chosen + ".txt"), fileBytes(batchReport));

  // cancelled: nothing is written
  const QStringList before = files();
  dialogs.files = {std::nullopt};
  trigger(*form, "save_res");
  idle();
  EXPECT_EQ(files(), before);
  EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(SaveResults, AnUnwritablePathIsNamedAndTheExistingReportKept) {
  openAnalysis();
  const QByteArray report = fileBytes(batchReport);
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
  const QString badPaths[] = {dir.filePath("missing/r.txt"), dir.filePath("folder.txt"),
                              batchReport + "/r.txt"};
  for (const QString& bad : badPaths) {
    SCOPED_TRACE(bad.toStdString());
    dialogs.errors.clear();
    const QStringList before = files();
    dialogs.files = {bad};
    trigger(*form, "save_res");
    idle();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.front().contains(bad)) << dialogs.errors.front().toStdString();
    EXPECT_EQ(files(), before);  // no partial or temporary file left behind
    EXPECT_EQ(fileBytes(batchReport), report);
  }
}

// The data and factors files under any name: refused by name, not one byte changed.
TEST_F(SaveResults, TheFilesOfTheAnalysisAreNeverTheTarget) {
  openAnalysis();
  const QByteArray dataBytes = fileBytes(data), factorsBytes = fileBytes(factors);
  ASSERT_TRUE(QFile::link(data, dir.filePath("link.txt")));
  ASSERT_EQ(::link(factors.toLocal8Bit().constData(), dir.filePath("hard.txt").toLocal8Bit().constData()), 0);
  const struct {
    QString target;
    QString piece;
  } cases[] = {
      {data, "\"" + data + "\" is the data file of the analysis"},
      {factors, "is the factors file of the analysis"},
      {dir.path() + "/./lake.fst", "is the data file of the analysis (\"" + data + "\" under another name)"},
      {dir.filePath("link.txt"), "is the data file"},
      {dir.filePath("hard.txt"), "is the factors file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target.toStdString());
    dialogs.errors.clear();
    const QStringList before = files();
    dialogs.files = {c.target};
    trigger(*form, "save_res");
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.front().startsWith("The results were not saved: "));
    EXPECT_TRUE(dialogs.errors.front().contains(c.piece)) << dialogs.errors.front().toStdString();
    EXPECT_EQ(fileBytes(data), dataBytes);
    EXPECT_EQ(fileBytes(factors), factorsBytes);
    EXPECT_EQ(files(), before);
  }
  EXPECT_TRUE(QFileInfo(dir.filePath("link.txt")).isSymLink());
}

}  // namespace
}  // namespace varno
