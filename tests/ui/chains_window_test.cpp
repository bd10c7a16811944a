// Several chains in the window: Add chain, the drop question, reload, and the pooled Summary page.
#include <QFile>
#include <QPlainTextEdit>
#include <QStatusBar>

#include <unistd.h>

#include "tests/trace_styles.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

const QString kEnvironment = "Did you include environmental factors ?";

int modelA(int row) { return row % 3 == 0 ? 2 : 4; }
int modelB(int row) { return row % 4 == 0 ? 1 : 3; }

struct ChainsWindow : WindowFixture {
  QString factors = write("factors.txt", "g[1]=0.1 0.5\ng[2]=12 15\n");
  QByteArray rowsA = fstRows(60, 2, 2, modelA);
  QByteArray rowsB = fstRows(45, 2, 2, modelB);
  QString a = write("a.fst", rowsA);
  QString b = write("b.fst", rowsB);

  void openWithFactors(const QString& path) {
    dialogs.files = {path, factors};
    dialogs.answers = {true, false};
    trigger(*form, "Open");
    idle();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  }
  void addChain(const QString& path) {
    dialogs.files = {path};
    trigger(*form, "addChain");
    idle();
  }
  QString memo() const { return part<QPlainTextEdit>(*form, "mModel")->toPlainText(); }
  QString status() const { return form->statusBar()->currentMessage(); }
};

// With no burn-in, two chains pool to what one file of both files' rows gives.
TEST_F(ChainsWindow, AddedChainPoolsTheSummaryAndTheStatusCountsEachChain) {
  openWithFactors(write("both.fst", rowsA + rowsB));
  showPage(*form, 1);
  idle();
  const QString memoOfBoth = memo();
  ASSERT_FALSE(memoOfBoth.isEmpty());

  openWithFactors(a);
  showPage(*form, 1);
  idle();
  const QString memoOfA = memo();
  addChain(b);
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(form->analysis().chainCount(), 2);
  EXPECT_EQ(status(), QString("2 chains: 60 + 45 rows \u00D7 9 columns"));
  EXPECT_EQ(part<QLabel>(*form, "retainedRows")->text(), QString("105 of 105 rows of 2 chains retained"));
  idle();
  EXPECT_EQ(memo(), memoOfBoth);
  EXPECT_NE(memo(), memoOfA);

  // opening a data file the usual way starts an analysis of one chain
  openWithFactors(a);
  EXPECT_EQ(form->analysis().chainCount(), 1);
}

TEST_F(ChainsWindow, AChainOfAnotherColumnCountOrKindIsRefusedAndTheAnalysisStays) {
  openWithFactors(a);
  const QString wide = write("wide.fst", fstRows(30, 3, 2, modelA));
  const QString other = write("b.txt", rowsB);
  // as many columns, but three populations and one factor: its model column holds coefficients
  const QString otherFactors = write("c.fst", fstRows(30, 3, 1, modelA));
  for (const auto& [path, says] :
       {std::pair{wide, QString("has 10 columns and the first chain")},
        std::pair{other, QString("is a .txt file and the first chain")},
        std::pair{otherFactors, QString("was the chain written with the factors of the first chain?")}}) {
    dialogs.errors.clear();
    addChain(path);
    ASSERT_EQ(dialogs.errors.size(), 1) << path.toStdString();
    EXPECT_TRUE(dialogs.errors[0].contains(says)) << dialogs.errors[0].toStdString();
    EXPECT_EQ(form->analysis().chainCount(), 1);
    EXPECT_EQ(form->analysis().dataFileName, a.toStdString());
  }
}

// One file is one chain: a file already in the analysis, under its own name or another, is
// refused with the chain it is, and the analysis keeps its chains.
TEST_F(ChainsWindow, AFileAlreadyInTheAnalysisIsNotAddedAgain) {
  openWithFactors(a);
  addChain(b);
  ASSERT_EQ(form->analysis().chainCount(), 2);
  const QString hardLink = dir.filePath("a_again.fst");
  ASSERT_EQ(::link(a.toLocal8Bit().constData(), hardLink.toLocal8Bit().constData()), 0);
  const QString otherSpelling = dir.path() + "/./b.fst";
  const QString twice = ": one file read as two chains would count its draws twice";
  for (const auto& [path, says] :
       {std::pair{a, "\"" + a + "\" is already chain 1 of the analysis" + twice},
        std::pair{hardLink, "\"" + hardLink + "\" is already chain 1 of the analysis (\"" + a + "\" under another name)" + twice},
        std::pair{otherSpelling, "\"" + otherSpelling + "\" is already chain 2 of the analysis (\"" + b + "\" under another name)" + twice}}) {
    dialogs.errors.clear();
    addChain(path);
    ASSERT_EQ(dialogs.errors.size(), 1) << path.toStdString();
    EXPECT_EQ(dialogs.errors[0], says);
    EXPECT_EQ(status(), "Not added: " + says);
    EXPECT_EQ(form->analysis().chainCount(), 2);
  }
}

// The chain files of a CODA index are chains already: naming one again is refused, and a chain
// file beside the index that is another's hard link does not open as a second chain.
TEST_F(ChainsWindow, AChainFileOfAnIndexIsNotAddedAgain) {
  const CodaRun coda;
  const QString index = write("CODAindex.txt", QByteArray::fromStdString(coda.index));
  const QString chain1 = write("CODAchain1.txt", QByteArray::fromStdString(coda.chain1));
  write("CODAchain2.txt", QByteArray::fromStdString(coda.chain2));
  dialogs.files = {index};
  trigger(*form, "Open");
  idle();
  ASSERT_EQ(form->analysis().chainCount(), 2);
  addChain(chain1);
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].startsWith("\"" + chain1 + "\" is already chain 1 of the analysis:"))
      << dialogs.errors[0].toStdString();
  EXPECT_EQ(form->analysis().chainCount(), 2);

  QFile::remove(dir.filePath("CODAchain2.txt"));
  ASSERT_EQ(::link(chain1.toLocal8Bit().constData(), dir.filePath("CODAchain2.txt").toLocal8Bit().constData()), 0);
  dialogs.errors.clear();
  dialogs.files = {index};
  trigger(*form, "Open");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].contains("CODAchain2.txt\" is already chain 1 of the analysis (\"" + chain1 +
                                         "\" under another name)"))
      << dialogs.errors[0].toStdString();
}

TEST_F(ChainsWindow, DroppingSeveralFilesAsksWhetherTheyAreChains) {
  for (const bool yes : {true, false}) {
    dialogs.questions.clear();
    dialogs.files = {factors};
    dialogs.answers = {yes, true, false};  // chains?, factors?, interaction?
    drop(*form, {a, b});
    idle();
    ASSERT_GE(dialogs.questions.size(), 2);
    EXPECT_EQ(dialogs.questions[0], "Open the 2 files as chains of one analysis?");
    EXPECT_EQ(dialogs.questions[1], kEnvironment);
    EXPECT_EQ(form->analysis().chainCount(), yes ? 2 : 1) << yes;
    EXPECT_EQ(form->analysis().factorCount, 2);
  }
}

TEST_F(ChainsWindow, ReloadReadsEveryChainAgain) {
  openWithFactors(a);
  addChain(b);
  ASSERT_EQ(form->analysis().chainCount(), 2);
  write("b.fst", fstRows(80, 2, 2, modelB));
  trigger(*form, "Refresh1");
  idle();
  ASSERT_EQ(form->analysis().chainCount(), 2);
  EXPECT_EQ(form->analysis().chains[1].table->rowCount(), 80);
  EXPECT_EQ(status(), QString("2 chains: 60 + 80 rows \u00D7 9 columns"));
}

}  // namespace
}  // namespace varno
