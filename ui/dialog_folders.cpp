// Titles and start folders of the file dialogs.
#include "ui/dialog_folders.h"

#include <QFileInfo>

#include "ui/file_dialog_spec.h"

namespace varno {

QString dialogTitle(DialogPurpose purpose) {
  switch (purpose) {
    case DialogPurpose::openData:
      return "Open data file";
    case DialogPurpose::openFactors:
      return "Open factors file";
    case DialogPurpose::saveResults:
      return "Save results as";
    case DialogPurpose::saveGraph:
      return "Save graph as";
    case DialogPurpose::saveDiagnostics:
      return "Save diagnostics table as";
    case DialogPurpose::addChain:
      return "Add chain";
    case DialogPurpose::exportDraws:
      return "Export retained draws as";
  }
  return {};
}

QString suggestedFileName(const QString& dataFile, const QString& suffix, const QString& extension) {
  const QString base = QFileInfo(dataFile).completeBaseName();
  return (base.isEmpty() ? suffix : base + "_" + suffix) + extension;
}

void DialogFolders::prepare(FileDialogSpec& spec, DialogPurpose purpose, const QString& dataFile) const {
  spec.title = dialogTitle(purpose);
  if (const auto found = last_.find(purpose); found != last_.end()) {
    spec.startFolder = found->second;
  } else {
    spec.startFolder = dataFile.isEmpty() ? QString() : QFileInfo(dataFile).absolutePath();
  }
}

void DialogFolders::remember(DialogPurpose purpose, const QString& chosen) {
  if (!chosen.isEmpty()) last_[purpose] = QFileInfo(chosen).absolutePath();
}

}  // namespace varno
