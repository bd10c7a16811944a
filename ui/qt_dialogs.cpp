// The real, modal dialogs of the window.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "ui/convergence_target_dialog.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"

namespace varno {

namespace {

// The dialog's first path: the last name chosen, in the start folder when there is one.
QString startPath(const FileDialogSpec& spec) {
  if (spec.startFolder.isEmpty()) return spec.lastFileName;
  const QString name = QFileInfo(spec.lastFileName).fileName();
  return name.isEmpty() ? spec.startFolder : QDir(spec.startFolder).filePath(name);
}

// "*.png" -> "png"; nothing for "*.*" or several patterns.
QString suffixOfFilter(const QString& toolkitEntry) {
  const int open = toolkitEntry.lastIndexOf('(');
  const int close = toolkitEntry.lastIndexOf(')');
  if (open < 0 || close < open) return {};
  const QString patterns = toolkitEntry.mid(open + 1, close - open - 1).trimmed();
  if (!patterns.startsWith("*.") || patterns.contains(' ')) return {};
  const QString suffix = patterns.mid(2);
  return suffix.contains('*') ? QString() : suffix;
}

}  // namespace

bool QtDialogs::ask(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text,
                  QMessageBox::Yes | QMessageBox::No, parent);
  return box.exec() != QMessageBox::No;
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const FileDialogSpec& spec) {
  QFileDialog dialog(parent, spec.title, startPath(spec), toolkitFilter(spec.filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(spec.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, FileDialogSpec& spec) {
  const QString filters = toolkitFilter(spec.filter);
  QFileDialog dialog(parent, spec.title, startPath(spec), filters);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (!spec.selectedFilter.isEmpty()) {
    for (const QString& entry : filters.split(";;")) {
      if (designDescription(spec.filter, entry) == spec.selectedFilter) dialog.selectNameFilter(entry);
    }
  }
  QString ext = spec.defaultExt;
  if (ext.startsWith('.')) ext.remove(0, 1);
  dialog.setDefaultSuffix(ext);
  // a name typed without an extension gets that of the filter chosen
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& entry) {
    const QString suffix = suffixOfFilter(entry);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
  });
  if (!spec.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  QComboBox* choice = nullptr;
  if (!spec.choices.isEmpty()) {
    // the choice sits in the toolkit's own dialog, below the file name and filter
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
      choice = new QComboBox(&dialog);
      choice->addItems(spec.choices);
      choice->setCurrentIndex(std::clamp(spec.choice, 0, static_cast<int>(spec.choices.size()) - 1));
      const int row = grid->rowCount();
      grid->addWidget(new QLabel(spec.choiceLabel, &dialog), row, 0);
      grid->addWidget(choice, row, 1);
    }
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  spec.selectedFilter = designDescription(spec.filter, dialog.selectedNameFilter());
  if (choice) spec.choice = choice->currentIndex();
  return dialog.selectedFiles().first();
}

bool QtDialogs::choosePrinter(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle("Print graph");
  return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::inform(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                  parent);
  box.exec();
}

void QtDialogs::error(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok,
                  parent);
  box.exec();
}

std::optional<QString> QtDialogs::askText(QWidget* parent, const QString& title, const QString& label,
                                          const QString& text) {
  bool ok = false;
  const QString answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
  if (!ok) return std::nullopt;
  return answer;
}

std::optional<ConvergenceTarget> QtDialogs::chooseConvergenceTarget(QWidget* parent, const TargetOffer& offer) {
  ConvergenceTargetDialog dialog(offer, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosenTarget();
}

}  // namespace varno
