// The save dialog as the table and draws exports use it: each with its own title, filter, offered
// name and folder, so that nothing another save left on the shared dialog is offered.
#include "ui/dialog_folders.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/plotwin2.h"

namespace varno {

std::optional<QString> TForm3::askSavePath(DialogPurpose purpose, const QString& filter, const QString& defaultExt,
                                           const QString& nameSuffix) {
  const QString dataFile = QString::fromStdString(state.dataFileName);
  FileDialogSpec& dialog = *SaveDialog;
  dialog.filter = filter;
  dialog.defaultExt = defaultExt;
  dialog.selectedFilter.clear();
  dialog.choices.clear();
  dialog.lastFileName = suggestedFileName(dataFile, nameSuffix, defaultExt);
  dialogFolders_.prepare(dialog, purpose, dataFile);
  const auto chosen = dialogs_.saveFile(this, dialog);
  if (!chosen) return std::nullopt;
  dialogFolders_.remember(purpose, *chosen);
  return withDefaultExtension(*chosen, defaultExt);
}

}  // namespace varno
