// Traces of other samplers opened in the window: the names of their header line in the column
// chooser and in the Diagnostics table, beside the figures of their numbers.
#include <QComboBox>
#include <QStatusBar>
#include <QTabWidget>

#include "tests/trace_styles.h"
#include "ui/diagnostics_table.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

struct TraceFormatsWindow : WindowFixture {};

TEST_F(TraceFormatsWindow, HeaderNamesShowInTheChooserAndTheDiagnosticsTable) {
  for (const TraceStyle& style : traceStyles()) {
    SCOPED_TRACE(style.name);
    form->actOnCommandLine({write(style.fileName, QByteArray::fromStdString(style.content))});
    idle();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    ASSERT_EQ(form->analysis().firstTable()->rowCount(), static_cast<int>(style.rows.size()));

    const QComboBox* chooser = part<QComboBox>(*form, "xi");
    ASSERT_EQ(chooser->count(), static_cast<int>(style.names.size()));
    for (int c = 0; c < chooser->count(); ++c)
      EXPECT_EQ(chooser->itemText(c).toStdString(), style.names[static_cast<std::size_t>(c)]);

    part<QTabWidget>(*form, "Pages")->setCurrentIndex(2);
    idle();
    const auto& table = *part<DiagnosticsTable>(*form, "diagnosticsTable");
    const auto text = [&](int r, int c) { return table.model()->index(r, c).data().toString().toStdString(); };
    ASSERT_EQ(table.model()->rowCount(), static_cast<int>(style.names.size()));
    for (int r = 0; r < table.model()->rowCount(); ++r) {
      const int column = std::stoi(text(r, 0));  // 1-based, whatever the sort
      ASSERT_GE(column, 1);
      const std::size_t at = static_cast<std::size_t>(column - 1);
      EXPECT_EQ(text(r, 1), style.names[at]);
      EXPECT_EQ(text(r, 3), style.means[at]);
    }
    part<QTabWidget>(*form, "Pages")->setCurrentIndex(0);
    idle();
  }
}

// The window words a refusal for its own commands: an index with no chain file beside it is refused
// without the tool's advice to name chain files on its command line.
TEST_F(TraceFormatsWindow, AnIndexWithoutChainFilesIsRefusedInTheWindowsWords) {
  const CodaRun coda;
  const QString index = write("CODAindex.txt", QByteArray::fromStdString(coda.index));
  form->actOnCommandLine({index});
  idle();
  const QString said = "\"" + index + "\": no chain file beside it (looked for \"CODAchain1.txt\")";
  EXPECT_EQ(dialogs.errors, QStringList{said});
  EXPECT_EQ(form->statusBar()->currentMessage(), "Not read: " + said);
  EXPECT_FALSE(form->analysis().open());
}

// A CODA index opens every chain file beside it as chains of one analysis; a chain added later is
// read through the same index, and a reload reads them all again, each once.
TEST_F(TraceFormatsWindow, CodaIndexOpensItsChainsAndReloadsThem) {
  const CodaRun coda;
  const QString index = write("CODAindex.txt", QByteArray::fromStdString(coda.index));
  const QString chain1 = write("CODAchain1.txt", QByteArray::fromStdString(coda.chain1));
  const QString chain2 = write("CODAchain2.txt", QByteArray::fromStdString(coda.chain2));
  const QString extra = write("extra.txt", QByteArray::fromStdString(coda.chain3));
  const auto files = [this] {
    QStringList names;
    for (const std::string& file : form->analysis().chainFileNames()) names << QString::fromStdString(file);
    return names;
  };

  dialogs.files = {index};
  trigger(*form, "Open");
  idle();
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(files(), QStringList({chain1, chain2}));
  EXPECT_EQ(form->analysis().dataFileName, index.toStdString());
  EXPECT_EQ(form->statusBar()->currentMessage(), index + ": 2 chains: 3 + 3 rows \u00D7 3 columns");
  const QComboBox* chooser = part<QComboBox>(*form, "xi");
  ASSERT_EQ(chooser->count(), static_cast<int>(coda.names.size()));
  for (int c = 0; c < chooser->count(); ++c)
    EXPECT_EQ(chooser->itemText(c).toStdString(), coda.names[static_cast<std::size_t>(c)]);
  EXPECT_EQ(chooser->currentText(), "alpha");  // not the iteration numbers

  dialogs.files = {extra};
  trigger(*form, "addChain");
  idle();
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(dialogs.openFilters.back(), "CODA chain (*chain*.txt)|*chain*.txt|Other(*.*)|*.*");
  EXPECT_EQ(files(), QStringList({chain1, chain2, extra}));
  EXPECT_EQ(form->analysis().chains.back().table->cell(1, 0), 2.0f);  // alpha of extra.txt, not its iteration

  trigger(*form, "Refresh1");
  idle();
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(files(), QStringList({chain1, chain2, extra}));
}

// A refused index leaves the analysis open before as it was, and says which file, line and why.
TEST_F(TraceFormatsWindow, RefusedCodaIndexKeepsTheOpenAnalysis) {
  const CodaRun coda;
  const TraceStyle& style = traceStyles().front();
  const QString trace = write(style.fileName, QByteArray::fromStdString(style.content));
  form->actOnCommandLine({trace});
  idle();
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();

  const QString index = write("CODAindex.txt", "alpha 1 3\nbeta[1] 4 7\n");
  const QString chain1 = write("CODAchain1.txt", QByteArray::fromStdString(coda.chain1));
  dialogs.files = {index};
  trigger(*form, "Open");
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_EQ(dialogs.errors[0], QString("\"%1\" line 2: \"beta[1]\" takes lines 4 to 7, but \"%2\" has 6 lines")
                                   .arg(index, chain1));
  EXPECT_EQ(form->analysis().dataFileName, trace.toStdString());
  EXPECT_EQ(form->analysis().chainCount(), 1);
  EXPECT_EQ(form->analysis().firstTable()->rowCount(), static_cast<int>(style.rows.size()));
}

}  // namespace
}  // namespace varno
