// Conversion of the designed dialog settings to the toolkit's.
#include "ui/file_dialog_spec.h"

#include <QFileInfo>
#include <QStringList>

namespace varno {

namespace {

struct FilterEntry {
  QString description;  // as designed
  QString toolkit;      // as the toolkit shows it
};

std::vector<FilterEntry> filterEntries(const QString& designFilter) {
  const QStringList parts = designFilter.split('|');
  std::vector<FilterEntry> entries;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    QString patterns = parts[i + 1].trimmed();
    patterns.replace(';', ' ');
    // the toolkit reads the patterns from the last parentheses of an entry
    QString compact = description;
    compact.remove(' ');
    QString wanted = "(" + patterns + ")";
    wanted.remove(' ');
    const bool shown = compact.endsWith(wanted);
    entries.push_back({description, shown ? description : description + " (" + patterns + ")"});
  }
  return entries;
}

}  // namespace

QString toolkitFilter(const QString& designFilter) {
  QStringList entries;
  for (const FilterEntry& e : filterEntries(designFilter)) entries << e.toolkit;
  return entries.join(";;");
}

QString designDescription(const QString& designFilter, const QString& toolkitEntry) {
  for (const FilterEntry& e : filterEntries(designFilter)) {
    if (e.toolkit == toolkitEntry) return e.description;
  }
  return toolkitEntry;
}

QString withDefaultExtension(const QString& path, const QString& defaultExt) {
  if (path.isEmpty() || defaultExt.isEmpty()) return path;
  if (!QFileInfo(path).suffix().isEmpty()) return path;
  return path + (defaultExt.startsWith('.') ? defaultExt : "." + defaultExt);
}

}  // namespace varno
