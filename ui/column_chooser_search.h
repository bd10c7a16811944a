// Choosers of many columns made searchable: the user types part of a name, or a number, picks
// from the entries that hold it, or presses Enter for the entry named or numbered.
#pragma once

#include <QString>

class QComboBox;

namespace varno {

// Makes `chooser` editable for searching only: a typed text is never added as an entry, and a
// text that names no entry is put back to the chosen one. A choice made this way raises the
// chooser's `activated`, as a choice from the list does.
void makeSearchable(QComboBox* chooser);

// The entry a typed text stands for: the entry of that text (any case), else for a whole number
// n the n-th entry, else the first entry holding the text; -1 when there is none.
int searchedEntry(const QComboBox& chooser, const QString& text);

}  // namespace varno
