// The file dialogs' titles, start folders and offered names: the data's folder the first time,
// then where the user last went for that purpose; graphs offered under their own names.
#include <QDir>

#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

// Two populations, two factors: iteration, Sigma², log likelihood, Fst1, Fst2, model, a0, a1, a2.
constexpr char kRows[] =
    "0 0.09 -10 0.10 0.30 4 0.01 1.2 -0.4\n"
    "1 0.08 -11 0.20 0.35 4 0.02 1.3 -0.5\n"
    "2 0.07 -12 0.15 0.40 2 0.03 1.1 -0.6\n";

struct FileDialogs : WindowFixture {
  QString folder(const QString& name) {
    EXPECT_TRUE(QDir(dir.path()).mkpath(name));
    return QDir(dir.filePath(name)).absolutePath();
  }
  const QString dataFolder = folder("data");
  const QString factorsFolder = folder("factors");
  const QString figuresFolder = folder("figures");
  const QString data = write("data/lake.fst", kRows);
  const QString factors = write("factors/lake_factors.txt", "g[1]=0.1 0.5\ng[2]=12 15\n");

  void open() {
    dialogs.files = {data, factors};
    dialogs.answers = {true, false};
    trigger(*form, "Open");
    idle();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  }
  void clearRecords() {
    dialogs.titles.clear();
    dialogs.startFolders.clear();
    dialogs.offeredNames.clear();
  }
};

TEST_F(FileDialogs, EachDialogSaysWhatItIsForAndOpensWhereItsFilesAre) {
  open();
  // no data file open yet: the toolkit's choice; the factors file is looked for next to the data
  EXPECT_EQ(dialogs.titles, QStringList({"Open data file", "Open factors file"}));
  EXPECT_EQ(dialogs.startFolders, QStringList({QString(), dataFolder}));

  clearRecords();
  dialogs.files = {figuresFolder + "/g1.png", std::nullopt};
  trigger(*form, "g1_save");
  trigger(*form, "hpdi_save");
  EXPECT_EQ(dialogs.titles, QStringList({"Save graph as", "Save graph as"}));
  EXPECT_EQ(dialogs.startFolders, QStringList({dataFolder, figuresFolder}));
  // the chart's own name, after the data file's
  EXPECT_EQ(dialogs.offeredNames, QStringList({"lake_fst_g1.png", "lake_fst_hpdi.png"}));

  clearRecords();
  dialogs.files = {std::nullopt};
  trigger(*form, "save_res");
  idle();
  EXPECT_EQ(dialogs.titles, QStringList{"Save results as"});
  EXPECT_EQ(dialogs.startFolders, QStringList{dataFolder}) << "a graph's folder is not the report's";
  EXPECT_EQ(dialogs.offeredNames, QStringList{"lake_res.txt"}) << "never a graph's name";

  clearRecords();
  dialogs.files = {data, factors};
  dialogs.answers = {true, false};
  trigger(*form, "Open");
  idle();
  EXPECT_EQ(dialogs.startFolders, QStringList({dataFolder, factorsFolder}));
}

// After a graph was saved, the draws and the diagnostics table are each offered under their own
// title, filter and name, in their own folder: never a graph's, which would put TSV into a PNG.
TEST_F(FileDialogs, TheExportsHaveTheirOwnTitleNameAndFolder) {
  const QString drawsFolder = folder("draws");
  const QString tablesFolder = folder("tables");
  const struct {
    const char* action;
    QString title, filter, extension, offered, folder;
  } exports[] = {
      {"exportDraws", "Export retained draws as", "Tab-separated draws (*.tsv)|*.tsv", ".tsv", "lake_draws.tsv",
       drawsFolder},
      {"diag_save", "Save diagnostics table as", "CSV file (*.csv)|*.csv", ".csv", "lake_diagnostics.csv",
       tablesFolder},
  };
  // a fresh window offers each in the data's folder; then each where it was last saved
  for (int round = 0; round < 2; ++round) {
    form = std::make_unique<TForm3>(dialogs);
    open();
    dialogs.files = {figuresFolder + "/main.png"};
    trigger(*form, "Save");
    for (const auto& e : exports) {
      SCOPED_TRACE(std::string(e.action) + (round == 0 ? " (first)" : " (again)"));
      clearRecords();
      dialogs.saveFilters.clear();
      dialogs.saveExtensions.clear();
      dialogs.files = {e.folder + "/out" + e.extension};
      trigger(*form, e.action);
      idle();
      EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
      ASSERT_EQ(dialogs.titles.size(), 1);
      EXPECT_EQ(dialogs.titles[0], e.title);
      EXPECT_EQ(dialogs.saveFilters, QStringList{e.filter});
      EXPECT_EQ(dialogs.saveExtensions, QStringList{e.extension});
      EXPECT_EQ(dialogs.offeredNames, QStringList{e.offered});
      EXPECT_EQ(dialogs.startFolders, QStringList{dataFolder}) << "a fresh window: the data's folder";
      EXPECT_TRUE(QFile::exists(e.folder + "/out" + e.extension));
    }
    // a window given no settings remembers nothing of another
    if (round == 1) break;
    // saved once more in the same window: each opens where it was saved
    for (const auto& e : exports) {
      clearRecords();
      dialogs.files = {std::nullopt};
      trigger(*form, e.action);
      idle();
      EXPECT_EQ(dialogs.startFolders, QStringList{e.folder}) << e.action;
    }
  }
}

}  // namespace
}  // namespace varno
