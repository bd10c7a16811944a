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

}  // namespace
}  // namespace varno
