// The window's settings: each chart appearance menu saved as the name of its checked item and put
// back by triggering that item, so the window's own handlers apply it.
#include "ui/window_settings.h"

#include <QAction>
#include <QMainWindow>
#include <QSettings>
#include <array>
#include <initializer_list>

#include "ui/dialog_folders.h"

namespace varno {

namespace {

struct ChoiceGroup {
  const char* key;
  std::initializer_list<const char*> items;  // the object names of the menu's items
};

const std::array<ChoiceGroup, 4> kAppearance = {{
    {"chart/colour", {"Line_Red", "Line_Black", "Line_Blue", "Line_Green", "Line_Gray", "Line_White"}},
    {"chart/background", {"Back_Grey", "Back_White"}},
    {"chart/grid", {"Grid_On", "Grid_Off"}},
    {"chart/style", {"Lines", "Points", "Both"}},
}};

constexpr const char* kOnTop = "window/alwaysOnTop";
constexpr const char* kGeometry = "window/geometry";
constexpr const char* kConvergenceTarget = "diagnostics/convergenceTarget";

const std::array<std::pair<DialogPurpose, const char*>, 7> kFolderKeys = {{
    {DialogPurpose::openData, "folders/openData"},
    {DialogPurpose::openFactors, "folders/openFactors"},
    {DialogPurpose::saveResults, "folders/saveResults"},
    {DialogPurpose::saveGraph, "folders/saveGraph"},
    {DialogPurpose::saveDiagnostics, "folders/saveDiagnostics"},
    {DialogPurpose::addChain, "folders/addChain"},
    {DialogPurpose::exportDraws, "folders/exportDraws"},
}};

}  // namespace

void restoreWindowSettings(QSettings& settings, QMainWindow& window, DialogFolders& folders) {
  if (settings.contains(kGeometry)) window.restoreGeometry(settings.value(kGeometry).toByteArray());
  for (const ChoiceGroup& group : kAppearance) {
    const QString chosen = settings.value(group.key).toString();
    for (const char* name : group.items) {
      if (chosen != name) continue;
      if (auto* item = window.findChild<QAction*>(name); item && !item->isChecked()) item->trigger();
    }
  }
  if (auto* onTop = window.findChild<QAction*>("Alwaysontop");
      onTop && settings.value(kOnTop, false).toBool() != onTop->isChecked())
    onTop->trigger();
  for (const auto& [purpose, key] : kFolderKeys) {
    const QString folder = settings.value(key).toString();
    if (!folder.isEmpty()) folders.setFolder(purpose, folder);
  }
}

void saveWindowSettings(QSettings& settings, const QMainWindow& window, const DialogFolders& folders) {
  settings.setValue(kGeometry, window.saveGeometry());
  for (const ChoiceGroup& group : kAppearance) {
    for (const char* name : group.items) {
      if (auto* item = window.findChild<QAction*>(name); item && item->isChecked()) settings.setValue(group.key, name);
    }
  }
  if (auto* onTop = window.findChild<QAction*>("Alwaysontop")) settings.setValue(kOnTop, onTop->isChecked());
  for (const auto& [purpose, key] : kFolderKeys) {
    const auto found = folders.folders().find(purpose);
    if (found != folders.folders().end()) settings.setValue(key, found->second);
  }
  settings.sync();
}

std::optional<ConvergenceTarget> rememberedConvergenceTarget(QSettings& settings) {
  const QString text = settings.value(kConvergenceTarget).toString();
  if (text.isEmpty()) return std::nullopt;
  return parseConvergenceTarget(text.toStdString()).target;
}

void rememberConvergenceTarget(QSettings& settings, const ConvergenceTarget& target) {
  settings.setValue(kConvergenceTarget, QString::fromStdString(convergenceTargetText(target)));
  settings.sync();
}

}  // namespace varno
