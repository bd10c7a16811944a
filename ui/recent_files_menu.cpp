// File > "Recent files": the last data files opened, reopened with the factors file and mode they
// were opened with, without asking again.
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

#include "core/file_kind.h"
#include "ui/plotwin2.h"
#include "ui/recent_files.h"

namespace varno {

void TForm3::createRecentFilesMenu() {
  recentFilesMenu_ = File->addMenu("Recent files");
  recentFilesMenu_->setObjectName("RecentFiles");
  fillRecentFilesMenu();
}

void TForm3::fillRecentFilesMenu() {
  recentFilesMenu_->clear();
  const std::vector<RecentFile>& entries = recentFiles_->entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const RecentFile& e = entries[i];
    QString text = QString("&%1 %2").arg(i + 1).arg(e.data);
    if (!e.factors.isEmpty()) text += QString(" (factors: %1)").arg(QFileInfo(e.factors).fileName());
    QAction* entry = recentFilesMenu_->addAction(text);
    entry->setObjectName(QString("recentFile%1").arg(i + 1));
    entry->setToolTip(e.factors.isEmpty() ? e.data : e.data + "\n" + e.factors);
    connect(entry, &QAction::triggered, this, [this, i] { openRecentFile(i); });
  }
  recentFilesMenu_->setEnabled(!entries.empty());
}

void TForm3::saveRecentFiles() {
  if (!settings_) return;
  recentFiles_->save(*settings_);
  settings_->sync();
}

void TForm3::rememberRecentFile() {
  RecentFile entry;
  entry.data = QString::fromStdString(state.dataFileName);
  if (state.kind() == FileKind::fst && state.factorCount > 0 && !state.factorFileName.empty()) {
    entry.factors = QString::fromStdString(state.factorFileName);
    // the answer about the interaction is kept as the mode that gives it, so it is not asked again
    entry.mode = state.factorMode != -1 ? state.factorMode
                 : state.hasInteraction  ? 1
                 : state.factorCount == 2 ? 0
                                          : -1;
  }
  recentFiles_->add(entry);
  saveRecentFiles();
  fillRecentFilesMenu();
}

void TForm3::openRecentFile(std::size_t index) {
  if (refuseWhileBusy() || index >= recentFiles_->entries().size()) return;
  const RecentFile entry = recentFiles_->entries()[index];
  for (const QString& path : {entry.data, entry.factors}) {
    if (path.isEmpty() || QFileInfo::exists(path)) continue;
    recentFiles_->remove(entry.data);
    saveRecentFiles();
    fillRecentFilesMenu();
    setStatus(QString("\"%1\" no longer exists; it was removed from the recent files.").arg(path));
    return;
  }
  LoadPlan::Factors factors = currentFactors();
  factors.mode = -1;
  if (lowerCasedExtension(entry.data.toStdString()) != ".fst") {
    factors.decision.factorCount = 0;
    LoadPlan plan{entry.data, "Plot: ", 0, true, {}};
    plan.factors = std::move(factors);
    LoadDataFile(std::move(plan));
    return;
  }
  if (entry.factors.isEmpty()) {
    factors.decision = {};
  } else {
    factors.file = entry.factors.toStdString();
    factors.mode = entry.mode;
    factors.decision = DetectFactorCount(factors.mode, factors.file);
  }
  LoadPlan plan{entry.data, "Plot: ", 1, true, [this] { finishOpenFlow(); }};
  plan.factors = std::move(factors);
  LoadDataFile(std::move(plan));
}

}  // namespace varno
