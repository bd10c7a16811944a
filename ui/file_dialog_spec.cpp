// Conversion of the designed dialog settings to the toolkit's.
#include "ui/file_dialog_spec.h"

#include <QFileInfo>
#include <QStringList>

namespace varno {

QString toolkitFilter(const QString& designFilter) {
  const QStringList parts = designFilter.split('|');
  QStringList entries;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    QString patterns = parts[i + 1].trimmed();
    patterns.replace(';', ' ');
    // the toolkit reads the patterns from the last parentheses of an entry
    entries << description + " (" + patterns + ")";
  }
  return entries.join(";;");
}

QString withDefaultExtension(const QString& path, const QString& defaultExt) {
  if (path.isEmpty() || defaultExt.isEmpty()) return path;
  if (!QFileInfo(path).suffix().isEmpty()) return path;
  return path + (defaultExt.startsWith('.') ? defaultExt : "." + defaultExt);
}

}  // namespace varno
