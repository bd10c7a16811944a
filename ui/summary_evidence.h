// The Summary page's evidence for each factor, under its charts: the table, the prior model
// probabilities with the dialog that sets them, and the model chart's tooltips.
#pragma once

#include <QObject>
#include <optional>
#include <vector>

#include "charts/window_charts.h"
#include "stats/inclusion_evidence.h"
#include "ui/window_page.h"

class QHelpEvent;
class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;

namespace varno {

class Dialogs;

class SummaryEvidence : public QObject, private WindowPage {
 public:
  // Builds its controls on `page`; the tooltips are those of the model chart `models`.
  SummaryEvidence(QWidget* page, PageHost& host, Dialogs& dialogs, const ModelChart& models);

  // The evidence of the summary now shown, from its model counts and indicator ESS; nothing
  // empties the table.
  void show(std::optional<EvidenceInput> draws);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The table and the prior line from the shown summary's model draws and the prior.
  void showEvidence();
  // The model chart's tooltip: the probability of the model under the mouse, with its error.
  bool modelChartToolTip(QHelpEvent* event);
  void model_priorClick();

  // ---- controls, under their designed names ----
  QLabel* Levidence = nullptr;
  QLabel* Lprior = nullptr;
  QPushButton* model_prior = nullptr;
  QTableWidget* evidence = nullptr;

  QWidget* page_;
  Dialogs& dialogs_;
  ModelChart models_;
  // the shown summary's model counts and indicator ESS; the prior is filled in when shown
  std::optional<EvidenceInput> evidenceDraws_;
  std::optional<InclusionEvidence> evidenceShown_;
  // the user's prior weights, one per model; empty: every model equally likely
  std::vector<double> modelPriorWeights_;
};

}  // namespace varno
