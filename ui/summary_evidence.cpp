// The Summary page's evidence for each factor: the table, the prior model probabilities and their
// dialog, and the model chart's tooltips.
#include <QHelpEvent>
#include <QLabel>
#include <QTableWidget>
#include <QToolTip>
#include <cmath>
#include <qcustomplot.h>

#include "core/model_numbering.h"
#include "stats/model_prior.h"
#include "stats/number_format.h"
#include "ui/dialogs.h"
#include "ui/summary_page.h"

namespace varno {

namespace {

QString g3(const std::optional<double>& v) { return v ? QString::fromStdString(formatG3(*v)) : QString("NA"); }

// "0.6 ± 0.049"; the error alone is "NA" where the chain gives no ESS.
QString withError(const std::optional<double>& p, const std::optional<double>& mcse) {
  if (!p) return "NA";
  return g3(p) + QString::fromUtf8(" \u00B1 ") + g3(mcse);
}

// "0.176 [-0.176, 0.602]"; an unbounded end is an infinity.
QString log10WithInterval(const FactorEvidence& f) {
  if (!f.log10Bf) return "NA";
  const QString low = f.log10Low ? g3(f.log10Low) : QString::fromUtf8("\u2212\u221E");
  const QString high = f.log10High ? g3(f.log10High) : QString::fromUtf8("+\u221E");
  return g3(f.log10Bf) + " [" + low + ", " + high + "]";
}

QString priorLine(const InclusionEvidence& e, bool userPrior) {
  QStringList parts;
  for (const ModelEvidence& m : e.models) parts << QString::number(m.model) + ": " + g3(m.prior);
  return QString(userPrior ? "prior model probabilities (yours): " : "prior model probabilities (uniform): ") +
         parts.join(", ");
}

}  // namespace

void SummaryPage::showEvidence() {
  evidence->setRowCount(0);
  evidenceShown_.reset();
  Lprior->clear();
  if (!evidenceDraws_) return;
  EvidenceInput input = *evidenceDraws_;
  const int models = modelCount(input.factorCount, input.hasInteraction);
  // weights given for another set of models describe none of these
  if (modelPriorWeights_.size() != static_cast<std::size_t>(models)) modelPriorWeights_.clear();
  // nor do weights that rule out a model these rows visit
  if (zeroPriorOfVisitedModels(modelPriorWeights_, input.modelCounts)) modelPriorWeights_.clear();
  input.priorWeights = modelPriorWeights_;
  evidenceShown_ = inclusionEvidence(input);
  const InclusionEvidence& e = *evidenceShown_;

  Lprior->setText(priorLine(e, !modelPriorWeights_.empty()));
  Lprior->setToolTip(Lprior->text());
  evidence->setColumnHidden(6, !input.hasInteraction);  // without it the matched BF is the BF
  evidence->setRowCount(static_cast<int>(e.factors.size()));
  for (std::size_t i = 0; i < e.factors.size(); ++i) {
    const FactorEvidence& f = e.factors[i];
    const QString cells[] = {QString::fromStdString(f.name), g3(f.prior),  withError(f.posterior, f.mcse),
                             g3(f.bf),                      log10WithInterval(f), QString::fromStdString(f.evidence),
                             g3(f.bfMatched)};
    for (int c = 0; c < 7; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setToolTip(cells[c]);
      evidence->setItem(static_cast<int>(i), c, item);
    }
  }
}

void SummaryPage::model_priorClick() {
  if (state.kind() != FileKind::fst) return;
  const int models = modelCount(state.factorCount, state.hasInteraction);
  QString label = QString("Prior weights of the %1 models, in model order, separated by commas; they are "
                          "normalised to probabilities.\nLeave empty for every model equally likely.\n")
                      .arg(models);
  for (int m = 1; m <= models; ++m) {
    QStringList names;
    for (int f : factorsInModel(m, state.factorCount, state.hasInteraction))
      names << QString::fromStdString(factorName(f, state.hasInteraction));
    label += QString("\nModel %1: %2").arg(m).arg(names.isEmpty() ? QString("Constant") : names.join("+"));
  }
  const auto typed = dialogs_.askText(Summary->window(), "Prior model probabilities", label,
                                      QString::fromStdString(modelPriorText(modelPriorWeights_)));
  if (!typed) return;
  const std::string text = typed->trimmed().toStdString();
  if (text.empty()) {
    modelPriorWeights_.clear();
  } else {
    auto parsed = parseModelPrior(text, models);
    std::optional<std::string> why;
    if (const auto* fault = std::get_if<std::string>(&parsed)) {
      why = *fault;
    } else if (evidenceDraws_) {
      why = zeroPriorOfVisitedModels(std::get<std::vector<double>>(parsed), evidenceDraws_->modelCounts);
    }
    if (why) {
      dialogs_.error(Summary->window(), "The prior model probabilities are unchanged: " + QString::fromStdString(*why) + ".");
      return;
    }
    modelPriorWeights_ = std::get<std::vector<double>>(std::move(parsed));
  }
  showEvidence();
}

bool SummaryPage::modelChartToolTip(QHelpEvent* event) {
  const double key = Chart3->xAxis->pixelToCoord(event->pos().x());
  const long long m = std::llround(key);
  if (!evidenceShown_ || m < 1 || m > static_cast<long long>(evidenceShown_->models.size()) ||
      std::abs(key - static_cast<double>(m)) > model->width() / 2) {
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  const ModelEvidence& e = evidenceShown_->models[static_cast<std::size_t>(m - 1)];
  QToolTip::showText(event->globalPos(),
                     QString("Model %1 (%2): probability %3, prior %4")
                         .arg(e.model)
                         .arg(QString::fromStdString(e.factors), withError(e.probability, e.mcse), g3(e.prior)),
                     Chart3);
  return true;
}

}  // namespace varno
