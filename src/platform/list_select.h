#pragma once

// Selecting a list item by an index the program read from the settings file.

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QComboBox;
QT_END_NAMESPACE

namespace quorvel {

// Selects item `index` of `list`: an index at or above the count selects the
// last item, -1 or lower selects nothing (an editable list's text is then
// empty). Raises no selection event. 45 of 30 items -> item 29; -7 -> none
void SelectClamped(QComboBox* list, int index);

}  // namespace quorvel
