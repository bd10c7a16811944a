// The convergence target dialog. Its column list is a model of its own: a chooser of tens of
// thousands of checkable entries must open at once, and items are never widgets.
#include "ui/convergence_target_dialog.h"

#include <QAbstractListModel>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "stats/number_format.h"
#include "stats/text_numbers.h"
#include "ui/designed_controls.h"

namespace varno {

// The columns with a check each, shown as "3  tau"; filtered by part of a name or a number.
class TargetColumnList : public QAbstractListModel {
 public:
  TargetColumnList(const std::vector<TargetColumn>& columns, const std::vector<std::string>& listed, QObject* parent)
      : QAbstractListModel(parent), columns_(columns), checked_(columns.size(), 0) {
    for (const std::string& item : listed) {
      bool found = false;
      for (std::size_t i = 0; i < columns_.size(); ++i)
        if (namesTargetColumn(item, columns_[i])) checked_[i] = found = true;
      // a remembered item of another file's columns stays in the list it came with
      if (!found) foreign_.push_back(item);
    }
    setFilter({});
  }

  void setFilter(const QString& text) {
    const QString part = text.trimmed();
    const auto number = parseWholeNumber(part.toStdString());
    beginResetModel();
    shown_.clear();
    for (std::size_t i = 0; i < columns_.size(); ++i)
      if (part.isEmpty() || (number && columns_[i].column == *number) ||
          QString::fromStdString(columns_[i].name).contains(part, Qt::CaseInsensitive))
        shown_.push_back(static_cast<int>(i));
    endResetModel();
  }

  std::vector<std::string> listed() const {
    std::vector<std::string> items;
    for (std::size_t i = 0; i < columns_.size(); ++i)
      if (checked_[i]) items.push_back(columns_[i].item);
    items.insert(items.end(), foreign_.begin(), foreign_.end());
    return items;
  }
  bool anyChecked() const { return std::find(checked_.begin(), checked_.end(), 1) != checked_.end(); }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const std::size_t i = static_cast<std::size_t>(shown_[static_cast<std::size_t>(index.row())]);
    if (role == Qt::DisplayRole)
      return QString("%1  %2").arg(columns_[i].column).arg(QString::fromStdString(columns_[i].name));
    if (role == Qt::CheckStateRole) return checked_[i] ? Qt::Checked : Qt::Unchecked;
    return {};
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= rowCount()) return false;
    checked_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(index.row())])] =
        value.value<Qt::CheckState>() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable : Qt::NoItemFlags;
  }

 private:
  std::vector<TargetColumn> columns_;
  std::vector<char> checked_;
  std::vector<int> shown_;
  std::vector<std::string> foreign_;
};

namespace {

QLineEdit* boundEdit(const QString& name, const std::optional<double>& value, const QString& placeholder,
                     QWidget* parent) {
  auto* edit = named(new QLineEdit(parent), name);
  edit->setPlaceholderText(placeholder);
  if (value) edit->setText(QString::fromStdString(generalFormat(*value, 15)));
  edit->setClearButtonEnabled(true);
  return edit;
}

// One bound read through the target's own text form, so that the dialog accepts what the text does.
std::optional<ConvergenceTarget> boundRead(const char* part, const QString& text) {
  return parseConvergenceTarget(part + text.trimmed().toStdString()).target;
}

}  // namespace

ConvergenceTargetDialog::ConvergenceTargetDialog(const TargetOffer& offer, QWidget* parent)
    : QDialog(parent) {
  setObjectName("convergenceTargetDialog");
  setWindowTitle("Convergence target");
  auto* column = new QVBoxLayout(this);
  auto* intro = new QLabel(
      "A run has converged enough when every quantity that counts meets these bounds. Effective sample "
      "sizes are of all chains together.",
      this);
  intro->setWordWrap(true);
  column->addWidget(intro);
  auto* bounds = new QFormLayout;
  const QString byDefault = QString("%1 (default: 100 \u00D7 chains, at least 400)")
                                .arg(QString::fromStdString(generalFormat(defaultTargetEss(offer.chains), 15)));
  essBulk_ = boundEdit("targetEssBulk", offer.target.essBulk, byDefault, this);
  essTail_ = boundEdit("targetEssTail", offer.target.essTail, byDefault, this);
  rhat_ = boundEdit("targetRhat", offer.target.rhat, "1.01", this);
  bounds->addRow("Least bulk ESS:", essBulk_);
  bounds->addRow("Least tail ESS:", essTail_);
  bounds->addRow("Largest R-hat:", rhat_);
  column->addLayout(bounds);
  allColumns_ = named(new QRadioButton("All quantities", this), "targetAllColumns");
  chosenColumns_ = named(new QRadioButton("These columns:", this), "targetChosenColumns");
  column->addWidget(allColumns_);
  column->addWidget(chosenColumns_);
  columns_ = new TargetColumnList(offer.columns, offer.target.columns, this);
  columnFilter_ = named(new QLineEdit(this), "targetColumnFilter");
  columnFilter_->setPlaceholderText("Find: part of a name, or a column number");
  columnFilter_->setClearButtonEnabled(true);
  column->addWidget(columnFilter_);
  columnList_ = named(new QListView(this), "targetColumnList");
  columnList_->setModel(columns_);
  columnList_->setUniformItemSizes(true);  // the view never measures every entry
  column->addWidget(columnList_, 1);
  auto* never = new QLabel("The counter and the Model column never count.", this);
  column->addWidget(never);
  problem_ = named(new QLabel(this), "targetProblem");
  problem_->setWordWrap(true);
  problem_->setStyleSheet("color: #b00000");
  column->addWidget(problem_);
  auto* buttons = named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this), "targetButtons");
  column->addWidget(buttons);

  const bool listed = !offer.target.columns.empty();
  (listed ? chosenColumns_ : allColumns_)->setChecked(true);
  columnFilter_->setEnabled(listed);
  columnList_->setEnabled(listed);
  QObject::connect(chosenColumns_, &QRadioButton::toggled, this, [this](bool on) {
    columnFilter_->setEnabled(on);
    columnList_->setEnabled(on);
  });
  QObject::connect(columnFilter_, &QLineEdit::textChanged, this, [this](const QString& text) { columns_->setFilter(text); });
  QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  resize(440, 520);
}

ConvergenceTargetDialog::~ConvergenceTargetDialog() = default;

std::optional<ConvergenceTarget> ConvergenceTargetDialog::chosenTarget(QString* problem) const {
  const auto fail = [&](const QString& why) -> std::optional<ConvergenceTarget> {
    if (problem) *problem = why;
    return std::nullopt;
  };
  ConvergenceTarget target;
  struct Ess {
    QLineEdit* edit;
    const char* part;
    const char* label;
    std::optional<double> ConvergenceTarget::*field;
  };
  for (const Ess& ess : {Ess{essBulk_, "ess_bulk>=", "Least bulk ESS", &ConvergenceTarget::essBulk},
                         Ess{essTail_, "ess_tail>=", "Least tail ESS", &ConvergenceTarget::essTail}}) {
    if (ess.edit->text().trimmed().isEmpty()) continue;  // the default of the analysis
    const auto read = boundRead(ess.part, ess.edit->text());
    if (!read)
      return fail(QString("%1: \"%2\" is not a number of 0 or more; leave it empty for the default.")
                      .arg(ess.label, ess.edit->text().trimmed()));
    target.*ess.field = (*read).*ess.field;
  }
  const QString rhatText = rhat_->text().trimmed();
  if (!rhatText.isEmpty()) {
    const auto read = boundRead("rhat<=", rhatText);
    if (!read) return fail(QString("Largest R-hat: \"%1\" is not a number of 1 or more.").arg(rhatText));
    target.rhat = read->rhat;
  }
  if (chosenColumns_->isChecked()) {
    if (!columns_->anyChecked())
      return fail("Check at least one column, or choose all quantities.");
    target.columns = columns_->listed();
  }
  return target;
}

void ConvergenceTargetDialog::accept() {
  QString problem;
  if (!chosenTarget(&problem)) {
    problem_->setText(problem);
    return;
  }
  QDialog::accept();
}

}  // namespace varno
