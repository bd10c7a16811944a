// What the window remembers between runs, kept in a settings file of the test's own folder: the
// window, chart appearance, always-on-top choice, dialog folders, the recent files and the
// convergence target; and the command line that can leave all of it out.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QSettings>
#include <qcustomplot.h>

#include "report/convergence_target.h"
#include "tools/trace_generator.h"
#include "ui/recent_files.h"
#include "ui/window_command_line.h"
#include "window_fixture.h"

namespace varno {
namespace {

using testing::ScriptedDialogs;
using testing::waitUntilIdle;
using testing::WindowFixture;

QAction* action(const QWidget& window, const char* name) { return window.findChild<QAction*>(name); }

// The texts of the File > "Recent files" entries, newest first.
QStringList recentEntries(const QWidget& window) {
  QStringList texts;
  for (QAction* a : window.findChild<QMenu*>("RecentFiles")->actions()) texts << a->text();
  return texts;
}

struct RememberedSettings : WindowFixture {
  QString settingsFile() const { return dir.filePath("settings/varno-plot.conf"); }
  std::unique_ptr<QSettings> settings() const {
    return std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
  }
  // An fst trace with two factor lines and its factors file in a folder of its own.
  std::pair<QString, QString> writeAnalysis(const QString& name) {
    QDir(dir.path()).mkpath("traces");
    FstSpec spec;
    spec.rows = 120;
    spec.populations = 3;
    return {writeTrace("traces/" + name + ".fst", spec),
            writeFactors("traces/" + name + "_factors.txt", spec)};
  }
  // File > Open data file with its factors file: factors included, no interaction.
  void openWithFactors(TForm3& window, ScriptedDialogs& d, const QString& data, const QString& factors) {
    d.files = {data, factors};
    d.answers = {true, false};
    action(window, "Open")->trigger();
    EXPECT_TRUE(waitUntilIdle(window));
  }
};

TEST_F(RememberedSettings, AppearanceWindowAndFoldersComeBackInTheNextRun) {
  const auto [data, factors] = writeAnalysis("lake");
  form->rememberIn(settings());
  for (const char* name : {"Line_Blue", "Back_White", "Grid_Off", "Points", "Alwaysontop"}) action(*form, name)->trigger();
  form->resize(900, 700);
  openWithFactors(*form, dialogs, data, factors);
  form->close();
  form.reset();

  ScriptedDialogs next;
  TForm3 window(next);
  // before the settings are read: the designed defaults
  EXPECT_TRUE(action(window, "Line_Red")->isChecked());
  window.rememberIn(settings());
  for (const char* name : {"Line_Blue", "Back_White", "Grid_Off", "Points", "Alwaysontop"})
    EXPECT_TRUE(action(window, name)->isChecked()) << name;
  auto* chart = window.findChild<QCustomPlot*>("Chart1");
  EXPECT_FALSE(chart->xAxis->grid()->visible());
  EXPECT_EQ(chart->graph(0)->pen().color(), QColor(0, 0, 255));
  EXPECT_EQ(chart->graph(0)->lineStyle(), QCPGraph::lsNone);
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(window.size(), QSize(900, 700));
  // the open dialog starts where the data file was chosen, not in the (absent) data file's folder
  next.files = {std::nullopt};
  action(window, "Open")->trigger();
  ASSERT_FALSE(next.startFolders.isEmpty());
  EXPECT_EQ(next.startFolders.back(), dir.filePath("traces"));
  EXPECT_EQ(recentEntries(window), QStringList{"&1 " + data + " (factors: lake_factors.txt)"});
}

TEST_F(RememberedSettings, UnknownOrDamagedValuesKeepTheDefaults) {
  {
    QSettings damaged(settingsFile(), QSettings::IniFormat);
    damaged.setValue("chart/colour", "Line_Purple");
    damaged.setValue("chart/grid", 7);
    damaged.setValue("window/geometry", QByteArray("not a geometry"));
    damaged.beginWriteArray("recentFiles", 2);
    damaged.setArrayIndex(0);
    damaged.setValue("mode", 0);  // no data file
    damaged.setArrayIndex(1);
    damaged.setValue("data", "/runs/a.fst");
    damaged.setValue("mode", "zero");
    damaged.endArray();
  }
  form->rememberIn(settings());
  for (const char* name : {"Line_Red", "Back_Grey", "Grid_On", "Lines"}) EXPECT_TRUE(action(*form, name)->isChecked()) << name;
  EXPECT_FALSE(action(*form, "Alwaysontop")->isChecked());
  EXPECT_TRUE(recentEntries(*form).isEmpty());
  EXPECT_FALSE(form->findChild<QMenu*>("RecentFiles")->isEnabled());
}

// The target is kept as its text when it is set, not only at close; a text that cannot be read
// (written by hand, or by another version) leaves the default target.
TEST_F(RememberedSettings, TheConvergenceTargetComesBackInTheNextRun) {
  const ConvergenceTarget chosen = *parseConvergenceTarget("ess_bulk>=1000,rhat<=1.05,columns=tau,3").target;
  form->rememberIn(settings());
  dialogs.targets = {chosen};
  action(*form, "convergenceTarget")->trigger();
  form.reset();
  EXPECT_EQ(settings()->value("diagnostics/convergenceTarget").toString(), "ess_bulk>=1000,rhat<=1.05,columns=tau,3");

  const struct {
    const char* kept;  // nothing: as the first run left it
    ConvergenceTarget offered;
  } cases[] = {{nullptr, chosen}, {"rhat<=0.5", {}}, {"ess_bulk>=", {}}, {"", {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kept ? c.kept : "as kept");
    if (c.kept) settings()->setValue("diagnostics/convergenceTarget", c.kept);
    ScriptedDialogs next;
    TForm3 window(next);
    window.rememberIn(settings());
    action(window, "convergenceTarget")->trigger();  // cancelled: only what it offers is looked at
    ASSERT_EQ(next.targetOffers.size(), 1u);
    EXPECT_EQ(next.targetOffers[0].target, c.offered);
  }
}

TEST(RecentFiles, NewestFirstEachDataFileOnceAndTheLastEight) {
  RecentFiles list;
  for (int i = 1; i <= 10; ++i) list.add({QString("/runs/%1.fst").arg(i), "/runs/f.txt", 0});
  list.add({"/runs/5.fst", "/runs/g.txt", 1});  // opened again, with another factors file
  list.add({"/runs/t.ml", {}, -1});
  const QStringList expected = {"/runs/t.ml", "/runs/5.fst", "/runs/10.fst", "/runs/9.fst",
                                "/runs/8.fst", "/runs/7.fst", "/runs/6.fst", "/runs/4.fst"};
  QStringList data;
  for (const RecentFile& e : list.entries()) data << e.data;
  EXPECT_EQ(data, expected);
  EXPECT_EQ(list.entries()[1], (RecentFile{"/runs/5.fst", "/runs/g.txt", 1}));

  QTemporaryDir dir;
  QSettings settings(dir.filePath("s.conf"), QSettings::IniFormat);
  list.save(settings);
  list.remove("/runs/t.ml");
  list.save(settings);  // a shorter list leaves no entries of the longer one behind
  RecentFiles read;
  read.load(settings);
  EXPECT_EQ(read.entries(), list.entries());
}

TEST_F(RememberedSettings, ARecentFileReopensWithItsFactorsAndAMissingOneIsRemoved) {
  const auto [data, factors] = writeAnalysis("lake");
  const QString table = write("table.ml", "1 2\n3 4\n5 6\n");
  form->rememberIn(settings());
  openWithFactors(*form, dialogs, data, factors);
  dialogs.files = {table};
  action(*form, "Open")->trigger();
  idle();
  ASSERT_EQ(recentEntries(*form), (QStringList{"&1 " + table, "&2 " + data + " (factors: lake_factors.txt)"}));

  // the trace again, with its factors file and its answer about the interaction, asking nothing
  const int questions = dialogs.questions.size();
  action(*form, "recentFile2")->trigger();
  idle();
  EXPECT_EQ(dialogs.questions.size(), questions) << dialogs.questions.join("\n").toStdString();
  EXPECT_EQ(form->windowTitle(), "Plot: " + data);
  EXPECT_EQ(form->findChild<QComboBox*>("Combo_G2")->count(), 2);  // G1 and G2, no G1*G2
  EXPECT_EQ(recentEntries(*form).first(), "&1 " + data + " (factors: lake_factors.txt)");

  // the table is gone: its entry goes, with a word in the status line, and the trace stays open
  ASSERT_TRUE(QFile::remove(table));
  action(*form, "recentFile2")->trigger();
  idle();
  EXPECT_EQ(form->statusBar()->currentMessage(), "\"" + table + "\" no longer exists; it was removed from the recent files.");
  EXPECT_EQ(recentEntries(*form), QStringList{"&1 " + data + " (factors: lake_factors.txt)"});
  EXPECT_EQ(form->windowTitle(), "Plot: " + data);
  // and it is gone from the settings at once, not only at close
  RecentFiles saved;
  QSettings file(settingsFile(), QSettings::IniFormat);
  saved.load(file);
  ASSERT_EQ(saved.entries().size(), 1u);
  EXPECT_EQ(saved.entries()[0], (RecentFile{data, factors, 0}));
}

TEST(WindowCommandLine, OptionsAreTakenOutAndTheFilesKept) {
  const struct {
    QStringList args;
    bool help, version, noSettings;
    QStringList files;
    QStringList chains = {};
    bool follow = false;
  } cases[] = {
      {{}, false, false, false, {}},
      {{"--no-settings", "lake.fst", "f.txt", "-1"}, false, false, true, {"lake.fst", "f.txt", "-1"}},
      {{"lake.fst", "--no-settings"}, false, false, true, {"lake.fst"}},
      {{"-h"}, true, false, false, {}},
      {{"--version", "lake.fst"}, false, true, false, {"lake.fst"}},
      {{"--", "--no-settings"}, false, false, false, {"--no-settings"}},
      {{"a.fst", "f.txt", "--chain", "b.fst", "--chain=c.fst"}, false, false, false, {"a.fst", "f.txt"}, {"b.fst", "c.fst"}},
      {{"--follow", "a.ml", "--chain", "b.ml"}, false, false, false, {"a.ml"}, {"b.ml"}, true},
      {{"a.ml", "--", "--follow"}, false, false, false, {"a.ml", "--follow"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const WindowCommandLine line = parseWindowCommandLine(c.args);
    EXPECT_EQ(line.help, c.help);
    EXPECT_EQ(line.version, c.version);
    EXPECT_EQ(line.noSettings, c.noSettings);
    EXPECT_EQ(line.files, c.files);
    EXPECT_EQ(line.chains, c.chains);
    EXPECT_EQ(line.follow, c.follow);
  }
}

}  // namespace
}  // namespace varno
