// The rank and ESS figures on the main chart: what each draws, that switching figures leaves
// nothing of the last one behind, and the words that name chains leaving the band.
#include "charts/rank_charts.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <qcustomplot.h>

namespace varno {
namespace {

struct RankCharts : ::testing::Test {
  QWidget page;
  MainChart main = makeMainChart(&page);
};

RankEcdf ecdfWithExits(bool halves, std::vector<std::vector<double>> outside) {
  RankEcdf ecdf;
  ecdf.halves = halves;
  ecdf.z = {0, 0.5, 1};
  ecdf.lower = {0, -0.2, 0};
  ecdf.upper = {0, 0.2, 0};
  for (std::size_t c = 0; c < outside.size(); ++c) {
    RankEcdfCurve& curve = ecdf.curves.emplace_back();
    curve.chain = halves ? 1 : static_cast<int>(c + 1);
    curve.half = halves ? static_cast<int>(c + 1) : 0;
    curve.difference = {0, 0.1, 0};
    curve.outsideAt = outside[c];
  }
  return ecdf;
}

TEST(RankChartTexts, ChainsLeavingTheBandAreNamedByTheirNumbers) {
  const struct {
    const char* name;
    RankEcdf ecdf;
    std::vector<int> chains;
    QString said;
  } cases[] = {
      {"none leaves", ecdfWithExits(false, {{}, {}}), {1, 2}, ""},
      // chain 2 was left out: the second curve is chain 3
      {"a range", ecdfWithExits(false, {{}, {0.1, 0.2, 0.3}}), {1, 3},
       "chain 3 leaves the 95% band (at fractional ranks 0.1 to 0.3)"},
      {"two chains", ecdfWithExits(false, {{0.5}, {0.25, 0.75}}), {1, 2},
       "chain 1 leaves the 95% band (at fractional rank 0.5); chain 2 leaves the 95% band (at fractional ranks "
       "0.25 to 0.75)"},
      {"halves", ecdfWithExits(true, {{}, {0.5}}), {1}, "second half leaves the 95% band (at fractional rank 0.5)"},
  };
  for (const auto& c : cases) EXPECT_EQ(bandExitText(c.ecdf, c.chains), c.said) << c.name;
}

// Every figure in turn and back: the chart keeps no plottable, item, ticker, axis name or legend
// of the one before, and the main chart's own series come back as they were.
TEST_F(RankCharts, EachFigureTakesAwayWhatTheLastOneDrew) {
  QCustomPlot* chart = main.chart;
  chart->xAxis->setLabel("before x");
  chart->yAxis->setLabel("before y");
  const int plottables = chart->plottableCount(), items = chart->itemCount();
  const QSharedPointer<QCPAxisTicker> ticker = chart->xAxis->ticker();

  RankHistogram histogram;
  histogram.bins = 4;
  histogram.draws = 16;
  histogram.expected = 2;
  histogram.counts = {{1, 2, 3, 2}, {3, 2, 1, 2}};
  EssProfile profile;
  profile.quantile = {{0.05, 100.0}, {0.5, std::nullopt}, {0.95, 300.0}};
  profile.run = {{10, 50.0, 40.0}, {20, 100.0, std::nullopt}};

  RankFigure drawn = showRankHistogram(main, histogram, {1, 3});
  EXPECT_EQ(chart->plottableCount(), plottables + 2);  // a bars plottable per chain
  auto* bars = qobject_cast<QCPBars*>(chart->plottable(plottables + 1));
  ASSERT_TRUE(bars);
  EXPECT_EQ(bars->name(), "chain 3");
  EXPECT_EQ(bars->data()->size(), 4);
  EXPECT_EQ((bars->data()->begin() + 2)->value, 1);
  EXPECT_NE(chart->xAxis->ticker(), ticker);
  EXPECT_FALSE(main.serie->visible());

  drawn = showRankEcdf(main, ecdfWithExits(false, {{}, {0.5}}), {1, 2}, std::move(drawn));
  EXPECT_EQ(chart->plottableCount(), plottables + 4);  // the band's two lines and two curves
  EXPECT_EQ(chart->xAxis->ticker(), ticker);
  EXPECT_TRUE(chart->legend->visible());

  drawn = showEssProfile(main, profile, EssProfileKind::run, 400, std::move(drawn));
  EXPECT_EQ(chart->plottableCount(), plottables + 3);  // bulk with its line from the origin, tail
  EXPECT_EQ(chart->yAxis->label(), "ESS");
  EXPECT_GE(chart->yAxis->range().upper, 400);  // the target shows

  drawn = showEssProfile(main, profile, EssProfileKind::quantile, std::nullopt, std::move(drawn));
  ASSERT_EQ(chart->plottableCount(), plottables + 1);
  EXPECT_TRUE(std::isnan((chart->graph(chart->graphCount() - 1)->data()->begin() + 1)->value));  // NA breaks the line

  clearRankFigure(main, drawn);
  EXPECT_EQ(chart->plottableCount(), plottables);
  EXPECT_EQ(chart->itemCount(), items);
  EXPECT_EQ(chart->xAxis->ticker(), ticker);
  EXPECT_EQ(chart->xAxis->label(), "before x");
  EXPECT_EQ(chart->yAxis->label(), "before y");
  EXPECT_FALSE(chart->legend->visible());
}

}  // namespace
}  // namespace varno
