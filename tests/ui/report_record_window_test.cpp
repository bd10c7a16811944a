// Options > "Write a record with each report": off, Save results writes the report only; on, it
// writes NAME_res.json beside it, whose command makes the same report with varno-report.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>

#include "report/file_digest.h"
#include "tests/cli/tool_run.h"
#include "tools/trace_generator.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

struct ReportRecord : WindowFixture {
  QString data, factors;
  void openTrace() {
    FstSpec spec;
    spec.rows = 150;
    spec.populations = 3;
    data = writeTrace("lake.fst", spec);
    factors = writeFactors("lake_factors.txt", spec);
    // factors included, no interaction
    dialogs.files = {data, factors};
    dialogs.answers = {true, false};
    form->findChild<QAction*>("Open")->trigger();
    idle();
  }
  void saveResults(const QString& path) {
    dialogs.files = {path};
    form->findChild<QAction*>("save_res")->trigger();
    idle();
  }
  // The answers given in dialogs, said on varno-report's command line, give the same bytes.
  void expectCommandRemakes(const QJsonObject& record, const QString& reportPath) {
    const QByteArray report = fileBytes(reportPath);
    QFile::remove(reportPath);
    std::vector<std::string> args;
    for (const QJsonValue& word : record["command"].toArray()) args.push_back(word.toString().toStdString());
    ASSERT_GT(args.size(), 1u);
    EXPECT_EQ(args.front(), "varno-report");
    args.erase(args.begin());
    varno::testing::TempFolder scratch;
    const varno::testing::ToolRun run = varno::testing::runTool(scratch, args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fileBytes(reportPath), report);
  }
};

TEST_F(ReportRecord, OffByDefaultOnItsCommandMakesTheSameReport) {
  openTrace();
  form->findChild<QLineEdit*>("Cutin")->setText("30");
  idle();
  QAction* option = form->findChild<QAction*>("writeRecord");
  ASSERT_TRUE(option);
  EXPECT_FALSE(option->isChecked());
  saveResults(dir.filePath("first_res.txt"));
  ASSERT_TRUE(QFile::exists(dir.filePath("first_res.txt")));
  EXPECT_FALSE(QFile::exists(dir.filePath("first_res.json")));

  option->trigger();
  saveResults(dir.filePath("lake_res.txt"));
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  const QByteArray report = fileBytes(dir.filePath("lake_res.txt"));
  const QJsonObject record = QJsonDocument::fromJson(fileBytes(dir.filePath("lake_res.json"))).object();
  ASSERT_FALSE(record.isEmpty());
  EXPECT_EQ(record["program"].toString(), "varno-plot");
  const QJsonArray inputs = record["inputs"].toArray();
  ASSERT_EQ(inputs.size(), 2);
  EXPECT_EQ(inputs[0].toObject()["path"].toString(), data);
  EXPECT_EQ(inputs[0].toObject()["sha256"].toString().toStdString(), digestFile(data.toStdString())->sha256);
  EXPECT_EQ(inputs[1].toObject()["path"].toString(), factors);
  EXPECT_EQ(record["rows"].toObject()["retained"].toInt(), 120);
  EXPECT_EQ(record["factors"].toObject()["count"].toInt(), 2);
  expectCommandRemakes(record, dir.filePath("lake_res.txt"));
}

// A report of several chains records every chain file, the rows of them all, and a command that
// pools the same chains.
TEST_F(ReportRecord, EveryChainIsRecorded) {
  openTrace();
  const QString chain =
      writeTrace("lake2.fst", {.rows = 100, .populations = 3, .seed = 9});
  dialogs.files = {chain};
  form->findChild<QAction*>("addChain")->trigger();
  idle();
  ASSERT_EQ(form->analysis().chainCount(), 2);
  form->findChild<QLineEdit*>("Cutin")->setText("30");
  idle();
  form->findChild<QAction*>("writeRecord")->trigger();
  saveResults(dir.filePath("lake_res.txt"));
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  const QJsonObject record = QJsonDocument::fromJson(fileBytes(dir.filePath("lake_res.json"))).object();
  const QJsonArray inputs = record["inputs"].toArray();
  ASSERT_EQ(inputs.size(), 3);
  EXPECT_EQ(inputs[2].toObject()["role"].toString(), "chain");
  EXPECT_EQ(inputs[2].toObject()["path"].toString(), chain);
  EXPECT_EQ(inputs[2].toObject()["sha256"].toString().toStdString(), digestFile(chain.toStdString())->sha256);
  EXPECT_EQ(record["chains"].toInt(), 2);
  EXPECT_EQ(record["rows"].toObject()["total"].toInt(), 250);
  EXPECT_EQ(record["rows"].toObject()["retained"].toInt(), 190);
  expectCommandRemakes(record, dir.filePath("lake_res.txt"));
}

// A report saved with a model chosen summarises the Fst of that model's rows, as designed; its
// record says the model and its command, with --model, makes the same bytes.
TEST_F(ReportRecord, AChosenModelIsInTheCommand) {
  openTrace();
  form->findChild<QAction*>("writeRecord")->trigger();
  saveResults(dir.filePath("all_res.txt"));
  choose(part<QComboBox>(*form, "Model_only"), 3);
  idle();
  ASSERT_EQ(form->analysis().modelFilter, 3);
  saveResults(dir.filePath("lake_res.txt"));
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_NE(fileBytes(dir.filePath("lake_res.txt")), fileBytes(dir.filePath("all_res.txt")));
  const QJsonObject record = QJsonDocument::fromJson(fileBytes(dir.filePath("lake_res.json"))).object();
  EXPECT_EQ(record["model_filter"].toInt(), 3);
  const QJsonArray command = record["command"].toArray();
  qsizetype model = 0;
  while (model < command.size() && command[model].toString() != "--model") ++model;
  ASSERT_LT(model + 1, command.size()) << QJsonDocument(command).toJson().toStdString();
  EXPECT_EQ(command[model + 1].toString(), "3");
  expectCommandRemakes(record, dir.filePath("lake_res.txt"));
}

// The record's place is checked before the report is written: a save refused writes nothing.
TEST_F(ReportRecord, AReportNamedLikeItsRecordIsRefusedBeforeAnythingIsWritten) {
  openTrace();
  form->findChild<QAction*>("writeRecord")->trigger();
  saveResults(dir.filePath("results.json"));
  EXPECT_EQ(dialogs.errors, QStringList{"The results were not saved: a report named .json would be replaced by its "
                                        "record; save it under another extension."});
  EXPECT_FALSE(QFile::exists(dir.filePath("results.json")));
}

}  // namespace
}  // namespace varno
