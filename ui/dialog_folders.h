// What each file dialog is for, its title, and the folder it opens in: the open data file's
// folder the first time, then the folder the user last went to for that purpose.
#pragma once

#include <QString>
#include <map>

namespace varno {

class FileDialogSpec;

enum class DialogPurpose { openData, openFactors, saveResults, saveGraph, saveDiagnostics, addChain, exportDraws };

// "Open data file", "Save graph as", ...
QString dialogTitle(DialogPurpose purpose);

// The name a file made from the open data file is offered under: "lake_draws.tsv" for the data file
// "lake.fst", the suffix "draws" and the extension ".tsv"; the suffix alone when no file is open.
QString suggestedFileName(const QString& dataFile, const QString& suffix, const QString& extension);

class DialogFolders {
 public:
  // Gives the dialog its title and start folder for `purpose`.
  void prepare(FileDialogSpec& spec, DialogPurpose purpose, const QString& dataFile) const;
  // The folder of a path chosen for `purpose` is where its dialog opens next time.
  void remember(DialogPurpose purpose, const QString& chosen);

  // The folders remembered so far, and one put back as it was remembered in an earlier run.
  const std::map<DialogPurpose, QString>& folders() const { return last_; }
  void setFolder(DialogPurpose purpose, const QString& folder) { last_[purpose] = folder; }

 private:
  std::map<DialogPurpose, QString> last_;
};

}  // namespace varno
