// The Summary page's evidence for each factor: the table, the prior model probabilities and their
// dialog, and the model chart's tooltips.
#include "ui/summary_evidence.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QToolTip>
#include <cmath>
#include <qcustomplot.h>

#include "core/model_numbering.h"
#include "stats/model_prior.h"
#include "stats/number_format.h"
#include "ui/designed_controls.h"
#include "ui/dialogs.h"

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

SummaryEvidence::SummaryEvidence(QWidget* page, PageHost& host, Dialogs& dialogs, const ModelChart& models)
    : WindowPage(host), page_(page), dialogs_(dialogs), models_(models) {
  Levidence = label("Levidence", "Evidence for each factor:", page, 4, 733);
  Lprior = named(new QLabel(page), "Lprior");
  Lprior->setGeometry(Levidence->x() + Levidence->width() + 8, 733, 440, Levidence->height());
  model_prior = named(new QPushButton("Prior model probabilities...", page), "model_prior");
  model_prior->setGeometry(600, 728, 183, 23);
  evidence = named(new QTableWidget(0, 7, page), "evidence");
  evidence->setGeometry(1, 755, 783, 98);
  evidence->setHorizontalHeaderLabels({"Factor", "Prior", "Posterior \u00B1 MCSE", "BF", "log10 BF [\u00B1 2 MCSE]",
                                       "Evidence", "Matched BF"});
  evidence->verticalHeader()->hide();
  evidence->setEditTriggers(QAbstractItemView::NoEditTriggers);
  evidence->setSelectionMode(QAbstractItemView::NoSelection);
  evidence->setWordWrap(true);
  const int widths[] = {50, 52, 118, 62, 170, 0, 80};
  for (int c = 0; c < 7; ++c) {
    if (widths[c] > 0) evidence->setColumnWidth(c, widths[c]);
  }
  evidence->horizontalHeader()->setSectionResizeMode(5, QHeaderView::Stretch);
  evidence->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

  connect(model_prior, &QPushButton::clicked, this, on([this] { model_priorClick(); }));
  models_.chart->installEventFilter(this);
}

void SummaryEvidence::show(std::optional<EvidenceInput> draws) {
  evidenceDraws_ = std::move(draws);
  showEvidence();
}

bool SummaryEvidence::eventFilter(QObject* watched, QEvent* event) {
  if (watched == models_.chart && event->type() == QEvent::ToolTip)
    return modelChartToolTip(static_cast<QHelpEvent*>(event));
  return QObject::eventFilter(watched, event);
}

void SummaryEvidence::showEvidence() {
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

void SummaryEvidence::model_priorClick() {
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
  const auto typed = dialogs_.askText(page_->window(), "Prior model probabilities", label,
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
      dialogs_.error(page_->window(), "The prior model probabilities are unchanged: " + QString::fromStdString(*why) + ".");
      return;
    }
    modelPriorWeights_ = std::get<std::vector<double>>(std::move(parsed));
  }
  showEvidence();
}

bool SummaryEvidence::modelChartToolTip(QHelpEvent* event) {
  const double key = models_.chart->xAxis->pixelToCoord(event->pos().x());
  const long long m = std::llround(key);
  if (!evidenceShown_ || m < 1 || m > static_cast<long long>(evidenceShown_->models.size()) ||
      std::abs(key - static_cast<double>(m)) > models_.model->width() / 2) {
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  const ModelEvidence& e = evidenceShown_->models[static_cast<std::size_t>(m - 1)];
  QToolTip::showText(event->globalPos(),
                     QString("Model %1 (%2): probability %3, prior %4")
                         .arg(e.model)
                         .arg(QString::fromStdString(e.factors), withError(e.probability, e.mcse), g3(e.prior)),
                     models_.chart);
  return true;
}

}  // namespace varno
