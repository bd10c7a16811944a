// The real, modal dialogs of the window.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"

namespace varno {

bool QtDialogs::ask(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text,
                  QMessageBox::Yes | QMessageBox::No, parent);
  return box.exec() != QMessageBox::No;
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const FileDialogSpec& spec) {
  QFileDialog dialog(parent, QString(), spec.lastFileName, toolkitFilter(spec.filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(spec.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const FileDialogSpec& spec) {
  QFileDialog dialog(parent, QString(), spec.lastFileName, toolkitFilter(spec.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  QString ext = spec.defaultExt;
  if (ext.startsWith('.')) ext.remove(0, 1);
  dialog.setDefaultSuffix(ext);
  if (!spec.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
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

}  // namespace varno
