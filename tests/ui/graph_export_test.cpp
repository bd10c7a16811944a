// Saving charts as BMP images: sizes, the dialog's settings, cancel, write failures, and "Print".
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include "charts/chart_export.h"
#include "scripted_dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/plotwin2.h"

namespace varno {
namespace {

using testing::ScriptedDialogs;
using Handler = void (TForm3::*)();

struct GraphExportTest : ::testing::Test {
  ScriptedDialogs dialogs;
  TForm3 form{dialogs};
  QTemporaryDir dir;

  QString path(const QString& name) const { return dir.filePath(name); }
  QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
  // what "Save results as..." leaves on the shared dialog
  void leaveReportSettings() {
    form.SaveDialog->filter = "Text file |*.txt";
    form.SaveDialog->defaultExt = ".txt";
  }
};

TEST_F(GraphExportTest, EachCommandSavesItsChartAtItsSizeWithTheBitmapSettings) {
  const struct {
    Handler command;
    const char* name;
    QSize size;  // empty: the main chart's current size
  } cases[] = {{&TForm3::SaveClick, "main", {}},
               {&TForm3::g1_saveClick, "g1", {778, 620}},
               {&TForm3::g2_saveClick, "g2", {778, 620}},
               {&TForm3::hpdi_saveClick, "hpdi", {778, 642}},
               {&TForm3::model_saveClick, "model", {778, 642}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    leaveReportSettings();
    dialogs.saveFilters.clear();
    dialogs.saveExtensions.clear();
    dialogs.files.push_back(path(c.name));  // typed without an extension
    (form.*c.command)();

    const QString saved = path(QString(c.name) + ".bmp");
    EXPECT_EQ(dialogs.saveFilters, QStringList{"BMP image|*.bmp"});
    EXPECT_EQ(dialogs.saveExtensions, QStringList{".bmp"});
    EXPECT_EQ(form.SaveDialog->lastFileName, saved);
    QImage image;
    ASSERT_TRUE(image.load(saved, "BMP"));
    EXPECT_EQ(image.size(), c.size.isEmpty() ? form.Chart1->size() : c.size);
  }
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

TEST_F(GraphExportTest, TheMainChartIsSavedAtItsSizeAfterAResize) {
  form.show();
  form.resize(950, 880);
  QApplication::processEvents();
  ASSERT_NE(form.Chart1->size(), QSize(609, 545));
  dialogs.files.push_back(path("main.bmp"));
  form.SaveClick();
  EXPECT_EQ(QImage(path("main.bmp")).size(), form.Chart1->size());
}

TEST_F(GraphExportTest, ImagesStartWhiteAndShowTheChartsOwnBackground) {
  const struct {
    QBrush background;
    QColor corner;
  } cases[] = {{Qt::NoBrush, Qt::white}, {QColor(200, 220, 240), QColor(200, 220, 240)}};
  for (const auto& c : cases) {
    QCustomPlot chart;  // empty: only frame and axes are drawn
    chart.resize(200, 150);
    chart.setBackground(c.background);
    const QImage image = renderChart(&chart, QSize(400, 300));
    ASSERT_EQ(image.size(), QSize(400, 300));
    for (QPoint corner : {QPoint(0, 0), QPoint(399, 299)})
      EXPECT_EQ(image.pixelColor(corner).name(), c.corner.name());
  }
}

TEST_F(GraphExportTest, ASavedEmptyChartOnAWhiteBackgroundHasWhiteCorners) {
  form.Back_White->trigger();
  dialogs.files.push_back(path("g1.bmp"));
  form.g1_saveClick();
  const QImage image(path("g1.bmp"));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixelColor(0, 0).name(), "#ffffff");
  EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1).name(), "#ffffff");
}

TEST_F(GraphExportTest, DrawingAtTwiceTheSizeLeavesTheChartOnScreenAsItWas) {
  form.show();
  QApplication::processEvents();
  form.G1_graph->replot();
  const QRect plotArea = form.G1_graph->axisRect()->rect();
  renderChart(form.G1_graph, form.G1_graph->size() * 2);
  EXPECT_EQ(form.G1_graph->axisRect()->rect(), plotArea);
}

TEST_F(GraphExportTest, CancelWritesNothing) {
  leaveReportSettings();
  dialogs.files.push_back(std::nullopt);
  form.hpdi_saveClick();
  EXPECT_TRUE(files().isEmpty());
  EXPECT_TRUE(dialogs.errors.isEmpty());
  EXPECT_EQ(form.SaveDialog->filter, "BMP image|*.bmp");
  EXPECT_EQ(form.SaveDialog->defaultExt, ".bmp");
}

TEST_F(GraphExportTest, AFileThatCannotBeWrittenIsReportedOnceByPath) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
  const QString cases[] = {path("missing/chart.bmp"), path("folder.bmp")};
  for (const QString& target : cases) {
    SCOPED_TRACE(target.toStdString());
    dialogs.errors.clear();
    dialogs.files.push_back(target);
    form.model_saveClick();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QDir::toNativeSeparators(target)))
        << dialogs.errors[0].toStdString();
    EXPECT_TRUE(files().isEmpty()) << files().join(" ").toStdString();
  }
}

// Until other formats exist, every image carries ".bmp"; an input of the analysis is never replaced.
TEST_F(GraphExportTest, ImagesAreNamedBmpAndNeverReplaceAnInput) {
  QFile data(path("trace.fst"));
  ASSERT_TRUE(data.open(QIODevice::WriteOnly));
  data.write("0 1 2\n");
  data.close();
  form.state.dataFileName = path("trace.fst").toStdString();
  const struct {
    QString chosen, saved;
  } names[] = {{path("chart.png"), path("chart.png.bmp")},
               {path("chart.BMP"), path("chart.BMP")},
               {path("chart"), path("chart.bmp")}};
  for (const auto& n : names) {
    SCOPED_TRACE(n.chosen.toStdString());
    dialogs.files.push_back(n.chosen);
    form.model_saveClick();
    EXPECT_EQ(form.SaveDialog->lastFileName, n.saved);
    QImage image;
    EXPECT_TRUE(image.load(n.saved, "BMP"));
  }
  EXPECT_FALSE(QFile::exists(path("chart.png")));
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();

  // named .bmp through a link, the data file would be replaced
  ASSERT_TRUE(QFile::link(path("trace.fst"), path("trace.bmp")));
  dialogs.files.push_back(path("trace.bmp"));
  form.g1_saveClick();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].contains("is the data file of the analysis")) << dialogs.errors[0].toStdString();
  QFile kept(path("trace.fst"));
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "0 1 2\n");
}

TEST_F(GraphExportTest, PrintDoesNothing) {
  leaveReportSettings();
  form.PrintClick();
  form.Print->trigger();
  EXPECT_TRUE(dialogs.saveFilters.isEmpty());
  EXPECT_TRUE(dialogs.openFilters.isEmpty());
  EXPECT_TRUE(dialogs.messages.isEmpty());
  EXPECT_TRUE(dialogs.errors.isEmpty());
  EXPECT_TRUE(dialogs.questions.isEmpty());
  EXPECT_EQ(form.SaveDialog->filter, "Text file |*.txt");
}

}  // namespace
}  // namespace varno
