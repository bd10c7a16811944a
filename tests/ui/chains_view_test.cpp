// The Summary page's Chains view and File > "Export retained draws...": computed in the
// background over the rows, filter and chains shown, written through the scripted save dialog.
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

#include "stats/chain_comparison.h"
#include "stats/number_format.h"
#include "tools/trace_generator.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

struct ChainsView : WindowFixture {
  FstSpec spec;
  QString data;

  void openWithFactors() {
    spec.rows = 400;
    spec.populations = 3;
    spec.factors = 2;
    spec.seed = 5;
    data = dir.filePath("lake.fst");
    writeFstFile(spec, data.toStdString());
    form->actOnCommandLine({data, writeFactors("lake.txt", spec), "0"});
    idle();
  }
  QTableWidget& table() { return *part<QTableWidget>(*form, "chainsTable"); }

  // The table shows the comparison of the open chains over these rows and this model filter.
  void expectTableOf(long long burnIn, int modelFilter) {
    const AnalysisState& a = form->analysis();
    const TableLayout layout{FileKind::fst, a.populationCount, a.factorCount, a.hasInteraction};
    const ChainComparison expected = compareChains(retainedChainRows(a.chainTables(), burnIn, 0), layout, modelFilter);
    ASSERT_EQ(table().rowCount(), static_cast<int>(expected.rows.size()));
    ASSERT_EQ(table().columnCount(), 4);
    for (int r = 0; r < table().rowCount(); ++r) {
      const ChainComparisonRow& row = expected.rows[static_cast<std::size_t>(r)];
      EXPECT_EQ(table().item(r, 0)->text().toStdString(), row.name);
      const std::optional<double> values[] = {row.chains[0], row.pooled, row.rhat};
      for (int c = 0; c < 3; ++c) {
        const QString text = values[c] ? QString::fromStdString(generalFormat(*values[c], 4)) : "NA";
        EXPECT_EQ(table().item(r, c + 1)->text(), text) << row.name << " column " << c + 1;
      }
      EXPECT_EQ(table().item(r, 0)->data(Qt::UserRole).toBool(), row.disagrees) << row.name;
    }
  }
};

TEST_F(ChainsView, ShowsTheChainsOfTheRowsAndModelShownAndFollowsThem) {
  openWithFactors();
  ASSERT_EQ(part<QTabWidget>(*form, "Pages")->currentIndex(), 1);
  EXPECT_FALSE(table().isVisible());

  part<QPushButton>(*form, "chainsView")->click();
  idle();
  EXPECT_TRUE(part<QPushButton>(*form, "chainsView")->isChecked());
  ASSERT_NO_FATAL_FAILURE(expectTableOf(0, 0));
  QStringList header;
  for (int c = 0; c < table().columnCount(); ++c) header << table().horizontalHeaderItem(c)->text();
  EXPECT_EQ(header, QStringList({"Quantity", "Chain 1", "Pooled", "R-hat"}));
  EXPECT_EQ(table().horizontalHeaderItem(1)->toolTip(), data);
  EXPECT_TRUE(part<QLabel>(*form, "chainsNote")->text().startsWith("One chain"));

  // a new data range recomputes the summary, and the view once the summary has the lane no more
  part<QLineEdit>(*form, "Cutin")->setText("100");
  idle();
  ASSERT_NO_FATAL_FAILURE(expectTableOf(100, 0));
  choose(part<QComboBox>(*form, "Model_only"), 2);
  idle();
  ASSERT_NO_FATAL_FAILURE(expectTableOf(100, 2));
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();

  part<QPushButton>(*form, "chainsView")->click();
  EXPECT_FALSE(table().isVisible());
}

TEST_F(ChainsView, ExportWritesTheRetainedDrawsOfTheModelAndNeverOverAnInput) {
  trigger(*form, "exportDraws");
  EXPECT_EQ(dialogs.errors, QStringList({"There are no draws to export: open a data file first."}));
  dialogs.errors.clear();

  openWithFactors();
  part<QLineEdit>(*form, "Cutin")->setText("50");
  idle();  // a model is chosen once the summary of the new range has run
  choose(part<QComboBox>(*form, "Model_only"), 2);
  idle();
  ASSERT_EQ(form->analysis().modelFilter, 2);

  QFile before(data);
  ASSERT_TRUE(before.open(QIODevice::ReadOnly));
  const QByteArray dataBytes = before.readAll();
  dialogs.files = {data};
  trigger(*form, "exportDraws");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].contains("is the data file of the analysis")) << dialogs.errors[0].toStdString();
  QFile after(data);
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  EXPECT_EQ(after.readAll(), dataBytes);
  dialogs.errors.clear();

  dialogs.files = {dir.filePath("draws")};  // the dialog's default extension is added
  trigger(*form, "exportDraws");
  idle();
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(dialogs.saveExtensions.last(), ".tsv");
  QFile out(dir.filePath("draws.tsv"));
  ASSERT_TRUE(out.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = out.readAll().split('\n');
  ASSERT_GT(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith(".chain\t.iteration\t.draw\tIteration\t")) << lines[0].toStdString();

  // every retained row of model 2, in order, read back as the table's floats
  const SampleTable& t = *form->analysis().firstTable();
  const int modelColumn = 3 + spec.populations;
  int line = 1;
  for (int r = 50; r < t.rowCount(); ++r) {
    if (t.cell(modelColumn, r) != 2) continue;
    ASSERT_LT(line, lines.size());
    const QList<QByteArray> fields = lines[line].split('\t');
    ASSERT_EQ(fields.size(), 3 + t.columnCount());
    EXPECT_EQ(fields[1].toInt(), line);
    for (int c = 0; c < t.columnCount(); ++c) EXPECT_EQ(fields[3 + c].toFloat(), t.cell(c, r)) << "row " << r;
    ++line;
  }
  EXPECT_EQ(lines.size(), line + 1);  // and nothing else: the last line ends with its newline
  EXPECT_TRUE(form->statusBar()->currentMessage().contains(QString("%1 draws written").arg(line - 1)))
      << form->statusBar()->currentMessage().toStdString();
}

}  // namespace
}  // namespace varno
