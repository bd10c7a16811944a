// The chart popup commands on all five charts, the main line's style, resizing and "Always on top".
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QTabWidget>
#include <qcustomplot.h>

#include "charts/chart_export.h"
#include "scripted_dialogs.h"
#include "charts/interval_series.h"
#include "ui/plotwin2.h"

namespace varno {
namespace {

using testing::ScriptedDialogs;
using Action = QAction* TForm3::*;

struct ChartAppearanceTest : ::testing::Test {
  ScriptedDialogs dialogs;
  TForm3 form{dialogs};

  std::vector<QCustomPlot*> charts() const {
    return {form.Chart1, form.G1_graph, form.G2_graph, form.Chart4, form.Chart3};
  }
  // The corner of a drawing lies outside the plot area: it shows the chart's background.
  static QColor backgroundOf(QCustomPlot* chart) {
    return renderChart(chart, QSize(80, 80)).pixelColor(0, 0);
  }
};

QString rgb(const QColor& c) { return c.name(); }

TEST_F(ChartAppearanceTest, ColourCommandsRecolourEverySeriesButTheIntervals) {
  form.hpdis->setItems({{0.1, 0.4, 1, "1", QColor(10, 20, 30)}, {0.2, 0.6, 2, "2", QColor(40, 50, 60)}});
  const QPen hpdisPen = form.hpdis->pen();

  // each step changes from the previous colour; "Red" comes back last, from "White"
  const struct {
    Action item;
    QColor colour;
  } cases[] = {{&TForm3::Line_Blue, QColor(0, 0, 255)},    {&TForm3::Line_Black, QColor(0, 0, 0)},
               {&TForm3::Line_Green, QColor(0, 128, 0)},   {&TForm3::Line_Gray, QColor(128, 128, 128)},
               {&TForm3::Line_White, QColor(255, 255, 255)}, {&TForm3::Line_Red, QColor(255, 0, 0)}};
  for (const auto& c : cases) {
    QAction* item = form.*c.item;
    SCOPED_TRACE(item->objectName().toStdString());
    QSignalSpy chart1Replots(form.Chart1, &QCustomPlot::afterReplot);
    QSignalSpy chart3Replots(form.Chart3, &QCustomPlot::afterReplot);
    QSignalSpy g1Replots(form.G1_graph, &QCustomPlot::afterReplot);
    QSignalSpy g2Replots(form.G2_graph, &QCustomPlot::afterReplot);
    item->trigger();

    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(rgb(form.Serie->pen().color()), rgb(c.colour));
    EXPECT_EQ(rgb(form.histogram->pen().color()), rgb(c.colour));
    EXPECT_EQ(rgb(form.histogram->brush().color()), rgb(Qt::white));
    EXPECT_EQ(rgb(form.model->pen().color()), rgb(c.colour));
    EXPECT_EQ(rgb(form.model->brush().color()), rgb(c.colour));
    for (QCPGraph* points : {form.G1_serie, form.G2_serie}) {
      EXPECT_EQ(rgb(points->scatterStyle().pen().color()), rgb(c.colour));
      EXPECT_EQ(points->scatterStyle().pen().widthF(), 2);
      EXPECT_EQ(points->scatterStyle().shape(), QCPScatterStyle::ssCross);
    }
    EXPECT_EQ(form.G1_serie->scatterStyle().brush().style(), Qt::NoBrush);
    EXPECT_EQ(rgb(form.G2_serie->scatterStyle().brush().color()), rgb(c.colour));
    EXPECT_EQ(rgb(form.hpdis->items()[0].color), "#0a141e");
    EXPECT_EQ(rgb(form.hpdis->items()[1].color), "#28323c");
    EXPECT_EQ(form.hpdis->pen(), hpdisPen);
    for (QSignalSpy* replots : {&chart1Replots, &chart3Replots, &g1Replots, &g2Replots})
      EXPECT_GE(replots->count(), 1);
  }
}

TEST_F(ChartAppearanceTest, BackgroundAndGridCommandsActOnAllFiveCharts) {
  const QColor system = QApplication::palette().color(QPalette::Window);
  form.Line_White->trigger();  // white series on white charts: the series stay white after "None"

  const struct {
    Action item;
    QColor background;  // invalid: unchanged
    int grid;           // -1: unchanged
  } cases[] = {{&TForm3::Back_White, Qt::white, -1},
               {&TForm3::Grid_Off, {}, 0},
               {&TForm3::Back_Grey, system, -1},
               {&TForm3::Grid_On, {}, 1}};
  QColor background = system;
  bool grid = true;
  for (const auto& c : cases) {
    QAction* item = form.*c.item;
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
    EXPECT_EQ(rgb(form.Serie->pen().color()), rgb(Qt::white));
  }
}

TEST_F(ChartAppearanceTest, StyleCommandsChangeTheMainLineOnly) {
  const QPen histogramPen = form.histogram->pen();
  const QBrush histogramBrush = form.histogram->brush();
  const QCPScatterStyle::ScatterShape g1Shape = form.G1_serie->scatterStyle().shape();

  const struct {
    Action item;
    QCPGraph::LineStyle line;
    QCPScatterStyle::ScatterShape markers;
  } cases[] = {{&TForm3::Points, QCPGraph::lsNone, QCPScatterStyle::ssCross},
               {&TForm3::Both, QCPGraph::lsLine, QCPScatterStyle::ssCross},
               {&TForm3::Lines, QCPGraph::lsLine, QCPScatterStyle::ssNone}};
  for (const auto& c : cases) {
    QAction* item = form.*c.item;
    SCOPED_TRACE(item->objectName().toStdString());
    QSignalSpy replots(form.Chart1, &QCustomPlot::afterReplot);
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(form.Serie->lineStyle(), c.line);
    EXPECT_EQ(form.Serie->scatterStyle().shape(), c.markers);
    EXPECT_EQ(form.histogram->pen(), histogramPen);
    EXPECT_EQ(form.histogram->brush(), histogramBrush);
    EXPECT_EQ(form.G1_serie->scatterStyle().shape(), g1Shape);
    EXPECT_GE(replots.count(), 1);
  }
}

TEST_F(ChartAppearanceTest, CrossesTakeTheSeriesColourChosenBeforeOrAfter) {
  form.Grid_Off->trigger();
  form.Back_White->trigger();
  form.Serie->setData({1, 2, 3}, {1, 3, 2});
  form.Chart1->rescaleAxes();
  form.Chart1->xAxis->scaleRange(1.5);
  form.Chart1->yAxis->scaleRange(1.5);

  auto hasPixel = [](const QImage& image, auto test) {
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (test(image.pixelColor(x, y))) return true;
    return false;
  };
  auto blue = [](const QColor& c) { return c.blue() > 200 && c.red() < 90 && c.green() < 90; };
  auto red = [](const QColor& c) { return c.red() > 200 && c.blue() < 90 && c.green() < 90; };

  form.Line_Blue->trigger();
  form.Points->trigger();
  QImage image = renderChart(form.Chart1, QSize(300, 300));
  EXPECT_TRUE(hasPixel(image, blue));
  EXPECT_FALSE(hasPixel(image, red));

  form.Line_Red->trigger();
  image = renderChart(form.Chart1, QSize(300, 300));
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
  form.Serie->setData(x, y);
  form.Chart1->xAxis->setRange(0, 2999);
  form.Chart1->yAxis->setRange(0, 1.0);
  form.Grid_Off->trigger();
  form.Back_White->trigger();
  form.Points->trigger();

  const QImage image = renderChart(form.Chart1, QSize(1000, 500));
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
  const QPoint chartCorner = form.Chart1->pos();
  for (QSize requested : {QSize(1000, 900), QSize(700, 600), QSize(60, 60)}) {
    form.resize(requested);
    QApplication::processEvents();
    const QSize client = form.centralWidget()->size();
    SCOPED_TRACE(client.width());
    // the outer size counts 8 and 54 pixels for frame, menu and status bar
    EXPECT_EQ(form.Chart1->size(),
              QSize(std::max(0, client.width() + 8 - 55), std::max(0, client.height() + 54 - 285)));
    EXPECT_EQ(form.Chart1->pos(), chartCorner);
    EXPECT_EQ(form.Pages->size(), client);
    EXPECT_EQ(client.width(), form.size().width());
  }
  EXPECT_EQ(form.G1_graph->size(), QSize(389, 310));
  EXPECT_EQ(form.Chart4->size(), QSize(389, 321));
}

TEST_F(ChartAppearanceTest, AlwaysOnTopTogglesTheCheckAndTheWindowStyle) {
  form.show();
  for (bool expected : {true, false}) {
    form.Alwaysontop->trigger();
    EXPECT_EQ(form.Alwaysontop->isChecked(), expected);
    EXPECT_EQ(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint), expected);
    EXPECT_TRUE(form.isVisible());
  }
}

}  // namespace
}  // namespace varno
