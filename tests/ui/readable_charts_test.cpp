// Charts that stay readable: HPDI labels thinned so that none overlap, any interval named under
// the mouse, intervals in the background's colour drawn grey, tick labels that always differ.
#include <gtest/gtest.h>

#include <QWidget>
#include <qcustomplot.h>

#include "charts/chart_export.h"
#include "charts/chart_setup.h"
#include "charts/interval_series.h"
#include "charts/window_charts.h"

namespace varno {
namespace {

std::vector<HpdiInterval> populations(int count, int colourSlot = 0) {
  std::vector<HpdiInterval> hpdis;
  for (int p = 0; p < count; ++p) {
    HpdiInterval h;
    h.label = "Fst" + std::to_string(p + 1);
    h.low = 0.05 + 0.001 * (p % 13);
    h.high = 0.2 + 0.002 * (p % 17);
    h.y = count - p + 1;
    h.colourSlot = colourSlot;
    hpdis.push_back(h);
  }
  return hpdis;
}

struct ReadableCharts : ::testing::Test {
  QWidget page;
  HpdiChart hpdi = makeHpdiChart(&page);

  // shown, so that a chart lays itself out for its size as on screen
  void SetUp() override { page.show(); }

  std::vector<IntervalSeries::LabelPlacement> labels() {
    return hpdi.hpdis->labelPlacements(QFontMetricsF(hpdi.hpdis->labelFont()));
  }
};

TEST_F(ReadableCharts, HpdiLabelsAllShowWhileTheyFitAndAreThinnedSoThatNoneOverlap) {
  const struct {
    int populations;
    QSize size;
    bool all;  // every interval labelled
  } cases[] = {{6, {389, 321}, true}, {100, {389, 321}, false}, {100, {778, 2400}, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.populations) + " populations");
    hpdi.chart->resize(c.size);
    showHpdis(hpdi, populations(c.populations), c.populations);
    const auto placed = labels();
    if (c.all) {
      EXPECT_EQ(placed.size(), static_cast<std::size_t>(c.populations));
    } else {
      EXPECT_LT(placed.size(), static_cast<std::size_t>(c.populations));
      EXPECT_GT(placed.size(), 5u);
      // every k-th population: equal steps between the labelled items
      const std::size_t step = placed[1].item - placed[0].item;
      for (std::size_t i = 1; i < placed.size(); ++i) EXPECT_EQ(placed[i].item - placed[i - 1].item, step);
    }
    for (std::size_t i = 0; i < placed.size(); ++i) {
      for (std::size_t j = i + 1; j < placed.size(); ++j) {
        EXPECT_FALSE(placed[i].rect.intersects(placed[j].rect)) << placed[i].item << " and " << placed[j].item;
      }
    }
  }
}

TEST_F(ReadableCharts, TheIntervalUnderTheMouseIsFoundWhetherOrNotItsLabelIsDrawn) {
  showHpdis(hpdi, populations(100), 100);
  for (int item : {0, 37, 99}) {
    const IntervalSeries::Item& it = hpdi.hpdis->items()[static_cast<std::size_t>(item)];
    const QPointF middle = hpdi.hpdis->coordsToPixels((it.start + it.end) / 2, it.y);
    EXPECT_EQ(hpdi.hpdis->itemAt(middle), item);
  }
  EXPECT_EQ(hpdi.hpdis->itemAt(QPointF(-50, -50)), -1);
}

// Population p's interval takes slot (p - 1) mod 9 of nine colours, the first two red and blue.
TEST(HpdiColours, EachSlotHasItsColour) {
  const QColor expected[] = {QColor(255, 0, 0),     QColor(0, 0, 255),     QColor(255, 255, 0),
                             QColor(255, 255, 255), QColor(128, 0, 128),   QColor(0, 128, 128),
                             QColor(128, 128, 128), QColor(0, 255, 0),     QColor(255, 0, 255)};
  for (int slot = 0; slot < kHpdiColourSlots; ++slot) EXPECT_EQ(hpdiColour(slot), expected[slot]) << slot;
}

// A white interval on a white background is drawn grey; on the window's grey it stays white.
TEST_F(ReadableCharts, AnIntervalInTheBackgroundsColourIsDrawnInMidGrey) {
  const struct {
    QColor background;
    QColor drawn;
  } cases[] = {{Qt::white, QColor(128, 128, 128)}, {QColor(240, 240, 240), Qt::white}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.background.name().toStdString());
    setChartBackground(hpdi.chart, c.background);
    showHpdis(hpdi, populations(3, 3), 3);  // white
    const IntervalSeries::Item& it = hpdi.hpdis->items()[1];
    EXPECT_EQ(hpdi.hpdis->drawnColour(it), c.drawn);
    const QImage image = renderChart(hpdi.chart, hpdi.chart->size());
    const QPointF middle = hpdi.hpdis->coordsToPixels((it.start + it.end) / 2, it.y);
    EXPECT_EQ(image.pixelColor(middle.toPoint()).name(), c.drawn.name());
  }
}

// A trace or density of small values: the ticks of both axes keep distinct labels.
TEST_F(ReadableCharts, TickLabelsOfSmallValuesDifferFromEachOther) {
  const MainChart main = makeMainChart(&page);
  ColumnFigures figures;
  FigureLine& line = figures.lines.emplace_back();
  for (int i = 0; i <= 200; ++i) {
    line.x.push_back(0.00030 + 0.0000002 * i);
    line.y.push_back(0.00031 + 0.00000005 * (i % 50));
  }
  showColumnLine(main, columnLineData(figures));
  for (QCPAxis* axis : {main.chart->xAxis, main.chart->yAxis}) {
    const QVector<QString> ticks = axis->tickVectorLabels();
    ASSERT_GT(ticks.size(), 2);
    EXPECT_EQ(QSet<QString>(ticks.begin(), ticks.end()).size(), ticks.size()) << QStringList(ticks).join(" | ").toStdString();
  }
}

// Yellow and white on the window's grey, yellow on white: each interval keeps its colour and gets a
// dark edge; red needs none.
TEST_F(ReadableCharts, AnIntervalCloseToTheBackgroundIsOutlinedInDark) {
  const struct {
    QColor background;
    int colourSlot;
    bool outlined;
  } cases[] = {{QColor(240, 240, 240), 2, true},  // yellow
               {QColor(240, 240, 240), 3, true},  // white
               {Qt::white, 2, true},
               {QColor(240, 240, 240), 0, false},  // red
               {Qt::white, 1, false}};            // blue
  for (const auto& c : cases) {
    const QColor colour = hpdiColour(c.colourSlot);
    SCOPED_TRACE(colour.name().toStdString() + " on " + c.background.name().toStdString());
    setChartBackground(hpdi.chart, c.background);
    showHpdis(hpdi, populations(3, c.colourSlot), 3);
    const IntervalSeries::Item& it = hpdi.hpdis->items()[1];
    EXPECT_EQ(hpdi.hpdis->outlined(it), c.outlined);
    const QImage image = renderChart(hpdi.chart, hpdi.chart->size());
    const QPoint middle = hpdi.hpdis->coordsToPixels((it.start + it.end) / 2, it.y).toPoint();
    EXPECT_EQ(image.pixelColor(middle).name(), colour.name()) << "the designed colour is kept";
    // just beside the line: a dark edge, or the background
    const QColor beside = image.pixelColor(middle + QPoint(0, 2));
    if (c.outlined) {
      EXPECT_LT(beside.lightness(), 100) << beside.name().toStdString();
    } else {
      EXPECT_EQ(beside.name(), c.background.name());
    }
  }
}

// Both axes over the same values write the same labels: no blank between thousands on either.
TEST_F(ReadableCharts, EveryAxisWritesNumbersInOneStyle) {
  const MainChart main = makeMainChart(&page);
  ColumnFigures figures;
  FigureLine& line = figures.lines.emplace_back();
  for (int i = 0; i <= 5000; i += 50) {
    line.x.push_back(i);
    line.y.push_back(i);
  }
  showColumnLine(main, columnLineData(figures));
  const FactorChart g1 = makeFactorChart(&page, 1);
  showFactorPoints(g1, {{0, 0}, {5000, 5000}});
  std::vector<QVector<QString>> labels;
  for (QCustomPlot* chart : {main.chart, g1.chart}) {
    chart->xAxis->setRange(0, 5000);
    chart->yAxis->setRange(0, 5000);
    chart->replot();
    for (QCPAxis* axis : {chart->xAxis, chart->yAxis}) labels.push_back(axis->tickVectorLabels());
  }
  ASSERT_FALSE(labels[0].isEmpty());
  EXPECT_TRUE(labels[0].contains("2000") || labels[0].contains("2500")) << QStringList(labels[0]).join(" | ").toStdString();
  for (const auto& l : labels) {
    EXPECT_EQ(l, labels[0]) << QStringList(l).join(" | ").toStdString();
    for (const QString& text : l) EXPECT_FALSE(text.contains(' ')) << text.toStdString();
  }
}

}  // namespace
}  // namespace varno
