// The designed settings of a file dialog (filter, default extension, last name), kept between uses,
// and what one use of it is for: its title, the folder it opens in, an optional choice beside the
// file name, and what the user chose there.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

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

  QString title;          // what the dialog is for
  QString startFolder;    // where it opens; empty: where the toolkit likes
  // A choice offered beside the file name (for example the scale of an image); none when empty.
  QString choiceLabel;
  QStringList choices;
  // Set by the dialog when the user confirms: the chosen filter's description and choice index.
  QString selectedFilter;
  int choice = 0;
};

// "Fst file (*.fst)|*.fst|Other|*.*" -> "Fst file (*.fst);;Other (*.*)": the toolkit's filter
// syntax, one entry per description/pattern pair; a description that already ends with its
// patterns in parentheses is not given them twice.
QString toolkitFilter(const QString& designFilter);

// The description of a toolkit filter entry: "PNG image (*.png)" -> "PNG image"; an entry whose
// description showed its patterns itself keeps them: "Fst file (*.fst)" stays.
QString designDescription(const QString& designFilter, const QString& toolkitEntry);

// The path with the default extension appended when its file name has none.
QString withDefaultExtension(const QString& path, const QString& defaultExt);

}  // namespace varno
