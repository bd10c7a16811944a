// Options > "Convergence target...": the dialog that sets the least bulk and tail ESS, the largest
// R-hat and the columns that count.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "report/convergence_target.h"
#include "report/target_columns.h"

class QLabel;
class QLineEdit;
class QListView;
class QRadioButton;

namespace varno {

// What the dialog starts from.
struct TargetOffer {
  ConvergenceTarget target;  // the target now
  int chains = 1;            // of the open analysis: an ESS left unset is max(400, 100 x chains)
  std::vector<TargetColumn> columns;  // those a list can hold
};

class TargetColumnList;

class ConvergenceTargetDialog : public QDialog {
 public:
  explicit ConvergenceTargetDialog(const TargetOffer& offer, QWidget* parent = nullptr);
  ~ConvergenceTargetDialog() override;

  // The target the fields say; nothing, with `problem` saying what to correct, when one cannot be read.
  std::optional<ConvergenceTarget> chosenTarget(QString* problem = nullptr) const;

  void accept() override;

 private:
  QLineEdit* essBulk_ = nullptr;
  QLineEdit* essTail_ = nullptr;
  QLineEdit* rhat_ = nullptr;
  QRadioButton* allColumns_ = nullptr;
  QRadioButton* chosenColumns_ = nullptr;
  QLineEdit* columnFilter_ = nullptr;
  QListView* columnList_ = nullptr;
  QLabel* problem_ = nullptr;
  TargetColumnList* columns_ = nullptr;
};

}  // namespace varno
