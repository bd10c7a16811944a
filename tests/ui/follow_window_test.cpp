// Options > "Follow files": a writer appends rows, half rows, a bad row, shrinks and replaces the
// files between rounds; after each round the window's tables are those a fresh read of the files'
// whole lines gives, the Details page keeps its settings, and what stops following stops it.
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>

#include <QPlainTextEdit>

#include <cstdio>
#include <utility>

#include "core/data_file_reader.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

// Rows "i x y" from row `from` on: numbers that differ from row to row and column to column.
QByteArray rows(int from, int count) {
  QByteArray text;
  for (int r = from; r < from + count; ++r)
    text += QByteArray::number(r) + " " + QByteArray::number(0.5 + 0.01 * (r % 13)) + " " +
            QByteArray::number(-3.25 + 0.1 * (r % 7)) + "\n";
  return text;
}

struct FollowWindow : WindowFixture {
  void append(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(bytes);
  }
  void open(const QString& path, const QStringList& chains = {}) {
    form->actOnCommandLine({path}, chains);
    idle();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  }
  void follow() {
    trigger(*form, "FollowFiles1");
    ASSERT_TRUE(following());
  }
  bool following() const { return part<QAction>(*form, "FollowFiles1")->isChecked(); }
  // one round, as the timer starts one, and the pages it recomputes
  void round() {
    form->followRound();
    idle();
  }
  QString status() const { return form->statusBar()->currentMessage(); }

  // Each chain's table holds what a fresh read of its file's whole lines gives, cell for cell.
  void expectTablesAsFiles() {
    const AnalysisState& state = form->analysis();
    for (std::size_t c = 0; c < state.chains.size(); ++c) {
      SCOPED_TRACE("chain " + std::to_string(c + 1));
      QByteArray bytes = fileBytes(QString::fromStdString(state.chains[c].fileName));
      bytes.truncate(bytes.lastIndexOf('\n') + 1);  // a half row waits for its line end
      const QString whole = write("whole.txt", bytes);
      const DataFileReadResult fresh = readDataFile(whole.toStdString());
      ASSERT_TRUE(fresh.table) << fresh.error;
      const SampleTable& shown = *state.chains[c].table;
      ASSERT_EQ(shown.rowCount(), fresh.table->rowCount());
      ASSERT_EQ(shown.columnCount(), fresh.table->columnCount());
      for (int col = 0; col < shown.columnCount(); ++col)
        for (int r = 0; r < shown.rowCount(); ++r)
          ASSERT_EQ(shown.value(col, r), fresh.table->value(col, r)) << "column " << col << ", row " << r;
    }
  }
};

// Whole rows and half rows, appended to one chain and to two, are taken in as a fresh read of the
// whole lines gives them; a half row waits for its line end.
TEST_F(FollowWindow, AppendedRowsAndHalfRowsAreTakenInAsAFreshReadGivesThem) {
  struct Step {
    const char* name;
    QByteArray toFirst, toSecond;  // appended before the round
    long long rows;                // every chain's rows after it
  };
  const QString first = write("a.txt", rows(0, 40));
  const QString second = write("b.txt", rows(0, 30));
  const QByteArray half = rows(40, 1);
  const Step steps[] = {
      {"nothing new", "", "", 70},
      {"whole rows to one chain", rows(40, 12), "", 82},
      {"whole rows to both", rows(52, 3), rows(30, 8), 93},
      {"a half row waits", rows(55, 2) + half.left(4), "", 95},
      {"its line end comes", half.mid(4), rows(38, 1).left(3), 96},
      {"the other half row ends, with a row after it", "", rows(38, 1).mid(3) + rows(39, 1), 98},
  };
  open(first, {second});
  follow();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    append(first, step.toFirst);
    append(second, step.toSecond);
    round();
    expectTablesAsFiles();
    EXPECT_EQ(form->analysis().firstTable()->rowCount() + form->analysis().chains[1].table->rowCount(), step.rows);
    EXPECT_TRUE(status().startsWith(QString("following 2 chains: %1 rows, +").arg(step.rows))) << status().toStdString();
  }
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_TRUE(following());
}

// The Details page keeps its column, plot type, level and burn-in rows, its figures describe the
// rows they were computed on, and the page shown stays.
TEST_F(FollowWindow, DetailsPageKeepsItsSettingsAndSaysItsRows) {
  const QString path = write("a.txt", rows(0, 100));
  open(path);
  choose(part<QComboBox>(*form, "xi"), 1);
  part<QRadioButton>(*form, "histo")->click();
  part<QLineEdit>(*form, "Cpc2")->setText("90");
  part<QLineEdit>(*form, "Cutin")->setText("20");
  idle();
  EXPECT_EQ(part<QGroupBox>(*form, "Stats")->title(), QString(" Statistics of rows 21\u2013100: "));
  const int burnInBar = part<QSlider>(*form, "Tburnin")->value();
  follow();
  append(path, rows(100, 300));
  round();
  expectTablesAsFiles();
  EXPECT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 0);
  EXPECT_EQ(part<QComboBox>(*form, "xi")->currentIndex(), 1);
  EXPECT_TRUE(part<QRadioButton>(*form, "histo")->isChecked());
  EXPECT_EQ(part<QLineEdit>(*form, "Cpc2")->text(), "90");
  EXPECT_EQ(part<QLineEdit>(*form, "Cutin")->text(), "20") << "the burn-in keeps its rows";
  EXPECT_EQ(part<QLineEdit>(*form, "Cutout")->text(), "0");
  EXPECT_LT(part<QSlider>(*form, "Tburnin")->value(), burnInBar) << "the same rows are a smaller share now";
  EXPECT_EQ(part<QGroupBox>(*form, "Stats")->title(), QString(" Statistics of rows 21\u2013400: "));
  EXPECT_EQ(part<QLabel>(*form, "retainedRows")->text(), QString("rows 21\u2013400 of 400 retained"));
}

// The Diagnostics page shown is recomputed with the new rows and says which rows it describes.
TEST_F(FollowWindow, DiagnosticsPageSaysTheRowsOfItsResults) {
  const QString path = write("a.txt", rows(0, 200));
  open(path);
  showPage(*form, 2);
  idle();
  EXPECT_EQ(part<QLabel>(*form, "diagnosticsRows")->text(), QString("diagnostics of rows 1\u2013200"));
  follow();
  append(path, rows(200, 50));
  round();
  EXPECT_EQ(part<QLabel>(*form, "diagnosticsRows")->text(), QString("diagnostics of rows 1\u2013250"));
}

// A file that shrank, or was replaced by another, is read anew as Reload reads it, and following
// goes on with it.
TEST_F(FollowWindow, ShrunkOrReplacedFileIsReadAnewAndFollowingGoesOn) {
  struct Case {
    const char* name;
    bool replace;  // a new file moved over the old one; otherwise the old one cut short
  } cases[] = {{"shrunk", false}, {"replaced", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = write(QString("%1.txt").arg(c.name), rows(0, 80));
    open(path);
    follow();
    append(path, rows(80, 20));
    round();
    ASSERT_EQ(form->analysis().firstTable()->rowCount(), 100);
    if (c.replace) {
      const QString other = write("other.txt", rows(500, 90));
      ASSERT_EQ(std::rename(other.toLocal8Bit().constData(), path.toLocal8Bit().constData()), 0);
    } else {
      QFile f(path);
      ASSERT_TRUE(f.resize(fileBytes(path).indexOf(rows(50, 1))));  // the first 50 rows stay
    }
    round();
    expectTablesAsFiles();
    EXPECT_EQ(form->analysis().firstTable()->rowCount(), c.replace ? 90 : 50);
    EXPECT_TRUE(following());
    append(path, rows(1000, 5));
    round();
    expectTablesAsFiles();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    trigger(*form, "FollowFiles1");  // unchecked before the next case opens its file
  }
}

// A bad row stops following its file once a row follows it and the next round finds it again: the
// rows before it are taken in, the message names the file and line, the other chain goes on, and
// following ends when no chain is left.
TEST_F(FollowWindow, ConfirmedBadRowStopsItsChainWithTheMessage) {
  const QString first = write("a.txt", rows(0, 40));
  const QString second = write("b.txt", rows(0, 40));
  open(first, {second});
  follow();
  append(first, rows(40, 2) + "42 0.5 x\n");
  round();
  EXPECT_EQ(form->analysis().firstTable()->rowCount(), 42) << "the rows before it are taken in";
  EXPECT_TRUE(dialogs.errors.isEmpty()) << "a bad last row may still be being written";
  append(first, rows(43, 1));
  round();
  EXPECT_TRUE(dialogs.errors.isEmpty()) << "found once: not yet confirmed";
  round();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].contains("a.txt")) << dialogs.errors[0].toStdString();
  EXPECT_TRUE(dialogs.errors[0].contains("43")) << "the line: " << dialogs.errors[0].toStdString();
  EXPECT_TRUE(status().startsWith("following 1 chain: ")) << status().toStdString();
  EXPECT_TRUE(status().contains(dialogs.errors[0])) << status().toStdString();
  EXPECT_TRUE(following());

  append(second, rows(40, 5));
  round();
  EXPECT_EQ(form->analysis().chains[1].table->rowCount(), 45) << "the other chain goes on";
  EXPECT_EQ(form->analysis().firstTable()->rowCount(), 42);

  append(second, "45 y 1\n" + rows(46, 1));
  round();
  round();
  EXPECT_EQ(dialogs.errors.size(), 2);
  EXPECT_FALSE(following()) << "no chain is left to follow";
}

// Unchecking and Reload stop following, and a round that was running when it stopped takes
// nothing in.
TEST_F(FollowWindow, StoppingDropsWhatARoundBringsAfterIt) {
  const QString path = write("a.txt", rows(0, 60));
  open(path);
  struct Case {
    const char* name;
    const char* command;
    bool reads;  // the command reads the file as it is
  } cases[] = {{"unchecked", "FollowFiles1", false}, {"reloaded", "Refresh1", true}};
  int next = 60;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    follow();
    const int before = form->analysis().firstTable()->rowCount();
    append(path, rows(next, 10));
    next += 10;
    form->followRound();  // the round runs while following stops
    trigger(*form, c.command);
    EXPECT_FALSE(following());
    idle();
    const int after = form->analysis().firstTable()->rowCount();
    EXPECT_EQ(after, c.reads ? before + 10 : before);
    append(path, rows(next, 10));
    next += 10;
    round();
    EXPECT_EQ(form->analysis().firstTable()->rowCount(), after) << "no round while not following";
    // what was appended meanwhile comes with the first round once following again
    follow();
    round();
    expectTablesAsFiles();
    EXPECT_EQ(form->analysis().firstTable()->rowCount(), next);
    trigger(*form, "FollowFiles1");
  }
}

// A CODA set is written name by name: a change of its chain file reads the set anew, and
// following goes on.
TEST_F(FollowWindow, ChangedCodaSetIsReadAnew) {
  const auto coda = [](int draws) {
    QByteArray index = "alpha 1 " + QByteArray::number(draws) + "\nbeta " + QByteArray::number(draws + 1) + " " +
                       QByteArray::number(2 * draws) + "\n";
    QByteArray chain;
    for (int v = 0; v < 2; ++v)
      for (int i = 1; i <= draws; ++i)
        chain += QByteArray::number(i) + " " + QByteArray::number(v + 0.001 * (i % 17)) + "\n";
    return std::pair{index, chain};
  };
  const auto [index, chain] = coda(300);
  const QString indexPath = write("CODAindex.txt", index);
  write("CODAchain1.txt", chain);
  open(indexPath);
  follow();
  round();
  EXPECT_EQ(form->analysis().firstTable()->rowCount(), 300) << "nothing changed";
  const auto [longerIndex, longerChain] = coda(450);
  write("CODAchain1.txt", longerChain);
  write("CODAindex.txt", longerIndex);
  round();
  EXPECT_EQ(form->analysis().firstTable()->rowCount(), 450);
  EXPECT_TRUE(following());
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

// An fst file with its factors: the Summary page shown is computed again with the new rows and
// says which rows it describes.
TEST_F(FollowWindow, SummaryPageOfAnFstFileFollowsItsRows) {
  const auto model = [](int row) { return row % 3 == 0 ? 2 : 4; };
  const QString factors = write("factors.txt", "g[1]=0.1 0.5\ng[2]=12 15\n");
  const QString path = write("a.fst", fstRows(60, 2, 2, model));
  dialogs.files = {path, factors};
  dialogs.answers = {true, false};
  trigger(*form, "Open");
  idle();
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  showPage(*form, 1);
  idle();
  EXPECT_EQ(part<QLabel>(*form, "summaryRows")->text(), QString("summary of rows 1\u201360"));
  const QString memo = part<QPlainTextEdit>(*form, "mModel")->toPlainText();
  follow();
  append(path, fstRows(90, 2, 2, [](int row) { return row % 2 == 0 ? 1 : 3; }));
  round();
  EXPECT_EQ(form->analysis().firstTable()->rowCount(), 150);
  EXPECT_EQ(part<QLabel>(*form, "summaryRows")->text(), QString("summary of rows 1\u2013150"));
  EXPECT_NE(part<QPlainTextEdit>(*form, "mModel")->toPlainText(), memo) << "the models of the new rows count";
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

// --follow checks Follow files once the data file and its chains are open.
TEST_F(FollowWindow, CommandLineFollowStartsOnceEveryChainIsOpen) {
  const QString first = write("a.txt", rows(0, 40));
  const QString second = write("b.txt", rows(0, 30));
  form->followOnceOpen();
  open(first, {second});
  EXPECT_TRUE(following());
  EXPECT_EQ(form->analysis().chainCount(), 2);
  append(second, rows(30, 4));
  round();
  expectTablesAsFiles();
  EXPECT_TRUE(status().startsWith("following 2 chains: 74 rows, +")) << status().toStdString();
}

}  // namespace
}  // namespace varno
