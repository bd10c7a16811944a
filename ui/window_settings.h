// What the window remembers between runs besides its recent files: its place and size, the chart
// appearance, the always-on-top choice and the last folder of each file dialog. The controls are
// found by their object names, so that this needs nothing of the window but its menus.
#pragma once

class QMainWindow;
class QSettings;

namespace varno {

class DialogFolders;

// Puts back what `settings` holds; anything missing or unknown keeps the designed default.
void restoreWindowSettings(QSettings& settings, QMainWindow& window, DialogFolders& folders);

void saveWindowSettings(QSettings& settings, const QMainWindow& window, const DialogFolders& folders);

}  // namespace varno
