// Saving charts as figures: each format's bytes and sizes, extension and filter agreement, the
// dialog's settings, cancel, write failures, and printing.
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "charts/chart_export.h"
#include "scripted_dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/plotwin2.h"
#include "wait_idle.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

// The size an SVG file declares on its root element; empty when the root is not <svg>.
QSize svgSize(const QByteArray& bytes) {
  QXmlStreamReader xml(bytes);
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement) {
      if (xml.name() != QLatin1String("svg")) return {};
      // QSvgGenerator writes millimetres; the view box carries the size in points
      const QStringList box = xml.attributes().value("viewBox").toString().split(' ');
      return box.size() == 4 ? QSize(box[2].toInt(), box[3].toInt()) : QSize();
    }
  }
  return {};
}

struct GraphExportTest : ::testing::Test {
  ScriptedDialogs dialogs;
  TForm3 form{dialogs};
  QTemporaryDir dir;

  QString path(const QString& name) const { return dir.filePath(name); }
  QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
  // what "Save results as..." leaves on the shared dialog
  void leaveReportSettings() {
    part<FileDialogSpec>(form, "SaveDialog")->filter = "Text file |*.txt";
    part<FileDialogSpec>(form, "SaveDialog")->defaultExt = ".txt";
  }
};

// Each format's own bytes at its size: PNG at the designed size and at twice its pixels, BMP at
// the designed size whatever the scale, SVG and PDF as vectors.
TEST_F(GraphExportTest, EachFormatWritesItsOwnBytesAtItsSize) {
  const struct {
    const char* command;  // the menu command's name
    QString filter;
    int scale;  // the "Scale" choice
    QString name;
    const char* magic;  // the file's first bytes
    QSize pixels;       // of the raster formats; of the SVG view box
  } cases[] = {
      {"hpdi_save", "PNG image", 0, "hpdi1", "\x89PNG\r\n\x1a\n", {778, 642}},
      {"hpdi_save", "PNG image", 1, "hpdi2", "\x89PNG\r\n\x1a\n", {1556, 1284}},
      {"g1_save", "PNG image", 1, "g1", "\x89PNG\r\n\x1a\n", {1556, 1240}},
      {"g2_save", "BMP image", 1, "g2", "BM", {778, 620}},
      {"model_save", "BMP image", 0, "model", "BM", {778, 642}},
      {"model_save", "SVG image", 1, "model", "<?xml", {778, 642}},
      {"g1_save", "PDF document", 0, "g1", "%PDF-", {}},
  };
  for (const auto& c : cases) {
    const QString ext = chartFormatInfo(*formatOfFilter(c.filter)).extension;
    SCOPED_TRACE((c.name + "." + ext + " scale " + QString::number(c.scale)).toStdString());
    leaveReportSettings();
    dialogs.files.push_back(path(c.name));  // typed without an extension
    dialogs.nextFilter = c.filter;
    dialogs.nextChoice = c.scale;
    trigger(form, c.command);

    const QString saved = path(c.name + "." + ext);
    EXPECT_EQ(dialogs.saveFilters.last(), "PNG image|*.png|SVG image|*.svg|PDF document|*.pdf|BMP image|*.bmp");
    EXPECT_EQ(part<FileDialogSpec>(form, "SaveDialog")->lastFileName, saved);
    const QByteArray bytes = fileBytes(saved);
    ASSERT_TRUE(bytes.startsWith(c.magic)) << bytes.left(16).toStdString();
    if (ext == "png" || ext == "bmp") {
      QImage image;
      ASSERT_TRUE(image.loadFromData(bytes, ext.toUpper().toLatin1()));
      EXPECT_EQ(image.size(), c.pixels);
    } else if (ext == "svg") {
      EXPECT_EQ(svgSize(bytes), c.pixels);
    }
  }
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

// The typed extension decides the format when it names one; otherwise the chosen filter does and
// its extension is added. The next dialog offers the last format and scale.
TEST_F(GraphExportTest, TheFileGetsTheFormatOfItsExtensionOrOfTheChosenFilter) {
  const struct {
    QString typed, filter, saved;
    const char* magic;
  } cases[] = {{"a.svg", "PNG image", "a.svg", "<?xml"},
               {"b.PNG", "PDF document", "b.PNG", "\x89PNG"},
               {"c", "PDF document", "c.pdf", "%PDF-"},
               {"d.txt", "BMP image", "d.txt.bmp", "BM"},
               {"e.", "SVG image", "e.svg", "<?xml"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    dialogs.files.push_back(path(c.typed));
    dialogs.nextFilter = c.filter;
    trigger(form, "model_save");
    EXPECT_TRUE(fileBytes(path(c.saved)).startsWith(c.magic)) << files().join(" ").toStdString();
  }
  EXPECT_EQ(files().size(), std::size(cases));

  dialogs.files.push_back(path("f.png"));
  dialogs.nextChoice = 1;
  trigger(form, "hpdi_save");
  dialogs.files.push_back(std::nullopt);
  trigger(form, "hpdi_save");
  EXPECT_EQ(part<FileDialogSpec>(form, "SaveDialog")->choice, 1) << "the scale is remembered";
  EXPECT_EQ(part<FileDialogSpec>(form, "SaveDialog")->selectedFilter, "PNG image");
  EXPECT_EQ(part<FileDialogSpec>(form, "SaveDialog")->defaultExt, ".png");
  EXPECT_EQ(QImage(path("f.png")).size(), QSize(1556, 1284));
}

TEST_F(GraphExportTest, TheMainChartIsSavedAtItsSizeAfterAResize) {
  form.show();
  form.resize(950, 880);
  QApplication::processEvents();
  ASSERT_NE(part<QCustomPlot>(form, "Chart1")->size(), QSize(609, 545));
  dialogs.files.push_back(path("main.bmp"));
  trigger(form, "Save");
  EXPECT_EQ(QImage(path("main.bmp")).size(), part<QCustomPlot>(form, "Chart1")->size());
  dialogs.files.push_back(path("main.png"));
  dialogs.nextChoice = 1;
  trigger(form, "Save");
  EXPECT_EQ(QImage(path("main.png")).size(), part<QCustomPlot>(form, "Chart1")->size() * 2);
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
  part<QAction>(form, "Back_White")->trigger();
  dialogs.files.push_back(path("g1.bmp"));
  trigger(form, "g1_save");
  const QImage image(path("g1.bmp"));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixelColor(0, 0).name(), "#ffffff");
  EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1).name(), "#ffffff");
}

TEST_F(GraphExportTest, DrawingAtTwiceTheSizeLeavesTheChartOnScreenAsItWas) {
  form.show();
  QApplication::processEvents();
  part<QCustomPlot>(form, "G1_graph")->replot();
  const QRect plotArea = part<QCustomPlot>(form, "G1_graph")->axisRect()->rect();
  renderChart(part<QCustomPlot>(form, "G1_graph"), part<QCustomPlot>(form, "G1_graph")->size() * 2);
  EXPECT_EQ(part<QCustomPlot>(form, "G1_graph")->axisRect()->rect(), plotArea);
}

TEST_F(GraphExportTest, CancelWritesNothing) {
  leaveReportSettings();
  dialogs.files.push_back(std::nullopt);
  trigger(form, "hpdi_save");
  EXPECT_TRUE(files().isEmpty());
  EXPECT_TRUE(dialogs.errors.isEmpty());
  EXPECT_EQ(part<FileDialogSpec>(form, "SaveDialog")->filter, chartFileFilter());
  EXPECT_EQ(part<FileDialogSpec>(form, "SaveDialog")->defaultExt, ".png");
}

TEST_F(GraphExportTest, AFileThatCannotBeWrittenIsReportedOnceByPath) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
  const QString cases[] = {path("missing/chart.bmp"), path("folder.bmp")};
  for (const QString& target : cases) {
    SCOPED_TRACE(target.toStdString());
    dialogs.errors.clear();
    dialogs.files.push_back(target);
    trigger(form, "model_save");
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QDir::toNativeSeparators(target)))
        << dialogs.errors[0].toStdString();
    EXPECT_TRUE(files().isEmpty()) << files().join(" ").toStdString();
  }
}

// An input of the analysis is never replaced, not even through a link named as a figure.
TEST_F(GraphExportTest, AFigureNeverReplacesAnInput) {
  QFile data(path("trace.ml"));
  ASSERT_TRUE(data.open(QIODevice::WriteOnly));
  data.write("0 1 2\n3 4 5\n");
  data.close();
  form.actOnCommandLine({path("trace.ml")});
  ASSERT_TRUE(waitUntilIdle(form));
  ASSERT_EQ(form.analysis().dataFileName, path("trace.ml").toStdString());
  ASSERT_TRUE(QFile::link(path("trace.ml"), path("trace.png")));
  dialogs.files.push_back(path("trace.png"));
  trigger(form, "g1_save");
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].contains("is the data file of the analysis")) << dialogs.errors[0].toStdString();
  EXPECT_EQ(fileBytes(path("trace.ml")), "0 1 2\n3 4 5\n");
}

// "Print graph" prints Chart1 (no chart under the mouse) scaled to the page, here to a PDF file;
// a cancelled print dialog prints nothing.
TEST_F(GraphExportTest, PrintGraphPrintsTheChartOrNothingWhenCancelled) {
  part<QAction>(form, "Print")->trigger();
  EXPECT_EQ(dialogs.printDialogs, 1);
  EXPECT_TRUE(files().isEmpty());

  dialogs.printToPdf = path("printed.pdf");
  trigger(form, "Print");
  EXPECT_EQ(dialogs.printDialogs, 2);
  EXPECT_TRUE(fileBytes(path("printed.pdf")).startsWith("%PDF-"));
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_TRUE(dialogs.saveFilters.isEmpty());
}

// A figure or a printout says what the chart shows: the main graph names its column, in its title
// and above the chart drawn, which on screen stays as designed, without a title.
TEST_F(GraphExportTest, FiguresAndPrintoutsAreNamedAfterWhatTheChartShows) {
  QFile data(path("t.ml"));
  ASSERT_TRUE(data.open(QIODevice::WriteOnly));
  data.write("1 5\n2 7\n3 6\n4 9\n");
  data.close();
  form.actOnCommandLine({path("t.ml")});
  ASSERT_TRUE(waitUntilIdle(form));
  const struct {
    const char* action;
    QString title;
    int occurrences;  // as the document's title, and drawn
  } figures[] = {{"Save", "Trace of column 1", 2}, {"hpdi_save", "Fst HPDI by population", 1}};
  for (const auto& f : figures) {
    SCOPED_TRACE(f.action);
    const QString file = path(QString(f.action) + ".svg");
    dialogs.files = {file};
    trigger(form, f.action);
    const QByteArray svg = fileBytes(file);
    EXPECT_TRUE(svg.contains("<title>" + f.title.toUtf8() + "</title>")) << svg.left(600).toStdString();
    EXPECT_EQ(svg.count(f.title.toUtf8()), f.occurrences);
    EXPECT_FALSE(svg.contains("Chart"));
  }
  EXPECT_EQ(part<QCustomPlot>(form, "Chart1")->plotLayout()->rowCount(), 1) << "no title left on screen";

  dialogs.printToPdf = path("printed.pdf");
  trigger(form, "Print");
  EXPECT_EQ(dialogs.printedNames, QStringList{"Trace of column 1"});
  EXPECT_EQ(part<QCustomPlot>(form, "Chart1")->plotLayout()->rowCount(), 1);
}

}  // namespace
}  // namespace varno
