// The Details page's plots of the chains of its column: their ranks, their rank ECDF within the
// band, and the column's ESS profiles. Each is computed off the window's thread after the column's
// statistics and drawn only while it describes the figures on screen and is the plot asked for.
#include <QComboBox>
#include <QLocale>
#include <QStringList>
#include <qcustomplot.h>

#include "report/convergence_target.h"
#include "stats/chain_diagnostics.h"
#include "stats/number_format.h"
#include "ui/details_page.h"
#include "ui/job_runner.h"

namespace varno {

namespace {

// The rows a plot of the chains describes, for its tooltip: "rows 1,001–3,000 of each of 2 chains".
QString rowsDescribed(const std::vector<ChainRows>& chains) {
  const QLocale english(QLocale::English);
  const auto range = [&](RowRange rows) {
    return rows.count() == 0 ? QString("no rows")
                             : QString("rows %1–%2").arg(english.toString(rows.begin + 1), english.toString(rows.end));
  };
  bool alike = true;
  for (const ChainRows& chain : chains) alike = alike && chain.rows == chains.front().rows;
  if (chains.size() == 1) return range(chains.front().rows);
  if (alike) return QString("%1 of each of %2 chains").arg(range(chains.front().rows)).arg(chains.size());
  QStringList each;
  for (std::size_t c = 0; c < chains.size(); ++c) each << QString("%1 of chain %2").arg(range(chains[c].rows)).arg(c + 1);
  return each.join(", ");
}

QString number(double value) { return QString::fromStdString(generalFormat(value, 4)); }

}  // namespace

bool DetailsPage::ChainPlotsKnown::describes(const ColumnFiguresInput& input) const {
  if (tables.size() != input.chains.size()) return false;
  ColumnFiguresInput mine = sample;
  for (std::size_t c = 0; c < tables.size(); ++c) {
    if (tables[c].lock() != input.chains[c].table) return false;
    mine.chains[c].table = input.chains[c].table;
  }
  return sameSample(mine, input);
}

void DetailsPage::requestChainPlot(const ColumnFiguresInput& input) {
  if (!chainPlotWanted_) return;
  const ChainPlotChoice choice = *chainPlotWanted_;
  const bool essPlot = choice.type == ChainPlotType::ess;
  const std::optional<ChainPlotsKnown>& known = essPlot ? essKnown_ : ranksKnown_;
  // the rank ECDF takes no bins: whatever rank plots of the sample are known hold it
  if (known && known->describes(input) && (choice.type != ChainPlotType::ranks || known->bins == choice.bins)) {
    showChainPlot();
    return;
  }
  JobRunner::Job job;
  job.title = essPlot ? "Computing the ESS profile" : "Computing the rank plots";
  job.work = [this, input, essPlot, bins = choice.bins](Progress&) -> JobRunner::Apply {
    ChainPlotsKnown result;
    result.sample = input;
    for (ChainRows& chain : result.sample.chains) {
      result.tables.push_back(chain.table);
      chain.table.reset();
    }
    result.bins = bins;
    {
      const ColumnChainDraws draws = columnChainDraws(input.chains, input.column - 1, input.layout, input.modelFilter);
      result.diagnosed = draws.diagnosed();
      if (result.diagnosed && essPlot) result.ess = std::make_shared<const EssProfile>(columnEssProfile(draws.perChain));
      if (result.diagnosed && !essPlot) result.ranks = std::make_shared<const RankPlots>(rankPlots(draws.perChain, bins));
    }  // the draws' memory is given back here, not on the window's thread
    return [this, result = std::move(result), essPlot] {
      (essPlot ? essKnown_ : ranksKnown_) = result;
      showChainPlot();
    };
  };
  job.failed = [this, essPlot](const std::string& error) {
    reportError(QString(essPlot ? "The ESS profile cannot be computed: " : "The rank plots cannot be computed: ") +
                QString::fromStdString(error));
  };
  jobs_->start(JobRunner::Lane::curve, std::move(job));
}

void DetailsPage::showChainPlot() {
  // drawn only for the figures on screen, while a plot of the chains is still the one asked for
  if (!chainPlotWanted_ || !figuresShown_ || !(figuresShown_ == figuresWanted_)) return;
  const ChainPlotChoice choice = *chainPlotWanted_;
  const bool essPlot = choice.type == ChainPlotType::ess;
  const std::optional<ChainPlotsKnown>& known = essPlot ? essKnown_ : ranksKnown_;
  if (!known || !known->describes(*figuresShown_) || (choice.type == ChainPlotType::ranks && known->bins != choice.bins))
    return;
  const MainChart main{Chart1, Serie, histogram};
  const QString column = columnTitle();
  const QString purpose = chartPurpose(column);
  const QString rows = rowsDescribed(figuresShown_->chains);
  QString status, tip;
  if (!known->diagnosed) {
    clearChainPlot();
    Serie->setVisible(false);
    histogram->setVisible(false);
    status = purpose + ": " + column + " is not a sampled quantity (a counter or the Model column) and has " +
             (essPlot ? "no ESS" : "no ranks");
  } else if (essPlot) {
    const int chains = static_cast<int>(figuresShown_->chains.size());
    const double target = targetEssLine(host_.convergenceTarget(), chains);
    chainFigure_ = showEssProfile(main, *known->ess, choice.kind, target, std::move(chainFigure_));
    tip = QString("%1, %2\nDashed: the convergence target's ESS, %3 in total for %4 chain%5")
              .arg(purpose, rows, number(target))
              .arg(chains)
              .arg(chains == 1 ? "" : "s");
  } else if (known->ranks->chains.empty()) {
    clearChainPlot();
    Serie->setVisible(false);
    histogram->setVisible(false);
    status = QString("%1: too few draws to rank (each chain needs at least %2)").arg(purpose).arg(kMinimumChainDraws);
  } else if (choice.type == ChainPlotType::ranks) {
    const RankHistogram& counts = known->ranks->histogram;
    chainFigure_ = showRankHistogram(main, counts, known->ranks->chains, std::move(chainFigure_));
    tip = QString("%1, %2\nDashed: the count of each bin when the chains sample one distribution, %3 draws / (%4 bins "
                  "× %5 chains) = %6")
              .arg(purpose, rows, QLocale(QLocale::English).toString(static_cast<qint64>(counts.draws)))
              .arg(counts.bins)
              .arg(counts.counts.size())
              .arg(number(counts.expected));
  } else {
    const RankEcdf& ecdf = known->ranks->ecdf;
    chainFigure_ = showRankEcdf(main, ecdf, known->ranks->chains, std::move(chainFigure_));
    const QString exits = bandExitText(ecdf, known->ranks->chains);
    const QString level = QString::number(qRound(ecdf.level * 100));
    status = purpose + ": " +
             (!exits.isEmpty() ? exits
              : ecdf.halves    ? QString("both halves of the chain stay within the %1% band").arg(level)
                               : QString("every chain stays within the %1% band").arg(level));
    const QString thinning =
        ecdf.thinning > 1
            ? QString("one draw in %1 of each chain kept").arg(QLocale(QLocale::English).toString(
                  static_cast<qint64>(ecdf.thinning)))
            : QString("every draw kept");
    tip = QString("%1, %2, %3\n%4").arg(purpose, rows, thinning, status);
  }
  Chart1->setToolTip(tip);
  if (!status.isEmpty()) host_.setPassingStatus(status);
  Chart1->replot(QCustomPlot::rpQueuedReplot);
}

void DetailsPage::convergenceTargetChanged() { showChainPlot(); }

void DetailsPage::clearChainPlot() {
  clearRankFigure(MainChart{Chart1, Serie, histogram}, chainFigure_);
  chainFigure_ = {};
  Chart1->setToolTip({});
}

}  // namespace varno
