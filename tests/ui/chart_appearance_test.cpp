// The chart popup commands on all five charts, the main line's style, resizing and "Always on top".
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QTabWidget>

#include "charts/chart_export.h"
#include "charts/interval_series.h"
#include "scripted_dialogs.h"
#include "ui/plotwin2.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

struct ChartAppearanceTest : ::testing::Test {
  ScriptedDialogs dialogs;
  TForm3 form{dialogs};

  std::vector<QCustomPlot*> charts() const {
    return {part<QCustomPlot>(form, "Chart1"), part<QCustomPlot>(form, "G1_graph"),
            part<QCustomPlot>(form, "G2_graph"), part<QCustomPlot>(form, "Chart4"),
            part<QCustomPlot>(form, "Chart3")};
  }
  // The corner of a drawing lies outside the plot area: it shows the chart's background.
  static QColor backgroundOf(QCustomPlot* chart) {
    return renderChart(chart, QSize(80, 80)).pixelColor(0, 0);
  }
};

QString rgb(const QColor& c) { return c.name(); }

TEST_F(ChartAppearanceTest, ColourCommandsRecolourEverySeriesButTheIntervals) {
  part<IntervalSeries>(form, "hpdis")
      ->setItems({{0.1, 0.4, 1, "1", QColor(10, 20, 30)}, {0.2, 0.6, 2, "2", QColor(40, 50, 60)}});
  const QPen hpdisPen = part<IntervalSeries>(form, "hpdis")->pen();

  // each step changes from the previous colour; "Red" comes back last, from "White"
  const struct {
    const char* item;  // the command's name
    QColor colour;
  } cases[] = {{"Line_Blue", QColor(0, 0, 255)},      {"Line_Black", QColor(0, 0, 0)},
               {"Line_Green", QColor(0, 128, 0)},     {"Line_Gray", QColor(128, 128, 128)},
               {"Line_White", QColor(255, 255, 255)}, {"Line_Red", QColor(255, 0, 0)}};
  for (const auto& c : cases) {
    QAction* item = part<QAction>(form, c.item);
    SCOPED_TRACE(item->objectName().toStdString());
    QSignalSpy chart1Replots(part<QCustomPlot>(form, "Chart1"), &QCustomPlot::afterReplot);
    QSignalSpy chart3Replots(part<QCustomPlot>(form, "Chart3"), &QCustomPlot::afterReplot);
    QSignalSpy g1Replots(part<QCustomPlot>(form, "G1_graph"), &QCustomPlot::afterReplot);
    QSignalSpy g2Replots(part<QCustomPlot>(form, "G2_graph"), &QCustomPlot::afterReplot);
    item->trigger();

    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(rgb(part<QCPGraph>(form, "Serie")->pen().color()), rgb(c.colour));
    EXPECT_EQ(rgb(part<QCPBars>(form, "histogram")->pen().color()), rgb(c.colour));
    EXPECT_EQ(rgb(part<QCPBars>(form, "histogram")->brush().color()), rgb(Qt::white));
    EXPECT_EQ(rgb(part<QCPBars>(form, "model")->pen().color()), rgb(c.colour));
    EXPECT_EQ(rgb(part<QCPBars>(form, "model")->brush().color()), rgb(c.colour));
    for (QCPGraph* points : {part<QCPGraph>(form, "G1_serie"), part<QCPGraph>(form, "G2_serie")}) {
      EXPECT_EQ(rgb(points->scatterStyle().pen().color()), rgb(c.colour));
      EXPECT_EQ(points->scatterStyle().pen().widthF(), 2);
      EXPECT_EQ(points->scatterStyle().shape(), QCPScatterStyle::ssCross);
    }
    EXPECT_EQ(part<QCPGraph>(form, "G1_serie")->scatterStyle().brush().style(), Qt::NoBrush);
    EXPECT_EQ(rgb(part<QCPGraph>(form, "G2_serie")->scatterStyle().brush().color()), rgb(c.colour));
    EXPECT_EQ(rgb(part<IntervalSeries>(form, "hpdis")->items()[0].color), "#0a141e");
    EXPECT_EQ(rgb(part<IntervalSeries>(form, "hpdis")->items()[1].color), "#28323c");
    EXPECT_EQ(part<IntervalSeries>(form, "hpdis")->pen(), hpdisPen);
    for (QSignalSpy* replots : {&chart1Replots, &chart3Replots, &g1Replots, &g2Replots})
      EXPECT_GE(replots->count(), 1);
  }
}

TEST_F(ChartAppearanceTest, BackgroundAndGridCommandsActOnAllFiveCharts) {
  const QColor system = QApplication::palette().color(QPalette::Window);
  part<QAction>(form, "Line_White")
      ->trigger();  // white series on white charts: the series stay white after "None"

  const struct {
    const char* item;   // the command's name
    QColor background;  // invalid: unchanged
    int grid;           // -1: unchanged
  } cases[] = {{"Back_White", Qt::white, -1},
               {"Grid_Off", {}, 0},
               {"Back_Grey", system, -1},
               {"Grid_On", {}, 1}};
  QColor background = system;
  bool grid = true;
  for (const auto& c : cases) {
    QAction* item = part<QAction>(form, c.item);
    SCOPED_TRACE(item->objectName().toStdString());
    std::vector<std::unique_ptr<QSignalSpy>> replots;
    for (QCustomPlot* chart : charts())
      replots.push_back(std::make_unique<QSignalSpy>(chart, &QCustomPlot::afterReplot));
    item->trigger();
    if (c.background.isValid()) background = c.background;
    if (c.grid >= 0) grid = c.grid == 1;

    EXPECT_TRUE(item->isChecked());
    for (std::size_t i = 0; i < charts().size(); ++i) {
      QCustomPlot* chart = charts()[i];
      SCOPED_TRACE(chart->objectName().toStdString());
      EXPECT_EQ(rgb(backgroundOf(chart)), rgb(background));
      EXPECT_EQ(chart->xAxis->grid()->visible(), grid);
      EXPECT_EQ(chart->yAxis->grid()->visible(), grid);
      EXPECT_GE(replots[i]->count(), 1);
    }
    EXPECT_EQ(rgb(part<QCPGraph>(form, "Serie")->pen().color()), rgb(Qt::white));
  }
}

TEST_F(ChartAppearanceTest, StyleCommandsChangeTheMainLineOnly) {
  const QPen histogramPen = part<QCPBars>(form, "histogram")->pen();
  const QBrush histogramBrush = part<QCPBars>(form, "histogram")->brush();
  const QCPScatterStyle::ScatterShape g1Shape =
      part<QCPGraph>(form, "G1_serie")->scatterStyle().shape();

  const struct {
    const char* item;  // the command's name
    QCPGraph::LineStyle line;
    QCPScatterStyle::ScatterShape markers;
  } cases[] = {{"Points", QCPGraph::lsNone, QCPScatterStyle::ssCross},
               {"Both", QCPGraph::lsLine, QCPScatterStyle::ssCross},
               {"Lines", QCPGraph::lsLine, QCPScatterStyle::ssNone}};
  for (const auto& c : cases) {
    QAction* item = part<QAction>(form, c.item);
    SCOPED_TRACE(item->objectName().toStdString());
    QSignalSpy replots(part<QCustomPlot>(form, "Chart1"), &QCustomPlot::afterReplot);
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(part<QCPGraph>(form, "Serie")->lineStyle(), c.line);
    EXPECT_EQ(part<QCPGraph>(form, "Serie")->scatterStyle().shape(), c.markers);
    EXPECT_EQ(part<QCPBars>(form, "histogram")->pen(), histogramPen);
    EXPECT_EQ(part<QCPBars>(form, "histogram")->brush(), histogramBrush);
    EXPECT_EQ(part<QCPGraph>(form, "G1_serie")->scatterStyle().shape(), g1Shape);
    EXPECT_GE(replots.count(), 1);
  }
}

TEST_F(ChartAppearanceTest, CrossesTakeTheSeriesColourChosenBeforeOrAfter) {
  part<QAction>(form, "Grid_Off")->trigger();
  part<QAction>(form, "Back_White")->trigger();
  part<QCPGraph>(form, "Serie")->setData({1, 2, 3}, {1, 3, 2});
  part<QCustomPlot>(form, "Chart1")->rescaleAxes();
  part<QCustomPlot>(form, "Chart1")->xAxis->scaleRange(1.5);
  part<QCustomPlot>(form, "Chart1")->yAxis->scaleRange(1.5);

  auto hasPixel = [](const QImage& image, auto test) {
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (test(image.pixelColor(x, y))) return true;
    return false;
  };
  auto blue = [](const QColor& c) { return c.blue() > 200 && c.red() < 90 && c.green() < 90; };
  auto red = [](const QColor& c) { return c.red() > 200 && c.blue() < 90 && c.green() < 90; };

  part<QAction>(form, "Line_Blue")->trigger();
  part<QAction>(form, "Points")->trigger();
  QImage image = renderChart(part<QCustomPlot>(form, "Chart1"), QSize(300, 300));
  EXPECT_TRUE(hasPixel(image, blue));
  EXPECT_FALSE(hasPixel(image, red));

  part<QAction>(form, "Line_Red")->trigger();
  image = renderChart(part<QCustomPlot>(form, "Chart1"), QSize(300, 300));
  EXPECT_TRUE(hasPixel(image, red));
  EXPECT_FALSE(hasPixel(image, blue));
}

TEST_F(ChartAppearanceTest, PointsMarkEveryValueOfALongTraceEvenOnTheAxisEdge) {
  // several values per pixel column, and the axis fitted to them: the highest lies on the edge
  QVector<double> x, y;
  unsigned noise = 1;
  for (int i = 0; i < 3000; ++i) {
    noise = noise * 1103515245u + 12345u;
    x << i;
    y << (i == 40 ? 1.0 : (noise >> 16) % 1000 / 2500.0);
  }
  part<QCPGraph>(form, "Serie")->setData(x, y);
  part<QCustomPlot>(form, "Chart1")->xAxis->setRange(0, 2999);
  part<QCustomPlot>(form, "Chart1")->yAxis->setRange(0, 1.0);
  part<QAction>(form, "Grid_Off")->trigger();
  part<QAction>(form, "Back_White")->trigger();
  part<QAction>(form, "Points")->trigger();

  const QImage image = renderChart(part<QCustomPlot>(form, "Chart1"), QSize(1000, 500));
  bool highMark = false;  // the noise stays below 0.4: only the high value reaches the top half
  for (int row = 0; row < image.height() / 2 && !highMark; ++row)
    for (int col = 0; col < image.width() && !highMark; ++col) {
      const QColor c = image.pixelColor(col, row);
      highMark = c.red() > 200 && c.green() < 120 && c.blue() < 120;
    }
  EXPECT_TRUE(highMark);
}

TEST_F(ChartAppearanceTest, ResizingMakesThePagesFillTheClientAndTheMainChartFollow) {
  form.show();
  const QPoint chartCorner = part<QCustomPlot>(form, "Chart1")->pos();
  for (QSize requested : {QSize(1000, 900), QSize(700, 600), QSize(60, 60)}) {
    form.resize(requested);
    QApplication::processEvents();
    const QSize client = form.centralWidget()->size();
    SCOPED_TRACE(client.width());
    // the outer size counts 8 and 54 pixels for frame, menu and status bar
    EXPECT_EQ(part<QCustomPlot>(form, "Chart1")->size(),
              QSize(std::max(0, client.width() + 8 - 55), std::max(0, client.height() + 54 - 285)));
    EXPECT_EQ(part<QCustomPlot>(form, "Chart1")->pos(), chartCorner);
    EXPECT_EQ(part<QTabWidget>(form, "Pages")->size(), client);
    EXPECT_EQ(client.width(), form.size().width());
  }
  EXPECT_EQ(part<QCustomPlot>(form, "G1_graph")->size(), QSize(389, 310));
  EXPECT_EQ(part<QCustomPlot>(form, "Chart4")->size(), QSize(389, 321));
}

TEST_F(ChartAppearanceTest, AlwaysOnTopTogglesTheCheckAndTheWindowStyle) {
  form.show();
  for (bool expected : {true, false}) {
    part<QAction>(form, "Alwaysontop")->trigger();
    EXPECT_EQ(part<QAction>(form, "Alwaysontop")->isChecked(), expected);
    EXPECT_EQ(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint), expected);
    EXPECT_TRUE(form.isVisible());
  }
}

}  // namespace
}  // namespace varno
