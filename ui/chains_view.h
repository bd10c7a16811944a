// The Summary page's Chains view: the chains side by side, disagreeing rows marked, over the
// charts while its toggle is down; its table computed as a background job once the analysis lane
// is free, shown only while it describes the current inputs.
#pragma once

#include <QObject>
#include <optional>

#include "ui/page_job.h"
#include "ui/result_inputs.h"
#include "ui/window_page.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;

namespace varno {

struct ChainComparison;

class ChainsView : public QObject, private WindowPage {
 public:
  // Builds the view's toggle, note and table on the Summary page `page`.
  ChainsView(QWidget* page, PageHost& host);

  // The toggle and the wait for the analysis lane, wired after the window's own job controls: the
  // table waits until they have seen the lane's job end.
  void connectHandlers();
  // After anything the view depends on changed: empties a table that no longer describes the
  // inputs and, while the view is shown, computes it anew.
  void chainsChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createChainsView();
  void placeChainsView();
  std::optional<ChainsInputs> currentChainsInputs() const;
  void chainsViewClick();
  void ComputeChainsTable();
  void applyChainsTable(const ChainComparison& comparison);
  void clearChainsDisplay();

  QWidget* Summary;
  QPushButton* chainsView = nullptr;
  QLabel* chainsNote = nullptr;
  QTableWidget* chainsTable = nullptr;

  // what the view describes; wanted while the view waits for the analysis lane
  PageJob<ChainsInputs> job_;
  bool chainsWanted_ = false;
};

}  // namespace varno
