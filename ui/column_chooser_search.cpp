// Searchable column choosers.
#include "ui/column_chooser_search.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

#include "stats/text_numbers.h"

namespace varno {

namespace {

// Enter picks the entry the text stands for; leaving the edit with a text of no entry puts the
// chosen entry's text back.
class SearchKeys : public QObject {
 public:
  explicit SearchKeys(QComboBox* chooser) : QObject(chooser), chooser_(chooser) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        pick();
        return true;
      }
      if (key == Qt::Key_Escape) {
        restore();
        return false;
      }
    }
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
      restore();
    return QObject::eventFilter(watched, event);
  }

 private:
  void pick() {
    if (chooser_->completer()) chooser_->completer()->popup()->hide();
    const int entry = searchedEntry(*chooser_, chooser_->lineEdit()->text());
    if (entry < 0) {
      restore();
      return;
    }
    chooser_->setCurrentIndex(entry);
    restore();
    emit chooser_->activated(entry);
  }
  void restore() {
    const QString chosen = chooser_->currentIndex() >= 0 ? chooser_->itemText(chooser_->currentIndex()) : QString();
    if (chooser_->lineEdit()->text() != chosen) chooser_->lineEdit()->setText(chosen);
  }

  QComboBox* chooser_;
};

}  // namespace

void makeSearchable(QComboBox* chooser) {
  chooser->setEditable(true);
  chooser->setInsertPolicy(QComboBox::NoInsert);
  // the width is the designed one: never measured over every entry
  chooser->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  auto* list = new QListView(chooser);
  list->setUniformItemSizes(true);  // a list of many entries opens without measuring each
  chooser->setView(list);
  auto* completer = new QCompleter(chooser->model(), chooser);
  completer->setCompletionMode(QCompleter::PopupCompletion);
  completer->setFilterMode(Qt::MatchContains);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  completer->setMaxVisibleItems(chooser->maxVisibleItems());
  if (auto* popup = qobject_cast<QListView*>(completer->popup())) popup->setUniformItemSizes(true);
  chooser->setCompleter(completer);
  chooser->lineEdit()->installEventFilter(new SearchKeys(chooser));
}

int searchedEntry(const QComboBox& chooser, const QString& text) {
  const QString wanted = text.trimmed();
  if (wanted.isEmpty()) return -1;
  const int exact = chooser.findText(wanted, Qt::MatchFixedString);
  if (exact >= 0) return exact;
  if (const auto number = parseWholeNumber(wanted.toStdString()); number && *number >= 1 && *number <= chooser.count())
    return static_cast<int>(*number - 1);
  return chooser.findText(wanted, Qt::MatchContains);
}

}  // namespace varno
