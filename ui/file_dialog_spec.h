// The designed settings of a file dialog (filter, default extension, last name), kept between uses.
#pragma once

#include <QObject>
#include <QString>

namespace varno {

class FileDialogSpec : public QObject {
  Q_OBJECT
 public:
  FileDialogSpec(const QString& name, QObject* parent) : QObject(parent) { setObjectName(name); }

  // Filter as alternating descriptions and patterns separated by "|".
  QString filter;
  QString defaultExt;     // with its leading "."; empty for none
  QString lastFileName;   // the name last chosen, offered next time
  bool mustExist = false;
  bool overwritePrompt = false;
};

// "Fst file (*.fst)|*.fst|Other|*.*" -> "Fst file (*.fst) (*.fst);;Other (*.*)": the toolkit's
// filter syntax, one entry per description/pattern pair.
QString toolkitFilter(const QString& designFilter);

// The path with the default extension appended when its file name has none.
QString withDefaultExtension(const QString& path, const QString& defaultExt);

}  // namespace varno
