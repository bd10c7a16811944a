// What the window remembers between runs besides its recent files: its place and size, the chart
// appearance, the always-on-top choice, the last folder of each file dialog and the convergence
// target. The controls are found by their object names, so that this needs nothing of the window
// but its menus.
#pragma once

#include <optional>

#include "report/convergence_target.h"

class QMainWindow;
class QSettings;

namespace varno {

class DialogFolders;

// Puts back what `settings` holds; anything missing or unknown keeps the designed default.
void restoreWindowSettings(QSettings& settings, QMainWindow& window, DialogFolders& folders);

void saveWindowSettings(QSettings& settings, const QMainWindow& window, const DialogFolders& folders);

// The convergence target, kept as its text form; nothing when none is kept or the text cannot be read.
std::optional<ConvergenceTarget> rememberedConvergenceTarget(QSettings& settings);
void rememberConvergenceTarget(QSettings& settings, const ConvergenceTarget& target);

}  // namespace varno
