// The plots that compare the chains of a column on the Details page: Ranks, Rank ECDF and the ESS
// profiles, found by their designed names and checked against the figures the statistics give.
#include <qcustomplot.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <vector>

#include "report/convergence_target.h"
#include "stats/rank_plots.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

// Uniform draws of a linear congruential sequence, `shift` added: chains of one sequence mix,
// a shifted chain does not.
std::vector<double> draws(int count, unsigned seed, double shift = 0) {
  std::vector<double> values;
  unsigned state = seed;
  for (int i = 0; i < count; ++i) {
    state = state * 1103515245u + 12345u;
    values.push_back(shift + ((state >> 8) & 0xFFFF) / 65536.0);
  }
  return values;
}

// A plain table: the counter, then the draws.
QByteArray table(const std::vector<double>& values) {
  QByteArray text;
  for (std::size_t r = 0; r < values.size(); ++r)
    text += QByteArray::number(static_cast<int>(r) + 1) + " " + QByteArray::number(values[r], 'g', 17) + "\n";
  return text;
}

struct ChainPlotsWindow : WindowFixture {
  // Opens the chains (chain 1 first) and shows their column 2.
  void open(const std::vector<std::vector<double>>& chains) {
    QStringList paths;
    for (std::size_t c = 0; c < chains.size(); ++c)
      paths << write(QString("chain%1.txt").arg(c + 1), table(chains[c]));
    form->actOnCommandLine({paths.front()}, paths.mid(1));
    idle();
    choose(part<QComboBox>(*form, "xi"), 1);
    idle();
  }
  void click(const char* plotType) {
    part<QRadioButton>(*form, plotType)->click();
    idle();
  }
  QCustomPlot* chart() const { return part<QCustomPlot>(*form, "Chart1"); }
  QString status() const { return form->statusBar()->currentMessage(); }
  template <class T>
  T* drawn(const QString& name) const {
    return chart()->findChild<T*>(name);
  }
  // the values of a line of the chart, in the order of its keys
  std::vector<double> values(const char* name) const {
    std::vector<double> ys;
    auto* graph = drawn<QCPGraph>(name);
    if (!graph) return ys;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it) ys.push_back(it->value);
    return ys;
  }
  std::vector<double> heights(const QString& bars) const {
    std::vector<double> ys;
    auto* b = drawn<QCPBars>(bars);
    if (!b) return ys;
    for (auto it = b->data()->constBegin(); it != b->data()->constEnd(); ++it) ys.push_back(it->value);
    return ys;
  }
  // the title the main chart's figure is saved with
  QString savedTitle() {
    const QString file = dir.filePath("figure.svg");
    dialogs.files = {file};
    trigger(*form, "Save");
    const QByteArray svg = fileBytes(file);
    const auto begin = svg.indexOf("<title>") + 7, end = svg.indexOf("</title>");
    return begin >= 7 && end > begin ? QString::fromUtf8(svg.mid(begin, end - begin)) : QString();
  }
};

std::vector<double> asDoubles(const std::vector<std::int64_t>& counts) {
  return std::vector<double>(counts.begin(), counts.end());
}

// Each chain's counts of ranks in the bins the class-count edit gives (20 until it is set for
// Ranks; the histogram keeps its own count), over the retained rows; back to the trace, nothing
// of the ranks stays.
TEST_F(ChainPlotsWindow, RanksDrawEachChainsCountsInTheBinsOfTheClassCount) {
  const std::vector<double> a = draws(200, 1), b = draws(200, 2);
  open({a, b});
  click("ranks");
  EXPECT_EQ(part<QLineEdit>(*form, "nb_histo2")->text(), "20");
  const auto expectBars = [&](int bins, int burnIn) {
    const std::vector<double> keptA(a.begin() + burnIn, a.end()), keptB(b.begin() + burnIn, b.end());
    const RankPlots expected = rankPlots(std::vector<std::vector<double>>{keptA, keptB}, bins);
    ASSERT_EQ(expected.histogram.counts.size(), 2u);
    EXPECT_EQ(heights("rank_bars_1"), asDoubles(expected.histogram.counts[0]));
    EXPECT_EQ(heights("rank_bars_2"), asDoubles(expected.histogram.counts[1]));
    EXPECT_EQ(drawn<QCPBars>("rank_bars_3"), nullptr);
    auto* level = drawn<QCPItemStraightLine>("rank_expected");
    ASSERT_NE(level, nullptr);
    EXPECT_DOUBLE_EQ(level->point1->coords().y(), 2.0 * static_cast<double>(keptA.size()) / (bins * 2));
  };
  {
    SCOPED_TRACE("default bins");
    expectBars(20, 0);
  }
  part<QLineEdit>(*form, "nb_histo2")->setText("7");
  idle();
  {
    SCOPED_TRACE("7 bins");
    expectBars(7, 0);
  }
  part<QLineEdit>(*form, "Cutin")->setText("50");
  idle();
  {
    SCOPED_TRACE("burn-in 50");
    expectBars(7, 50);
  }
  EXPECT_EQ(savedTitle(), "Ranks of column 2");
  // the counter has no ranks: no bars, and the status line says why
  choose(part<QComboBox>(*form, "xi"), 0);
  idle();
  EXPECT_EQ(drawn<QCPBars>("rank_bars_1"), nullptr);
  EXPECT_EQ(status(), "Ranks of column 1: column 1 is not a sampled quantity (a counter or the Model column) and has "
                      "no ranks");
  click("histo");
  EXPECT_EQ(part<QLineEdit>(*form, "nb_histo2")->text(), "30");
  click("ranks");
  EXPECT_EQ(part<QLineEdit>(*form, "nb_histo2")->text(), "7");
  click("normal");
  EXPECT_EQ(drawn<QCPBars>("rank_bars_1"), nullptr);
  EXPECT_EQ(drawn<QCPItemStraightLine>("rank_expected"), nullptr);
  EXPECT_EQ(chart()->xAxis->label(), "");
  EXPECT_EQ(dynamic_cast<QCPAxisTickerText*>(chart()->xAxis->ticker().data()), nullptr);
  EXPECT_FALSE(chart()->toolTip().contains("Ranks"));
}

// Each chain's rank ECDF difference, or one chain's two halves, as the statistics give them; a
// chain that leaves the band is named in the status line and the chart's tooltip.
TEST_F(ChainPlotsWindow, RankEcdfDrawsEveryCurveAndNamesAChainLeavingTheBand) {
  const struct Case {
    const char* name;
    std::vector<std::vector<double>> chains;
    std::vector<QString> curves;
    QString says;
  } cases[] = {
      {"one chain", {draws(300, 3)}, {"first half", "second half"}, "both halves of the chain stay within the 95% band"},
      {"two chains that mix", {draws(300, 3), draws(300, 4)}, {"chain 1", "chain 2"},
       "every chain stays within the 95% band"},
      {"a chain shifted", {draws(300, 3), draws(300, 4, 0.5)}, {"chain 1", "chain 2"}, "leaves the 95% band"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    open(c.chains);
    click("rankEcdf");
    const RankEcdf expected = rankPlots(c.chains).ecdf;
    ASSERT_EQ(expected.curves.size(), c.curves.size());
    for (std::size_t k = 0; k < c.curves.size(); ++k) {
      const QString name = QString("rank_ecdf_%1").arg(k + 1);
      ASSERT_NE(drawn<QCPGraph>(name), nullptr);
      EXPECT_EQ(drawn<QCPGraph>(name)->name(), c.curves[k]);
      EXPECT_EQ(values(name.toLatin1().constData()), expected.curves[k].difference);
    }
    EXPECT_EQ(drawn<QCPGraph>("rank_ecdf_3"), nullptr);
    EXPECT_EQ(values("rank_band_upper"), expected.upper);
    EXPECT_EQ(values("rank_band_lower"), expected.lower);
    EXPECT_TRUE(status().startsWith("Rank ECDF difference of column 2: ")) << status().toStdString();
    EXPECT_TRUE(status().contains(c.says)) << status().toStdString();
    EXPECT_TRUE(chart()->toolTip().contains(c.says)) << chart()->toolTip().toStdString();
  }
  EXPECT_EQ(savedTitle(), "Rank ECDF difference of column 2");
}

// The three ESS profiles as the statistics give them, each against the convergence target's ESS.
TEST_F(ChainPlotsWindow, EssDrawsTheKindChosenAgainstTheTarget) {
  const std::vector<std::vector<double>> chains = {draws(200, 5), draws(200, 6)};
  open(chains);
  EXPECT_FALSE(part<QComboBox>(*form, "essKind")->isVisibleTo(form.get()));
  click("essProfile");
  EXPECT_TRUE(part<QComboBox>(*form, "essKind")->isVisibleTo(form.get()));
  const EssProfile expected = columnEssProfile(chains);
  const auto essOf = [](const auto& points, auto field) {
    std::vector<double> ys;
    for (const auto& p : points) ys.push_back((p.*field).value_or(std::numeric_limits<double>::quiet_NaN()));
    return ys;
  };
  const struct Case {
    int kind;
    QString title;
    std::vector<std::pair<const char*, std::vector<double>>> lines;
  } cases[] = {
      {0, "Quantile ESS of column 2", {{"ess_quantile_ESS", essOf(expected.quantile, &EssPoint::ess)}}},
      {1, "Local ESS of column 2", {{"ess_local_ESS", essOf(expected.local, &EssPoint::ess)}}},
      {2,
       "ESS over the run of column 2",
       {{"ess_bulk_ESS", essOf(expected.run, &EssRunPoint::essBulk)},
        {"ess_tail_ESS", essOf(expected.run, &EssRunPoint::essTail)}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title.toStdString());
    choose(part<QComboBox>(*form, "essKind"), c.kind);
    idle();
    for (const auto& [name, ys] : c.lines) {
      ASSERT_FALSE(ys.empty());
      const std::vector<double> shown = values(name);
      ASSERT_EQ(shown.size(), ys.size()) << name;
      for (std::size_t i = 0; i < ys.size(); ++i)
        EXPECT_TRUE(shown[i] == ys[i] || (std::isnan(shown[i]) && std::isnan(ys[i]))) << name << " " << i;
    }
    int lines = 0;
    for (const char* other : {"ess_quantile_ESS", "ess_local_ESS", "ess_bulk_ESS", "ess_tail_ESS"})
      lines += drawn<QCPGraph>(other) != nullptr;
    EXPECT_EQ(lines, static_cast<int>(c.lines.size()));
    auto* target = drawn<QCPItemStraightLine>("ess_target");
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->point1->coords().y(), defaultTargetEss(2));
    EXPECT_EQ(savedTitle(), c.title);
  }
  // the target set in its dialog moves the line at once: both bounds must hold, so the larger
  ConvergenceTarget target;
  target.essBulk = 900;
  target.essTail = 650;
  dialogs.targets = {target};
  part<QAction>(*form, "convergenceTarget")->trigger();
  idle();
  ASSERT_NE(drawn<QCPItemStraightLine>("ess_target"), nullptr);
  EXPECT_EQ(drawn<QCPItemStraightLine>("ess_target")->point1->coords().y(), 900);
  click("rankEcdf");
  EXPECT_FALSE(part<QComboBox>(*form, "essKind")->isVisibleTo(form.get()));
  EXPECT_EQ(drawn<QCPItemStraightLine>("ess_target"), nullptr);
}

}  // namespace
}  // namespace varno
