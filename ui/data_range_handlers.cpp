// The data range controls: burn-in and burn-out edits with their track bars.
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QStatusBar>
#include <QToolTip>

#include "stats/chain_rows.h"
#include "stats/data_range.h"
#include "stats/text_numbers.h"
#include "ui/details_page.h"
#include "ui/plotwin2.h"
#include "ui/track_bar.h"

namespace varno {

std::optional<RowRange> TForm3::retainedRowRange(QString* problem) {
  const auto burnIn = burnRange_.burnIn;
  const auto burnOut = burnRange_.burnOut;
  markRangeEdit(details_->Cutin, burnIn.has_value());
  markRangeEdit(details_->Cutout, burnOut.has_value());
  if (!burnIn || !burnOut) {
    if (problem) {
      const QString text = !burnIn ? details_->Cutin->text() : details_->Cutout->text();
      *problem = QString("The %1 \"%2\" is not a whole number.")
                     .arg(!burnIn ? "burn-in" : "burn-out", text);
    }
    return std::nullopt;
  }
  return retainedRows(*burnIn, *burnOut, state.open() ? state.firstTable()->rowCount() : 0);
}

void TForm3::markRangeEdit(QLineEdit* edit, bool valid) {
  QPalette p = edit->palette();
  p.setColor(QPalette::Base, valid ? palette().color(QPalette::Base) : QColor(255, 200, 200));
  edit->setPalette(p);
  edit->setToolTip(valid ? QString()
                         : QString("\"%1\" is not a whole number of rows").arg(edit->text()));
}

void TForm3::applyBurnEditOutcome(QLineEdit* edit, QLineEdit* other, TrackBar* bar) {
  const BurnEditOutcome outcome =
      burnEditChanged(edit->text().toStdString(), other->text().toStdString(), shortestChainRows());
  if (outcome.rewriteText) {
    // the write runs this handler again at once, and that run finishes the work
    edit->setText(QString::fromStdString(*outcome.rewriteText));
    return;
  }
  bar->setPosition(outcome.trackBarPosition);
  replotIfRangeChanged();
}

// A typed value takes effect at once, whenever it changes the retained rows; a request equal to
// the one last made computes nothing.
void TForm3::replotIfRangeChanged() {
  if (fittingRange_ || !state.open()) return;
  // what the status line said of a burn-in set back to 0 no longer holds once the user sets one
  if (!rangeNote_.isEmpty()) {
    QString message = statusBar()->currentMessage();
    if (message.contains(rangeNote_)) statusBar()->showMessage(message.remove(rangeNote_));
    rangeNote_.clear();
  }
  updateRetainedRowsText();
  if (!retainedRowRange()) {
    details_->showFiguresUpdating(true);  // the figures no longer describe what the edits say
    analysisChanged();
    return;
  }
  details_->ReplotCurrentColumn();
  analysisChanged();
}

QString TForm3::retainedRowsText() const {
  if (!state.open()) return {};
  const auto burnIn = burnRange_.burnIn;
  const auto burnOut = burnRange_.burnOut;
  if (!burnIn || !burnOut) return "data range not valid";
  const QLocale english(QLocale::English);
  if (state.chainCount() > 1) {
    // burn-in and burn-out cut every chain alike, so the rows differ from chain to chain
    long long kept = 0, all = 0;
    for (const ChainRows& chain : retainedChains(*burnIn, *burnOut)) {
      kept += chain.rows.count();
      all += chain.table ? chain.table->rowCount() : 0;
    }
    return QString("%1 of %2 rows of %3 chains retained")
        .arg(english.toString(kept), english.toString(all), english.toString(state.chainCount()));
  }
  const int rowCount = state.firstTable()->rowCount();
  const RowRange rows = retainedRows(*burnIn, *burnOut, rowCount);
  if (rows.count() == 0) return QString("no rows of %1 retained").arg(english.toString(rowCount));
  return QString("rows %1–%2 of %3 retained")
      .arg(english.toString(rows.begin + 1), english.toString(rows.end), english.toString(rowCount));
}

void TForm3::updateRetainedRowsText() { rowsLabel_->setText(retainedRowsText()); }

void TForm3::CutinChange() { applyBurnEditOutcome(details_->Cutin, details_->Cutout, details_->Tburnin); }

void TForm3::CutoutChange() { applyBurnEditOutcome(details_->Cutout, details_->Cutin, details_->Tburnout); }

void TForm3::TburninChange() {
  if (!details_->Tburnin->changedByUser()) return;  // set by its edit, whose handler replots
  details_->Cutin->setText(QString::fromStdString(burnTextForPercentage(details_->Tburnin->position(), shortestChainRows())));
  replotIfRangeChanged();
}

void TForm3::TburnoutChange() {
  if (!details_->Tburnout->changedByUser()) return;
  details_->Cutout->setText(
      QString::fromStdString(burnTextForPercentage(details_->Tburnout->position(), shortestChainRows())));
  replotIfRangeChanged();
}

std::optional<QString> TForm3::fitDataRangeToRows(int rowCount) {
  const auto burnIn = burnRange_.burnIn;
  const auto burnOut = burnRange_.burnOut;
  if (!burnIn || !burnOut) return std::nullopt;  // an invalid text stays marked until mended
  const auto fitted = fitRangeToRows(*burnIn, *burnOut, rowCount);
  if (!fitted) return std::nullopt;
  const QLocale english(QLocale::English);
  const QString said =
      QString("burn-in %1 and burn-out %2 did not fit the %3 rows read: both set to 0")
          .arg(english.toString(*burnIn), english.toString(*burnOut), english.toString(rowCount));
  fittingRange_ = true;
  details_->Cutin->setText(QString::number(fitted->first));
  details_->Cutout->setText(QString::number(fitted->second));
  details_->Tburnin->setPosition(burnPercentage(static_cast<double>(fitted->first), rowCount));
  details_->Tburnout->setPosition(burnPercentage(static_cast<double>(fitted->second), rowCount));
  fittingRange_ = false;
  rangeNote_ = "; " + said;
  return said;
}

}  // namespace varno
